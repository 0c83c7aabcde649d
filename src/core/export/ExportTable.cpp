#include "core/export/ExportTable.h"

namespace kivexport::ExportTable {

namespace {

// East Asian wide and full-width ranges (Unicode's EastAsianWidth W and F, the blocks that
// matter for Chinese text and its punctuation).
bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF)
        || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF)
        || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
        || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F)
        || (c >= 0x20000 && c <= 0x3FFFD);
}

} // namespace

QString titleOf(const QString &list)
{
    return list == QLatin1String("jmw") ? QStringLiteral("外经贸商品") : QStringLiteral("海关商品");
}

QList<ExportSheet> build(const QList<ExportRecord> &records, const QList<Column> &columns, const QString &emptyList)
{
    QStringList headers;
    for (Column c : columns)
        headers.append(ExportColumns::heading(c));
    QList<ExportSheet> sheets;
    QStringList lists;
    for (const ExportRecord &r : records) {
        qsizetype at = lists.indexOf(r.list);
        if (at < 0) {
            lists.append(r.list);
            sheets.append({titleOf(r.list), headers, {}, {}});
            at = sheets.size() - 1;
        }
        ExportSheet &sheet = sheets[at];
        QStringList row;
        row.reserve(columns.size());
        for (Column c : columns)
            row.append(ExportColumns::text(r, c));
        sheet.rows.append(row);
        if (!r.opUser.isEmpty() || !r.opDate.isEmpty()) {
            const QString edition = (r.opUser + QLatin1Char(' ') + r.opDate).trimmed();
            if (!sheet.editions.contains(edition))
                sheet.editions.append(edition);
        }
    }
    if (sheets.isEmpty())
        sheets.append({titleOf(emptyList), headers, {}, {}});
    return sheets;
}

qint64 rowCount(const QList<ExportSheet> &sheets)
{
    qint64 n = 0;
    for (const ExportSheet &s : sheets)
        n += s.rows.size();
    return n;
}

QStringList editions(const QList<ExportSheet> &sheets)
{
    QStringList all;
    for (const ExportSheet &s : sheets)
        for (const QString &e : s.editions)
            if (!all.contains(e))
                all.append(e);
    return all;
}

int displayWidth(const QString &text)
{
    int widest = 0, width = 0;
    for (char32_t c : text.toUcs4()) {
        if (c == U'\n') {
            widest = qMax(widest, width);
            width = 0;
            continue;
        }
        width += isWide(c) ? 2 : 1;
    }
    return qMax(widest, width);
}

} // namespace kivexport::ExportTable
