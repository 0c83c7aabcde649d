#pragma once

#include "core/export/ExportProgress.h"
#include "core/export/ExportTable.h"

#include <QList>
#include <QString>

namespace kivexport {

// Excel workbooks through libxlsxwriter: one worksheet per list, a bold header row that stays
// in view, columns as wide as their texts. Every cell is a string, so codes keep their leading
// zeros, rates stay as the tariff writes them and nothing becomes a formula.
class XlsxWriter
{
public:
    // Excel's limit of a cell, in UTF-16 units.
    static constexpr int kMaxCellLength = 32767;
    // libxlsxwriter 1.1.4 has no autofit: widths in characters, from the texts.
    static constexpr double kMinWidth = 6;
    static constexpr double kMaxWidth = 60;

    // Writes to a temporary file beside path and renames it over path at the end.
    static WriteResult write(const QString &path, const QList<ExportSheet> &sheets, ExportProgress *progress);

    // A cell's text as written: cut to Excel's limit with a mark at the end when longer,
    // without splitting a character; control characters XML cannot hold are dropped.
    static QString cellText(const QString &text);
    // The mark at the end of a cut cell.
    static QString cutMark();

    // The width of each column: its widest text (header included, East Asian characters
    // counting two) plus a margin, within kMinWidth..kMaxWidth.
    static QList<double> columnWidths(const ExportSheet &sheet);
};

} // namespace kivexport
