#include "core/edition/CustomsEditionReader.h"

#include "core/edition/CodeChecks.h"
#include "core/edition/CsvTable.h"

#include <QHash>
#include <QRegularExpression>

namespace edition {

namespace {

bool fail(ReadError *error, Problem problem, const QString &file, int line, const QString &message)
{
    return CodeChecks::fail(error, problem, file, line, message);
}

bool readChapters(const QString &path, EditionFile *file, ReadError *error, const Progress &progress)
{
    CsvTable table;
    if (!table.readFile(path, CustomsEditionReader::chapterColumns(), error, progress, 0, 100))
        return false;
    const int code = table.column(QStringLiteral("chapter"));
    const int label = table.column(QStringLiteral("label_cn"));
    const int name = table.column(QStringLiteral("name_cn"));
    const int count = table.column(QStringLiteral("item_count"));
    QHash<QString, int> seen;
    for (const CsvTable::Record &r : table.records()) {
        EditionChapter c;
        c.line = r.line;
        c.code = table.value(r, code);
        if (!CodeChecks::code(path, r.line, c.code, {2, 4, 6}, QStringLiteral("章号"), error)
            || !CodeChecks::unique(path, r.line, c.code, &seen, error))
            return false;
        c.name = table.value(r, name);
        if (c.name.isEmpty())
            return fail(error, Problem::EmptyName, path, r.line, QStringLiteral("名称为空"));
        if (c.code.size() > 2) {
            // A heading or subheading: its Chinese name; label_cn and item_count stay empty.
            file->headingNames.append({r.line, c.code, c.name});
            continue;
        }
        c.label = table.value(r, label);
        if (c.label.isEmpty())
            return fail(error, Problem::BadChapter, path, r.line, QStringLiteral("label_cn 为空"));
        const QString n = table.value(r, count);
        if (!CodeChecks::isDigits(n))
            return fail(error, Problem::BadChapter, path, r.line,
                        QStringLiteral("item_count“%1”有误：应为整数").arg(n));
        c.itemCount = n.toInt();
        file->chapters.append(c);
    }
    if (file->chapters.isEmpty())
        return fail(error, Problem::NoLines, path, 0, QStringLiteral("没有章"));
    return true;
}

QString orNull(const QString &text)
{
    return text.isEmpty() ? QString() : text;
}

} // namespace

QStringList CustomsEditionReader::lineColumns()
{
    QStringList columns{QStringLiteral("code10"), QStringLiteral("code8"), QStringLiteral("code6"),
                        QStringLiteral("code4"), QStringLiteral("chapter")};
    for (int f = 0; f < kFieldCount; ++f)
        columns.append(sourceColumn(Field(f)));
    return columns;
}

QStringList CustomsEditionReader::chapterColumns()
{
    return {QStringLiteral("chapter"), QStringLiteral("label_cn"), QStringLiteral("name_cn"),
            QStringLiteral("item_count")};
}

bool CustomsEditionReader::isPercent(const QString &text, double *value)
{
    static const QRegularExpression percent(QStringLiteral("^\\s*(\\d+(?:\\.\\d+)?)\\s*%\\s*$"));
    const QRegularExpressionMatch m = percent.match(text);
    if (m.hasMatch() && value)
        *value = m.capturedView(1).toDouble();
    return m.hasMatch();
}

bool CustomsEditionReader::read(const QString &linesPath, const QString &chaptersPath, EditionFile *file,
                                ReadError *error, const Progress &progress)
{
    *file = EditionFile();
    file->path = linesPath;
    file->chaptersPath = chaptersPath;
    // The generator reads the chapters first.
    if (!chaptersPath.isEmpty() && !readChapters(chaptersPath, file, error, progress))
        return false;

    CsvTable table;
    if (!table.readFile(linesPath, lineColumns(), error, progress, 100, 900))
        return false;
    const QStringList wanted = lineColumns();
    for (const QString &column : table.header()) {
        if (!wanted.contains(column))
            file->extraColumns.append(column);
    }
    const int code10 = table.column(QStringLiteral("code10"));
    const std::pair<int, int> prefixes[] = {{table.column(QStringLiteral("code8")), 8},
                                            {table.column(QStringLiteral("code6")), 6},
                                            {table.column(QStringLiteral("code4")), 4},
                                            {table.column(QStringLiteral("chapter")), 2}};
    std::array<int, kFieldCount> columns;
    for (int f = 0; f < kFieldCount; ++f)
        columns[size_t(f)] = table.column(sourceColumn(Field(f)));

    QHash<QString, int> seen;
    seen.reserve(table.records().size());
    file->lines.reserve(table.records().size());
    for (const CsvTable::Record &r : table.records()) {
        EditionLine line;
        line.line = r.line;
        line.code = table.value(r, code10);
        if (!CodeChecks::code(linesPath, r.line, line.code, {10}, QStringLiteral("编码"), error)
            || !CodeChecks::unique(linesPath, r.line, line.code, &seen, error))
            return false;
        for (const auto &[column, n] : prefixes) {
            if (table.value(r, column) != QStringView(line.code).first(n))
                return fail(error, Problem::PrefixMismatch, linesPath, r.line,
                            QStringLiteral("%1“%2”不是“%3”的前 %4 位")
                                .arg(table.header().at(column), r.fields.at(column), line.code)
                                .arg(n));
        }
        for (int f = 0; f < kFieldCount; ++f)
            line.fields[size_t(f)] = orNull(table.value(r, columns[size_t(f)]));
        if (fieldOf(line.fields, Field::Name).isEmpty())
            return fail(error, Problem::EmptyName, linesPath, r.line, QStringLiteral("名称为空"));
        const QString &vat = fieldOf(line.fields, Field::VatRate);
        if (!vat.isEmpty() && !isPercent(vat))
            return fail(error, Problem::BadRate, linesPath, r.line,
                        QStringLiteral("增值税率“%1”有误：应为百分比，如 13%").arg(vat));
        const QString &rebate = fieldOf(line.fields, Field::ExportRebate);
        if (!rebate.isEmpty()) {
            for (const QString &part : rebate.split(u',')) {
                if (!isPercent(part))
                    return fail(error, Problem::BadRate, linesPath, r.line,
                                QStringLiteral("出口退税率“%1”有误：应为一个或几个百分比，如 9%,13%").arg(rebate));
            }
        }
        file->lines.append(std::move(line));
    }
    if (file->lines.isEmpty())
        return fail(error, Problem::NoLines, linesPath, 0, QStringLiteral("没有 10 位编码行"));

    if (!file->chapters.isEmpty()) {
        QHash<QString, int> perChapter;
        for (const EditionLine &line : std::as_const(file->lines))
            ++perChapter[line.code.left(2)];
        for (const EditionChapter &c : std::as_const(file->chapters)) {
            const int found = perChapter.value(c.code);
            if (found != c.itemCount)
                return fail(error, Problem::ItemCountMismatch, chaptersPath, c.line,
                            QStringLiteral("第 %1 章的 item_count %2 与编码表中的 %3 行不符")
                                .arg(c.code)
                                .arg(c.itemCount)
                                .arg(found));
        }
    }
    if (progress && !progress(1000))
        return fail(error, Problem::Canceled, linesPath, 0, QStringLiteral("已取消"));
    return true;
}

} // namespace edition
