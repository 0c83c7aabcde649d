#pragma once

#include "core/export/ExportTable.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace sheet {
struct SheetContent;
}

namespace kivexport {

// What a printed page shows, independent of the paper: a title, a table whose header repeats
// on every page, and the editions for the footer. A row marked as a group title runs across
// the whole width in bold (a list's name, a group of the declarant's sheet).
struct PrintDocument {
    struct Row {
        QStringList cells;
        bool group = false;
    };
    QString title;
    QStringList headers;   // empty: no header row
    QList<double> weights; // the columns' shares of the width
    QList<Row> rows;
    QStringList editions;  // "CN2026 20260818"

    // A list: the sheets' rows under their headers; with several sheets each list begins with
    // its name as a group row.
    static PrintDocument forSheets(const QString &title, const QList<ExportSheet> &sheets);
    // The declarant's sheet of one code: caption and value, group by group.
    static PrintDocument forSheet(const sheet::SheetContent &content, const QStringList &editions);

    int rowCount() const { return int(rows.size()); }
};

} // namespace kivexport
