#include "core/edition/TradeEditionReader.h"

#include "core/edition/CodeChecks.h"
#include "core/edition/CsvTable.h"

#include <QHash>

namespace edition {

QStringList TradeEditionReader::columns()
{
    return {QStringLiteral("section"), QStringLiteral("hscode"), QStringLiteral("description"),
            QStringLiteral("parent"), QStringLiteral("level")};
}

bool TradeEditionReader::isPseudoCode(const QString &code)
{
    return code == QLatin1String("TOTAL") || code == QLatin1String("99") || code == QLatin1String("9999")
           || code == QLatin1String("999999");
}

bool TradeEditionReader::read(const QString &path, EditionFile *file, ReadError *error, const Progress &progress)
{
    *file = EditionFile();
    file->list = CodeList::ForeignTrade;
    file->path = path;
    CsvTable table;
    if (!table.readFile(path, columns(), error, progress, 0, 900))
        return false;
    const QStringList wanted = columns();
    for (const QString &column : table.header()) {
        if (!wanted.contains(column))
            file->extraColumns.append(column);
    }
    const int section = table.column(QStringLiteral("section"));
    const int hscode = table.column(QStringLiteral("hscode"));
    const int description = table.column(QStringLiteral("description"));
    const int parent = table.column(QStringLiteral("parent"));
    const int level = table.column(QStringLiteral("level"));

    QHash<QString, int> seen;
    bool deeper = false;
    for (const CsvTable::Record &r : table.records()) {
        TradeCode c;
        c.line = r.line;
        c.code = table.value(r, hscode);
        if (isPseudoCode(c.code))
            continue;
        if (!CodeChecks::code(path, r.line, c.code, {2, 4, 6}, QStringLiteral("编码"), error)
            || !CodeChecks::unique(path, r.line, c.code, &seen, error))
            return false;
        const QString levelText = table.value(r, level);
        if (levelText != QString::number(c.code.size()))
            return CodeChecks::fail(error, Problem::BadLevel, path, r.line,
                                    QStringLiteral("level“%1”与编码“%2”不符：应为 %3")
                                        .arg(levelText, c.code)
                                        .arg(c.code.size()));
        const QString parentText = table.value(r, parent);
        if (c.code.size() > 2 && parentText != QStringView(c.code).chopped(2))
            return CodeChecks::fail(error, Problem::BadParent, path, r.line,
                                    QStringLiteral("parent“%1”有误：“%2”的上级应为“%3”")
                                        .arg(parentText, c.code, c.code.chopped(2)));
        c.name = table.value(r, description);
        if (c.name.isEmpty())
            return CodeChecks::fail(error, Problem::EmptyName, path, r.line, QStringLiteral("名称为空"));
        c.section = table.value(r, section);
        deeper = deeper || c.code.size() > 2;
        file->tradeCodes.append(std::move(c));
    }
    for (const TradeCode &c : std::as_const(file->tradeCodes)) {
        if (c.code.size() > 2 && !seen.contains(c.code.chopped(2)))
            return CodeChecks::fail(error, Problem::BadParent, path, c.line,
                                    QStringLiteral("“%1”的上级“%2”不在文件中").arg(c.code, c.code.chopped(2)));
    }
    if (!deeper)
        return CodeChecks::fail(error, Problem::NoLines, path, 0, QStringLiteral("没有品目或子目（4 位、6 位编码）"));
    if (progress && !progress(1000))
        return CodeChecks::fail(error, Problem::Canceled, path, 0, QStringLiteral("已取消"));
    return true;
}

} // namespace edition
