#include "core/runtime/OdbcRowsetReader.h"

#include "core/runtime/OdbcHandle.h"
#include "core/runtime/OdbcParameters.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace runtime {

namespace {

// Bytes a text column's buffer starts with: room for the declared width in UTF-8 and more,
// because names are stored whole and can be far longer than the width they declare. Larger
// buffers cost time on every row (drivers fill them), so a value that does not fit is read
// again instead (RowsetReader).
SQLLEN initialTextWidth(SQLULEN columnSize)
{
    constexpr SQLLEN kMinimum = 256;
    constexpr SQLLEN kMaximum = 16384;
    const SQLULEN declared = columnSize > SQLULEN(kMaximum) ? SQLULEN(kMaximum) : columnSize;
    return std::clamp<SQLLEN>(SQLLEN(declared) * 4 + 1, kMinimum, kMaximum);
}

// A column keeps a grown buffer up to this size for the rowsets that follow; a longer value
// gets a buffer of its own size for one re-fetch only.
constexpr SQLLEN kKeptTextWidth = 8192;

// Reads a result set in rowsets over column-wise bound buffers. A text value longer than
// its buffer is read whole: by SQLGetData inside the rowset where the driver allows it,
// else by re-fetching the rowset from a static cursor with a larger buffer, else (with
// rowsets of one row) by SQLGetData on the current row.
class OdbcRowsetReader
{
public:
    enum class Mode { BlockGetData, Refetch, SingleRow };

    OdbcRowsetReader(SQLHDBC dbc, const OdbcDriverInfo &info, const QList<ColumnType> &types)
        : m_dbc(dbc), m_types(types)
    {
        m_mode = info.blockGetData ? Mode::BlockGetData
                 : info.staticCursor ? Mode::Refetch
                                     : Mode::SingleRow;
        m_rowsetSize = m_mode == Mode::SingleRow ? 1 : OdbcConnection::kRowsetSize;
    }

    QString error() const { return m_error; }

    bool run(const QString &sql, const QVector<QVariant> &params, RowsetSink *rows)
    {
        m_stmt = std::make_unique<OdbcHandle>(SQL_HANDLE_STMT, m_dbc);
        if (!*m_stmt)
            return fail("cannot allocate a statement");
        if (m_mode == Mode::Refetch
            && !SQL_SUCCEEDED(setAttr(SQL_ATTR_CURSOR_TYPE, SQLULEN(SQL_CURSOR_STATIC)))) {
            m_mode = Mode::SingleRow;
            m_rowsetSize = 1;
        }
        SQLRETURN rc = execute(sql, params);
        if (rc == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(rc))
            return fail("the query failed");
        if (!describeAndBind())
            return false;
        rows->begin(int(m_columns.size()));
        for (SQLULEN first = 1;; first += m_fetched) {
            rc = SQLFetch(m_stmt->get());
            if (rc == SQL_NO_DATA)
                break;
            if (!SQL_SUCCEEDED(rc))
                return fail("fetching rows failed");
            if (m_mode == Mode::Refetch && !refetchUntilWhole(first))
                return false;
            if (!appendRowset(rows))
                return false;
            if (m_mode == Mode::Refetch && !shrinkOversized())
                return false;
        }
        return true;
    }

private:
    struct Column {
        ColumnType type = ColumnType::String;
        SQLSMALLINT cType = SQL_C_CHAR;
        SQLLEN width = 0; // bytes of one element
        std::unique_ptr<char[]> data;
        std::unique_ptr<SQLLEN[]> indicators;
    };

    // A query without parameters runs directly; one with parameters is prepared first, and
    // its values stay bound in m_params while its rows are read.
    SQLRETURN execute(const QString &sql, const QVector<QVariant> &params)
    {
        const QByteArray text = sql.toUtf8();
        if (params.isEmpty())
            return SQLExecDirect(m_stmt->get(), (SQLCHAR *)text.constData(), SQL_NTS);
        const SQLRETURN rc = SQLPrepare(m_stmt->get(), (SQLCHAR *)text.constData(), SQL_NTS);
        if (!SQL_SUCCEEDED(rc))
            return rc;
        if (!m_params.bind(*m_stmt, params))
            return SQL_ERROR;
        return SQLExecute(m_stmt->get());
    }

    SQLRETURN setAttr(SQLINTEGER attribute, SQLULEN value)
    {
        return SQLSetStmtAttr(m_stmt->get(), attribute, reinterpret_cast<SQLPOINTER>(value), 0);
    }

