#include "core/export/PrintDocument.h"

#include "core/sheet/SheetContent.h"

namespace kivexport {

namespace {

// A column's share follows its widest text, so that codes and rates take little room and
// names much; long texts wrap rather than widen their column without end.
constexpr int kMinShare = 4;
constexpr int kMaxShare = 40;

} // namespace

PrintDocument PrintDocument::forSheets(const QString &title, const QList<ExportSheet> &sheets)
{
    PrintDocument doc;
    doc.title = title;
    doc.editions = ExportTable::editions(sheets);
    if (sheets.isEmpty())
        return doc;
    doc.headers = sheets.first().headers;
    QList<int> widest;
    // A heading may wrap onto two lines: it asks for half its width.
    for (const QString &h : doc.headers)
        widest.append((ExportTable::displayWidth(h) + 1) / 2);
    for (const ExportSheet &sheet : sheets) {
        if (sheets.size() > 1)
            doc.rows.append({{sheet.title + QStringLiteral("（%1 行）").arg(sheet.rows.size())}, true});
        for (const QStringList &cells : sheet.rows) {
            doc.rows.append({cells, false});
            for (qsizetype c = 0; c < cells.size() && c < widest.size(); ++c)
                if (cells.at(c).size() * 2 > widest.at(c) && widest.at(c) < kMaxShare)
                    widest[c] = qMax(widest.at(c), qMin(kMaxShare, ExportTable::displayWidth(cells.at(c))));
        }
    }
    for (int w : widest)
        doc.weights.append(qBound(kMinShare, w, kMaxShare));
    return doc;
}

PrintDocument PrintDocument::forSheet(const sheet::SheetContent &content, const QStringList &editions)
{
    PrintDocument doc;
    doc.title = QStringLiteral("申报信息  %1  %2").arg(content.code, content.name);
    doc.editions = editions;
    doc.weights = {1, 3};
    for (const sheet::SheetContent::Group &group : content.groups) {
        doc.rows.append({{group.title}, true});
        for (const sheet::SheetContent::Row &row : group.rows)
            doc.rows.append({{row.caption, row.value}, false});
    }
    if (!content.missingNote.isEmpty())
        doc.rows.append({{content.missingNote}, false});
    return doc;
}

} // namespace kivexport
