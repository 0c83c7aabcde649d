#include "core/edition/CustomsEditionWriter.h"

#include "core/edition/HeadingUnits.h"
#include "core/edition/LineColumns.h"

#include <QHash>

namespace edition {

namespace {

void writeHeadingUnits(SqlWriter &w, const QString &table, const QString &key, const QHash<QString, QString> &current,
                       const QHash<QString, QString> &units)
{
    for (auto it = current.cbegin(); it != current.cend(); ++it) {
        const QString unit = units.value(it.key());
        if (unit != it.value())
            w.run(QStringLiteral("UPDATE %1 SET unit = ? WHERE %2 = ?").arg(table, key),
                  {SqlWriter::orNull(unit), it.key()});
    }
}

} // namespace

void CustomsEditionWriter::write(SqlWriter &w, const EditionFile &file, const DatabaseSnapshot &snapshot,
                                 const EditionComparison &comparison, const QString &edition, const QString &date)
{
    QHash<QString, const EditionLine *> byCode;
    byCode.reserve(file.lines.size());
    for (const EditionLine &line : file.lines)
        byCode.insert(line.code, &line);

    for (const QString &code : comparison.removed) {
        w.run(QStringLiteral("DELETE FROM tariff_line WHERE code = ?"), {code});
        w.run(QStringLiteral("DELETE FROM list_hscode WHERE code = ?"), {code});
    }
    const QStringList hscode = LineColumns::hscodeColumns();
    const QString insertLine = QStringLiteral("INSERT INTO list_hscode (code, %1) VALUES (?, %2)")
                                   .arg(hscode.join(QStringLiteral(", ")), SqlWriter::placeholders(hscode.size()));
    QStringList assignments;
    for (const QString &column : hscode)
        assignments.append(column + QStringLiteral(" = ?"));
    const QString updateLine = QStringLiteral("UPDATE list_hscode SET %1 WHERE code = ?")
                                   .arg(assignments.join(QStringLiteral(", ")));
    const QStringList tariff = LineColumns::tariffLineColumns();
    const QString insertTariff = QStringLiteral("INSERT INTO tariff_line (%1) VALUES (%2)")
                                     .arg(tariff.join(QStringLiteral(", ")), SqlWriter::placeholders(tariff.size()));
    for (const QString &code : comparison.added) {
        const EditionLine &line = *byCode.value(code);
        w.run(insertLine, QVector<QVariant>{code} + LineColumns::hscodeValues(line, edition, date));
        w.run(insertTariff, LineColumns::tariffLineValues(line));
    }
    for (const QString &code : comparison.changed) {
        const EditionLine &line = *byCode.value(code);
        w.run(updateLine, LineColumns::hscodeValues(line, edition, date) + QVector<QVariant>{code});
        // A line may lack its tariff record (a database older than the table): write it whole.
        w.run(QStringLiteral("DELETE FROM tariff_line WHERE code = ?"), {code});
        w.run(insertTariff, LineColumns::tariffLineValues(line));
    }
    w.run(QStringLiteral("UPDATE list_hscode SET op_user = ?, op_date = ? WHERE length(code) = 10 OR length(code) = 2"),
          {edition, date});

    // Chapters: names from the chapters file, a new chapter selected; flags never touched.
    QHash<QString, EditionChapter> chapters;
    for (const EditionChapter &c : file.chapters)
        chapters.insert(c.code, c);
    for (const QString &code : comparison.newChapters) {
        const QString name = chapters.value(code).name;
        w.run(QStringLiteral("INSERT INTO list_hscode (code, name, flag, op_user, op_date) VALUES (?, ?, 'Y', ?, ?)"),
              {code, SqlWriter::orNull(name), edition, date});
    }
    for (const EditionChapter &c : file.chapters) {
        if (snapshot.chapterNames.contains(c.code))
            w.run(QStringLiteral("UPDATE list_hscode SET name = ? WHERE code = ?"), {c.name, c.code});
        if (snapshot.tradeChapters.contains(c.code))
            w.run(QStringLiteral("UPDATE list_jmwcode SET name = ? WHERE jmw_code = ?"), {c.name, c.code});
        w.run(QStringLiteral("DELETE FROM tariff_chapter WHERE code = ?"), {c.code});
        w.run(QStringLiteral("INSERT INTO tariff_chapter (code, label_cn, item_count) VALUES (?, ?, ?)"),
              {c.code, c.label, c.itemCount});
    }
    if (file.chapters.isEmpty()) {
        // Without a chapters file the counts still follow the lines.
        QHash<QString, int> counts;
        for (const EditionLine &line : file.lines)
            ++counts[line.code.left(2)];
        for (auto it = snapshot.chapterItemCounts.cbegin(); it != snapshot.chapterItemCounts.cend(); ++it) {
            if (counts.value(it.key()) != it.value())
                w.run(QStringLiteral("UPDATE tariff_chapter SET item_count = ? WHERE code = ?"),
                      {counts.value(it.key()), it.key()});
        }
    }
    // Chinese names of headings and subheadings: beside list_hscode, whose English text stays.
    if (!file.headingNames.isEmpty() && !snapshot.hasChineseHeadingNames)
        w.fail(QStringLiteral("数据库中没有存放品目中文名称的表 heading_name_cn，无法导入章节文件中 4 位和 6 位编码的中文名称。"
                              "团队数据库请由管理员用 kivtree --init-server --force 重新建立。"));
    for (const EditionHeadingName &heading : file.headingNames) {
        if (snapshot.chineseHeadingNames.value(heading.code) == heading.name)
            continue;
        w.run(QStringLiteral("DELETE FROM heading_name_cn WHERE code = ?"), {heading.code});
        w.run(QStringLiteral("INSERT INTO heading_name_cn (code, name) VALUES (?, ?)"), {heading.code, heading.name});
    }
    const QHash<QString, QString> units = HeadingUnits::of(file.lines);
    writeHeadingUnits(w, QStringLiteral("list_hscode"), QStringLiteral("code"), snapshot.headingUnits, units);
    writeHeadingUnits(w, QStringLiteral("list_jmwcode"), QStringLiteral("jmw_code"), snapshot.tradeHeadingUnits,
                      units);
}

} // namespace edition
