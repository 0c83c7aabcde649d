#include "runtime/OdbcConnection.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <vector>

namespace runtime {

namespace {

// Owns one ODBC handle and frees it when it goes away.
class OdbcHandle
{
public:
    OdbcHandle() = default;
    OdbcHandle(SQLSMALLINT type, SQLHANDLE parent) { allocate(type, parent); }
    ~OdbcHandle() { reset(); }
    OdbcHandle(const OdbcHandle &) = delete;
    OdbcHandle &operator=(const OdbcHandle &) = delete;

    bool allocate(SQLSMALLINT type, SQLHANDLE parent)
    {
        reset();
        m_type = type;
        if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &m_handle)))
            m_handle = SQL_NULL_HANDLE;
        return m_handle != SQL_NULL_HANDLE;
    }
    void reset()
    {
        if (m_handle != SQL_NULL_HANDLE)
            SQLFreeHandle(m_type, m_handle);
        m_handle = SQL_NULL_HANDLE;
    }
    SQLHANDLE get() const { return m_handle; }
    SQLSMALLINT type() const { return m_type; }
    explicit operator bool() const { return m_handle != SQL_NULL_HANDLE; }

private:
    SQLSMALLINT m_type = 0;
    SQLHANDLE m_handle = SQL_NULL_HANDLE;
};

// The driver's diagnostic records of a handle, as one text.
QString diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    QStringList records;
    for (SQLSMALLINT i = 1; handle != SQL_NULL_HANDLE; ++i) {
        SQLCHAR state[6] = {};
        SQLINTEGER nativeError = 0;
        SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRec(type, handle, i, state, &nativeError, message,
                                           sizeof message, &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        records.append(QStringLiteral("SQLSTATE = %1\n%2")
                           .arg(QString::fromLatin1(reinterpret_cast<const char *>(state)),
                                QString::fromUtf8(reinterpret_cast<const char *>(message))));
    }
    return records.join(QLatin1Char('\n'));
}

QString failure(const OdbcHandle &handle, const char *what)
{
    const QString text = diagnostics(handle.type(), handle.get());
    return text.isEmpty() ? QString::fromLatin1(what) : text;
}

SQLUINTEGER infoMask(SQLHDBC dbc, SQLUSMALLINT info)
{
    SQLUINTEGER value = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(dbc, info, &value, sizeof value, nullptr)))
        return 0;
    return value;
}

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

} // namespace

bool OdbcDriverInfo::supportsLeft() const
{
    return (stringFunctions & SQL_FN_STR_LEFT) != 0;
}

struct OdbcConnection::Handles {
    OdbcHandle env;
    OdbcHandle dbc;
};

// Reads a result set in rowsets over column-wise bound buffers. A text value longer than
// its buffer is read whole: by SQLGetData inside the rowset where the driver allows it,
// else by re-fetching the rowset from a static cursor with a larger buffer, else (with
// rowsets of one row) by SQLGetData on the current row.
class RowsetReader
{
public:
    enum class Mode { BlockGetData, Refetch, SingleRow };

    RowsetReader(OdbcConnection &connection, const QList<ColumnType> &types)
        : m_connection(connection), m_types(types)
    {
        const OdbcDriverInfo &info = connection.driverInfo();
        m_mode = info.blockGetData ? Mode::BlockGetData
                 : info.staticCursor ? Mode::Refetch
                                     : Mode::SingleRow;
        m_rowsetSize = m_mode == Mode::SingleRow ? 1 : OdbcConnection::kRowsetSize;
    }

