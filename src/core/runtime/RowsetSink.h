#pragma once

#include <QtGlobal>

namespace runtime {

// Where a query's rows go while they are read: each row's cells in column order (a cell
// beyond the query's columns is never given), then endRow(). Text comes as UTF-8.
class RowsetSink
{
public:
    virtual ~RowsetSink() = default;

    // The query's column count, before its first row.
    virtual void begin(int columnCount) = 0;
    virtual void null(int column) = 0;
    virtual void text(int column, const char *utf8, qsizetype size) = 0;
    virtual void number(int column, double value) = 0;
    virtual void wholeNumber(int column, qint32 value) = 0;
    virtual void endRow() = 0;
    virtual qsizetype rowCount() const = 0;
};

} // namespace runtime