    bool fail(const char *what)
    {
        m_error = odbcDiagnostics(*m_stmt, what);
        return false;
    }

    bool describeAndBind()
    {
        SQLSMALLINT count = 0;
        if (!SQL_SUCCEEDED(SQLNumResultCols(m_stmt->get(), &count)))
            return fail("cannot read the result's columns");
        m_columns.resize(count);
        for (SQLSMALLINT i = 0; i < count; ++i) {
            Column &column = m_columns[i];
            column.type = i < m_types.size() ? m_types.at(i) : ColumnType::String;
            switch (column.type) {
            case ColumnType::Number:
                column.cType = SQL_C_DOUBLE;
                column.width = sizeof(SQLDOUBLE);
                break;
            case ColumnType::Long:
                column.cType = SQL_C_SLONG;
                column.width = sizeof(SQLINTEGER);
                break;
            case ColumnType::String: {
                SQLULEN size = 0;
                SQLSMALLINT sqlType = 0, digits = 0, nullable = 0, nameLength = 0;
                SQLDescribeCol(m_stmt->get(), i + 1, nullptr, 0, &nameLength, &sqlType, &size,
                               &digits, &nullable);
                column.cType = SQL_C_CHAR;
                column.width = initialTextWidth(size);
                break;
            }
            }
        }
        setAttr(SQL_ATTR_ROW_BIND_TYPE, SQL_BIND_BY_COLUMN);
        if (!SQL_SUCCEEDED(setAttr(SQL_ATTR_ROW_ARRAY_SIZE, m_rowsetSize))) {
            // A driver without rowsets reads one row at a time.
            m_mode = Mode::SingleRow;
            m_rowsetSize = 1;
        }
        m_status.assign(m_rowsetSize, SQL_ROW_SUCCESS);
        SQLSetStmtAttr(m_stmt->get(), SQL_ATTR_ROW_STATUS_PTR, m_status.data(), 0);
        SQLSetStmtAttr(m_stmt->get(), SQL_ATTR_ROWS_FETCHED_PTR, &m_fetched, 0);
        for (SQLSMALLINT i = 0; i < count; ++i) {
            if (!bind(i))
                return false;
        }
        return true;
    }

    bool bind(int index)
    {
        Column &column = m_columns[index];
        column.data.reset(new char[size_t(column.width) * m_rowsetSize]);
        column.indicators.reset(new SQLLEN[m_rowsetSize]);
        if (!SQL_SUCCEEDED(SQLBindCol(m_stmt->get(), SQLUSMALLINT(index + 1), column.cType,
                                      column.data.get(), column.width, column.indicators.get())))
            return fail("cannot bind a column");
        return true;
    }

    static bool truncated(const Column &column, SQLLEN indicator)
    {
        return column.cType == SQL_C_CHAR
               && (indicator == SQL_NO_TOTAL || indicator >= column.width);
    }

    // Grows the buffers of columns whose values did not fit and fetches the same rowset
    // again, until every text value of the rowset is whole.
    bool refetchUntilWhole(SQLULEN firstRow)
    {
        for (;;) {
            bool grown = false;
            for (int c = 0; c < int(m_columns.size()); ++c) {
                Column &column = m_columns[c];
                SQLLEN needed = 0;
                for (SQLULEN r = 0; r < m_fetched; ++r) {
                    const SQLLEN indicator = column.indicators[r];
                    if (truncated(column, indicator))
                        needed = std::max(needed, indicator == SQL_NO_TOTAL ? column.width * 4
                                                                            : indicator + 1);
                }
                if (needed == 0)
                    continue;
                if (!resize(c, std::max(needed, std::min(column.width * 2, kKeptTextWidth))))
                    return false;
                grown = true;
            }
            if (!grown)
                return true;
            const SQLRETURN rc = SQLFetchScroll(m_stmt->get(), SQL_FETCH_ABSOLUTE, SQLLEN(firstRow));
            if (!SQL_SUCCEEDED(rc))
                return fail("re-reading rows failed");
        }
    }

    // Buffers grown past the kept size for one long value go back to it for the next rowset.
    bool shrinkOversized()
    {
        for (int c = 0; c < int(m_columns.size()); ++c) {
            if (m_columns[c].width > kKeptTextWidth && !resize(c, kKeptTextWidth))
                return false;
        }
        return true;
    }

    bool resize(int index, SQLLEN width)
    {
        m_columns[index].width = width;
        return bind(index);
    }