    bool run(const QString &sql, QVector<QVector<QVariant>> *rows)
    {
        m_stmt = std::make_unique<OdbcHandle>(SQL_HANDLE_STMT, m_connection.m_handles->dbc.get());
        if (!*m_stmt)
            return fail("cannot allocate a statement");
        if (m_mode == Mode::Refetch
            && !SQL_SUCCEEDED(setAttr(SQL_ATTR_CURSOR_TYPE, SQLULEN(SQL_CURSOR_STATIC)))) {
            m_mode = Mode::SingleRow;
            m_rowsetSize = 1;
        }
        const QByteArray text = sql.toUtf8();
        SQLRETURN rc = SQLExecDirect(m_stmt->get(), (SQLCHAR *)text.constData(), SQL_NTS);
        if (rc == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(rc))
            return fail("the query failed");
        if (!describeAndBind())
            return false;
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

    SQLRETURN setAttr(SQLINTEGER attribute, SQLULEN value)
    {
        return SQLSetStmtAttr(m_stmt->get(), attribute, reinterpret_cast<SQLPOINTER>(value), 0);
    }

    bool fail(const char *what)
    {
        m_connection.setError(failure(*m_stmt, what));
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

    bool appendRowset(QVector<QVector<QVariant>> *rows)
    {
        const int columnCount = m_columns.size();
        for (SQLULEN r = 0; r < m_fetched; ++r) {
            if (m_status[r] == SQL_ROW_NOROW || m_status[r] == SQL_ROW_DELETED)
                continue;
            if (m_status[r] == SQL_ROW_ERROR)
                return fail("a row could not be read");
            QVector<QVariant> row(columnCount);
            for (int c = 0; c < columnCount; ++c) {
                const Column &column = m_columns[c];
                const SQLLEN indicator = column.indicators[r];
                if (indicator == SQL_NULL_DATA)
                    continue;
                const char *cell = column.data.get() + size_t(column.width) * r;
                switch (column.type) {
                case ColumnType::Number:
                    row[c] = *reinterpret_cast<const SQLDOUBLE *>(cell);
                    break;
                case ColumnType::Long:
                    row[c] = qint32(*reinterpret_cast<const SQLINTEGER *>(cell));
                    break;
                case ColumnType::String:
                    if (truncated(column, indicator)) {
                        QByteArray whole;
                        if (!readWhole(c, r, &whole))
                            return false;
                        row[c] = QString::fromUtf8(whole);
                    } else {
                        row[c] = QString::fromUtf8(cell, qsizetype(indicator));
                    }
                    break;
                }
            }
            rows->append(std::move(row));
        }
        return true;
    }

    OdbcConnection &m_connection;
    const QList<ColumnType> &m_types;
    Mode m_mode = Mode::SingleRow;
    SQLULEN m_rowsetSize = 1;
    std::unique_ptr<OdbcHandle> m_stmt;
    std::vector<Column> m_columns;
    std::vector<SQLUSMALLINT> m_status;
    SQLULEN m_fetched = 0;
};

OdbcConnection::OdbcConnection() : m_handles(std::make_unique<Handles>()) {}

OdbcConnection::~OdbcConnection()
{
    disconnect();
}

bool OdbcConnection::connect(const QString &connectString)
{
    disconnect();
    m_lastError.clear();
    if (!m_handles->env.allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE)) {
        setError(QStringLiteral("cannot allocate an ODBC environment"));
        return false;
    }
    SQLSetEnvAttr(m_handles->env.get(), SQL_ATTR_ODBC_VERSION,
                  reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!m_handles->dbc.allocate(SQL_HANDLE_DBC, m_handles->env.get())) {
        setError(failure(m_handles->env, "cannot allocate an ODBC connection"));
        m_handles->env.reset();
        return false;
    }
    const QByteArray text = connectString.toUtf8();
    SQLCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnect(m_handles->dbc.get(), nullptr, (SQLCHAR *)text.constData(),
                                          SQL_NTS, out, sizeof out, &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        setError(failure(m_handles->dbc, "the connection failed"));
        m_handles->dbc.reset();
        m_handles->env.reset();
        return false;
    }
    m_connected = true;
    m_autoCommit = true;
    readDriverInfo();
    return true;
}

void OdbcConnection::readDriverInfo()
{
    const SQLHDBC dbc = m_handles->dbc.get();
    m_info = OdbcDriverInfo();
    SQLCHAR name[256] = {};
    SQLSMALLINT length = 0;
    if (SQL_SUCCEEDED(SQLGetInfo(dbc, SQL_DBMS_NAME, name, sizeof name, &length)))
        m_info.dbmsName = QString::fromUtf8(reinterpret_cast<const char *>(name));
    m_info.schemaUsage = infoMask(dbc, SQL_SCHEMA_USAGE);
    m_info.stringFunctions = infoMask(dbc, SQL_STRING_FUNCTIONS);
    m_info.blockGetData = (infoMask(dbc, SQL_GETDATA_EXTENSIONS) & SQL_GD_BLOCK) != 0;
    m_info.staticCursor = (infoMask(dbc, SQL_SCROLL_OPTIONS) & SQL_SO_STATIC) != 0;
}

void OdbcConnection::disconnect()
{
    if (m_connected) {
        // Uncommitted work is undone, so SQLDisconnect never meets an open transaction.
        if (!m_autoCommit)
            SQLEndTran(SQL_HANDLE_DBC, m_handles->dbc.get(), SQL_ROLLBACK);
        SQLDisconnect(m_handles->dbc.get());
    }
    m_connected = false;
    m_autoCommit = true;
    m_handles->dbc.reset();
    m_handles->env.reset();
}

bool OdbcConnection::checkConnected()
{
    if (m_connected)
        return true;
    setError(QStringLiteral("not connected"));
    return false;
}

bool OdbcConnection::setAutoCommit(bool on)
{
    if (!checkConnected())
        return false;
    const SQLULEN value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    if (!SQL_SUCCEEDED(SQLSetConnectAttr(m_handles->dbc.get(), SQL_ATTR_AUTOCOMMIT,
                                         reinterpret_cast<SQLPOINTER>(value), 0))) {
        setError(failure(m_handles->dbc, "cannot change the commit mode"));
        return false;
    }
    m_autoCommit = on;
    return true;
}

bool OdbcConnection::endTransaction(bool commit)
{
    if (!checkConnected())
        return false;
    if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, m_handles->dbc.get(),
                                  commit ? SQL_COMMIT : SQL_ROLLBACK))) {
        setError(failure(m_handles->dbc, commit ? "commit failed" : "rollback failed"));
        return false;
    }
    return true;
}

