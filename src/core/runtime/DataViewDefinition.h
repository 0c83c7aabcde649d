#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace runtime {

// Column types a data view declares. Values are held as QVariant: QString for String,
// double for Number, qint32 for Long; a null value is an invalid (or null) QVariant.
enum class ColumnType { String, Number, Long };

struct ColumnDefinition {
    QString name;        // the view's column name, e.g. "code"
    ColumnType type = ColumnType::String;
    int width = 0;       // declared width in characters for char(n); 0 when not text
    QString heading;     // heading shown by forms and grids; empty = not shown
    bool updatable = false;
    QString dbName;      // column of the update table that an update writes; empty = name
};

enum class Presentation { Form, Grid };

// The stored definition of a data view: its columns, the query as the system defines it,
// how it is presented and how updates reach the database.
struct DataViewDefinition {
    QString name;                    // e.g. "d_detail_hgats"
    QList<ColumnDefinition> columns; // in select order
    QString query;                   // SQL as written by the system (owner dbo, Left(), ...)
    Presentation presentation = Presentation::Form;
    QStringList shownColumns;        // columns a form or grid shows, in display order
    QString updateTable;             // empty = not updatable
    QStringList keyColumns;          // key columns of the update table

    // 0-based index of a column, by name without regard to case; -1 when there is none.
    int columnIndex(const QString &column) const;
};

} // namespace runtime
