#include "edition/EditionApplier.h"

#include "edition/EditionBackups.h"
#include "edition/LineColumns.h"
#include "edition/PausePoint.h"
#include "runtime/Transaction.h"
#include "server/ServerConnection.h"
#include "server/ServerEditionBackups.h"

#include <QFile>
#include <QHash>
#include <QSet>

namespace edition {

namespace {

// The statements of one import, stopped at the first that fails.
class Writer
{
public:
    explicit Writer(runtime::Transaction *sqlca)
        : m_sqlca(sqlca)
    {
    }
    bool run(const QString &sql, const QVector<QVariant> &params = {})
    {
        if (!m_error.isEmpty())
            return false;
        if (m_sqlca->execute(m_sqlca->adaptSql(sql), params) != 0) {
            m_error = m_sqlca->sqlErrText();
            return false;
        }
        return true;
    }
    QString error() const { return m_error; }

private:
    runtime::Transaction *m_sqlca;
    QString m_error;
};

QString placeholders(qsizetype n)
{
    QStringList marks(n, QStringLiteral("?"));
    return marks.join(u',');
}

QVariant orNull(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

// The first statutory unit shared by every line under a 4- or 6-digit code.
QHash<QString, QString> commonUnits(const EditionFile &file)
{
    QHash<QString, QString> units;
    QSet<QString> mixed;
    for (const EditionLine &line : file.lines) {
        const QString &unit = fieldOf(line.fields, Field::Unit1);
        for (int n : {4, 6}) {
            const QString prefix = line.code.left(n);
            if (mixed.contains(prefix))
                continue;
            const auto it = units.constFind(prefix);
            if (it == units.cend())
                units.insert(prefix, unit);
            else if (it.value() != unit) {
                units.remove(prefix);
                mixed.insert(prefix);
            }
        }
    }
    return units;
}

void writeHeadingUnits(Writer &w, const QString &table, const QString &key, const QHash<QString, QString> &current,
                       const QHash<QString, QString> &units)
{
    for (auto it = current.cbegin(); it != current.cend(); ++it) {
        const QString unit = units.value(it.key());
        if (unit != it.value())
            w.run(QStringLiteral("UPDATE %1 SET unit = ? WHERE %2 = ?").arg(table, key), {orNull(unit), it.key()});
    }
}

} // namespace

QString EditionApplier::checkEdition(const QString &edition)
{
    if (edition.trimmed().isEmpty())
        return QStringLiteral("请填写版本名称（如 CN2027）");
    if (edition.size() > LineColumns::kMaxEditionLength)
        return QStringLiteral("版本名称“%1”太长：最多 %2 个字符").arg(edition).arg(LineColumns::kMaxEditionLength);
    return QString();
}

EditionApplier::Result EditionApplier::apply(runtime::Transaction *sqlca, const QString &databaseFile,
                                             const EditionFile &file, const DatabaseSnapshot &snapshot,
                                             const EditionComparison &comparison, const Options &options)
{
    Result result;
    result.message = checkEdition(options.edition);
    if (!result.message.isEmpty())
        return result;
    // A team database keeps its backup in tables, written in the import's own transaction; the
    // bundled file is copied whole beforehand.
    const bool onServer = server::ServerConnection::isServer(sqlca->dbmsName());
    const EditionBackups backups(databaseFile);
    result.backup = onServer ? server::ServerEditionBackups::create(sqlca, &result.message)
                             : backups.create(sqlca, options.now.isValid() ? options.now : QDateTime::currentDateTime(),
                                              &result.message);
    if (result.backup.isEmpty()) {
        if (onServer)
            sqlca->rollback();
        return result;
    }

    const QString edition = options.edition.trimmed();
    const QString date = LineColumns::dateText(options.date.isValid() ? options.date : QDate::currentDate());
    QHash<QString, const EditionLine *> byCode;
    byCode.reserve(file.lines.size());
    for (const EditionLine &line : file.lines)
        byCode.insert(line.code, &line);

    Writer w(sqlca);
    for (const QString &code : comparison.removed) {
        w.run(QStringLiteral("DELETE FROM tariff_line WHERE code = ?"), {code});
        w.run(QStringLiteral("DELETE FROM list_hscode WHERE code = ?"), {code});
    }
    const QStringList hscode = LineColumns::hscodeColumns();
    const QString insertLine = QStringLiteral("INSERT INTO list_hscode (code, %1) VALUES (?, %2)")
                                   .arg(hscode.join(QStringLiteral(", ")), placeholders(hscode.size()));
    QStringList assignments;
    for (const QString &column : hscode)
        assignments.append(column + QStringLiteral(" = ?"));
    const QString updateLine = QStringLiteral("UPDATE list_hscode SET %1 WHERE code = ?")
                                   .arg(assignments.join(QStringLiteral(", ")));
    const QStringList tariff = LineColumns::tariffLineColumns();
    const QString insertTariff = QStringLiteral("INSERT INTO tariff_line (%1) VALUES (%2)")
                                     .arg(tariff.join(QStringLiteral(", ")), placeholders(tariff.size()));
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
              {code, orNull(name), edition, date});
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
    const QHash<QString, QString> units = commonUnits(file);
    writeHeadingUnits(w, QStringLiteral("list_hscode"), QStringLiteral("code"), snapshot.headingUnits, units);
    writeHeadingUnits(w, QStringLiteral("list_jmwcode"), QStringLiteral("jmw_code"), snapshot.tradeHeadingUnits,
                      units);

    QString failure = w.error();
    if (failure.isEmpty() && onServer)
        server::ServerEditionBackups::prune(sqlca, &failure);
    if (failure.isEmpty())
        PausePoint::reach("apply");
    if (failure.isEmpty() && sqlca->commit() == 0) {
        if (!onServer)
            backups.prune();
        result.ok = true;
        result.message.clear();
        return result;
    }
    result.message = failure.isEmpty() ? sqlca->sqlErrText() : failure;
    if (sqlca->isConnected())
        sqlca->rollback();
    // Nothing changed, so the copy would only push an older, real one out of the three kept.
    if (!onServer)
        QFile::remove(result.backup);
    result.backup.clear();
    return result;
}

} // namespace edition