bool OdbcConnection::commit()
{
    return endTransaction(true);
}

bool OdbcConnection::rollback()
{
    return endTransaction(false);
}

bool OdbcConnection::select(const QString &sql, const QList<ColumnType> &types,
                            QVector<QVector<QVariant>> *rows)
{
    m_noRows = false;
    if (!checkConnected())
        return false;
    const qsizetype before = rows->size();
    RowsetReader reader(*this, types);
    if (!reader.run(sql, rows)) {
        rows->resize(before);
        return false;
    }
    m_noRows = rows->size() == before;
    return true;
}

bool OdbcConnection::execute(const QString &sql, const QVector<QVariant> &params, long *rowsAffected)
{
    m_noRows = false;
    if (rowsAffected)
        *rowsAffected = 0;
    if (!checkConnected())
        return false;
    OdbcHandle stmt(SQL_HANDLE_STMT, m_handles->dbc.get());
    if (!stmt) {
        setError(failure(m_handles->dbc, "cannot allocate a statement"));
        return false;
    }
    const QByteArray text = sql.toUtf8();
    if (!SQL_SUCCEEDED(SQLPrepare(stmt.get(), (SQLCHAR *)text.constData(), SQL_NTS))) {
        setError(failure(stmt, "the statement could not be prepared"));
        return false;
    }
    // Parameter values must stay in place until SQLExecute has run.
    struct Param {
        QByteArray text;
        SQLDOUBLE number = 0;
        SQLBIGINT integer = 0;
        SQLLEN indicator = 0;
    };
    std::vector<Param> values(size_t(params.size()));
    for (int i = 0; i < params.size(); ++i) {
        const QVariant &param = params.at(i);
        Param &value = values[size_t(i)];
        SQLSMALLINT cType = SQL_C_CHAR, sqlType = SQL_VARCHAR;
        SQLULEN columnSize = 1;
        SQLPOINTER data = nullptr;
        SQLLEN bufferLength = 0;
        const int typeId = param.isValid() ? param.metaType().id() : QMetaType::UnknownType;
        if (!param.isValid() || param.isNull()) {
            value.indicator = SQL_NULL_DATA;
        } else if (typeId == QMetaType::Double || typeId == QMetaType::Float) {
            value.number = param.toDouble();
            cType = SQL_C_DOUBLE;
            sqlType = SQL_DOUBLE;
            columnSize = 15;
            data = &value.number;
        } else if (typeId == QMetaType::Int || typeId == QMetaType::UInt || typeId == QMetaType::Long
                   || typeId == QMetaType::ULong || typeId == QMetaType::LongLong
                   || typeId == QMetaType::ULongLong || typeId == QMetaType::Short
                   || typeId == QMetaType::UShort || typeId == QMetaType::Bool) {
            value.integer = param.toLongLong();
            cType = SQL_C_SBIGINT;
            sqlType = SQL_BIGINT;
            columnSize = 19;
            data = &value.integer;
        } else {
            value.text = param.toString().toUtf8();
            value.indicator = value.text.size();
            columnSize = std::max<SQLULEN>(1, SQLULEN(value.text.size()));
            data = value.text.data();
            bufferLength = value.text.size();
        }
        if (!SQL_SUCCEEDED(SQLBindParameter(stmt.get(), SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, cType,
                                            sqlType, columnSize, 0, data, bufferLength,
                                            &value.indicator))) {
            setError(failure(stmt, "cannot bind a parameter"));
            return false;
        }
    }
    const SQLRETURN rc = SQLExecute(stmt.get());
    if (rc == SQL_NO_DATA) {
        m_noRows = true;
        return true;
    }
    if (!SQL_SUCCEEDED(rc)) {
        setError(failure(stmt, "the statement failed"));
        return false;
    }
    SQLLEN count = 0;
    if (SQL_SUCCEEDED(SQLRowCount(stmt.get(), &count)) && count >= 0) {
        if (rowsAffected)
            *rowsAffected = long(count);
    }
    return true;
}

} // namespace runtime
