#pragma once

#include "core/export/ExportColumns.h"
#include "core/export/ExportRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kivexport {

// One list's rows as the writers take them: a title (the sheet's name in Excel), the
// headings and one text per column and row.
struct ExportSheet {
    QString title;
    QStringList headers;
    QList<QStringList> rows;
    // The editions the rows come from ("CN2026 20260818"), each once, in first-seen order.
    QStringList editions;
};

namespace ExportTable {

// The records in sheets, one per list in the order the lists first appear. No records give
// one sheet of emptyList with the header alone, so that every file has its header.
QList<ExportSheet> build(const QList<ExportRecord> &records, const QList<Column> &columns,
                         const QString &emptyList = QStringLiteral("hs"));

// The sheet title of a list: 海关商品, 外经贸商品.
QString titleOf(const QString &list);

// All rows of all sheets.
qint64 rowCount(const QList<ExportSheet> &sheets);

// The editions of all sheets together.
QStringList editions(const QList<ExportSheet> &sheets);

// How wide a text shows in a fixed-width font: East Asian wide and full-width characters
// count two, others one, the widest line of several.
int displayWidth(const QString &text);

} // namespace ExportTable

} // namespace kivexport
