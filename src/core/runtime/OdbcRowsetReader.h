#pragma once

#include "core/runtime/OdbcConnection.h"
#include "core/runtime/RowsetSink.h"

#include <sql.h>

namespace runtime {

// Runs a query on a connection and appends its rows to *rows, read in rowsets of
// OdbcConnection::kRowsetSize over column-wise bound buffers and converted to the column
// types. A text value longer than its buffer still comes back whole: by SQLGetData inside
// the rowset where the driver allows it, else by fetching the rowset again from a static
// cursor with a larger buffer, else (rowsets of one row) by SQLGetData on the current row.
// The query's positional '?' parameters take `params` (see OdbcParameters).
// Returns false with the driver's text in *error; rows already appended stay.
bool readRowsets(SQLHDBC dbc, const OdbcDriverInfo &info, const QString &sql,
                 const QVector<QVariant> &params, const QList<ColumnType> &types,
                 QVector<QVector<QVariant>> *rows, QString *error);
// The same, each row's cells given to *rows as they are read.
bool readRowsets(SQLHDBC dbc, const OdbcDriverInfo &info, const QString &sql,
                 const QVector<QVariant> &params, const QList<ColumnType> &types,
                 RowsetSink *rows, QString *error);

} // namespace runtime