    // The whole text of a value whose buffer was too small, through SQLGetData.
    bool readWhole(int columnIndex, SQLULEN row, QByteArray *value)
    {
        if (m_mode == Mode::BlockGetData
            && !SQL_SUCCEEDED(SQLSetPos(m_stmt->get(), SQLSETPOSIROW(row + 1), SQL_POSITION,
                                        SQL_LOCK_NO_CHANGE)))
            return fail("cannot position on a row");
        value->clear();
        char chunk[8192];
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc = SQLGetData(m_stmt->get(), SQLUSMALLINT(columnIndex + 1),
                                            SQL_C_CHAR, chunk, sizeof chunk, &indicator);
            if (rc == SQL_NO_DATA)
                return true;
            if (!SQL_SUCCEEDED(rc))
                return fail("cannot read a long value");
            if (indicator == SQL_NULL_DATA)
                return true;
            const bool more = indicator == SQL_NO_TOTAL || indicator >= SQLLEN(sizeof chunk);
            value->append(chunk, more ? int(sizeof chunk) - 1 : int(indicator));
            if (!more)
                return true;
        }
    }

    bool appendRowset(RowsetSink *rows)
    {
        const int columnCount = m_columns.size();
        for (SQLULEN r = 0; r < m_fetched; ++r) {
            if (m_status[r] == SQL_ROW_NOROW || m_status[r] == SQL_ROW_DELETED)
                continue;
            if (m_status[r] == SQL_ROW_ERROR)
                return fail("a row could not be read");
            for (int c = 0; c < columnCount; ++c) {
                const Column &column = m_columns[c];
                const SQLLEN indicator = column.indicators[r];
                if (indicator == SQL_NULL_DATA) {
                    rows->null(c);
                    continue;
                }
                const char *cell = column.data.get() + size_t(column.width) * r;
                switch (column.type) {
                case ColumnType::Number:
                    rows->number(c, *reinterpret_cast<const SQLDOUBLE *>(cell));
                    break;
                case ColumnType::Long:
                    rows->wholeNumber(c, qint32(*reinterpret_cast<const SQLINTEGER *>(cell)));
                    break;
                case ColumnType::String:
                    if (truncated(column, indicator)) {
                        QByteArray whole;
                        if (!readWhole(c, r, &whole))
                            return false;
                        rows->text(c, whole.constData(), whole.size());
                    } else {
                        rows->text(c, cell, qsizetype(indicator));
                    }
                    break;
                }
            }
            rows->endRow();
        }
        return true;
    }

    QString m_error;
    SQLHDBC m_dbc;
    const QList<ColumnType> &m_types;
    Mode m_mode = Mode::SingleRow;
    SQLULEN m_rowsetSize = 1;
    std::unique_ptr<OdbcHandle> m_stmt;
    OdbcParameters m_params;
    std::vector<Column> m_columns;
    std::vector<SQLUSMALLINT> m_status;
    SQLULEN m_fetched = 0;
};

// The rows as values, one vector per row.
class VariantRows final : public RowsetSink
{
public:
    explicit VariantRows(QVector<QVector<QVariant>> *rows) : m_rows(rows) {}
    void begin(int columnCount) override { m_row = QVector<QVariant>(columnCount); }
    void null(int) override {}
    void text(int column, const char *utf8, qsizetype size) override { m_row[column] = QString::fromUtf8(utf8, size); }
    void number(int column, double value) override { m_row[column] = value; }
    void wholeNumber(int column, qint32 value) override { m_row[column] = value; }
    void endRow() override
    {
        const qsizetype width = m_row.size();
        m_rows->append(std::exchange(m_row, QVector<QVariant>(width)));
        ++m_count;
    }
    qsizetype rowCount() const override { return m_count; }

private:
    QVector<QVector<QVariant>> *m_rows;
    QVector<QVariant> m_row;
    qsizetype m_count = 0;
};

} // namespace

bool readRowsets(SQLHDBC dbc, const OdbcDriverInfo &info, const QString &sql,
                 const QVector<QVariant> &params, const QList<ColumnType> &types,
                 RowsetSink *rows, QString *error)
{
    OdbcRowsetReader reader(dbc, info, types);
    if (reader.run(sql, params, rows))
        return true;
    *error = reader.error();
    return false;
}

bool readRowsets(SQLHDBC dbc, const OdbcDriverInfo &info, const QString &sql,
                 const QVector<QVariant> &params, const QList<ColumnType> &types,
                 QVector<QVector<QVariant>> *rows, QString *error)
{
    VariantRows sink(rows);
    return readRowsets(dbc, info, sql, params, types, &sink, error);
}

} // namespace runtime
