#include "core/runtime/OdbcConnection.h"

#include "core/runtime/OdbcHandle.h"
#include "core/runtime/OdbcParameters.h"
#include "core/runtime/OdbcRowsetReader.h"

#include <algorithm>
#include <vector>

namespace runtime {

namespace {

SQLUINTEGER infoMask(SQLHDBC dbc, SQLUSMALLINT info)
{
    SQLUINTEGER value = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(dbc, info, &value, sizeof value, nullptr)))
        return 0;
    return value;
}

} // namespace

bool OdbcDriverInfo::supportsLeft() const
{
    return (stringFunctions & SQL_FN_STR_LEFT) != 0;
}

struct OdbcConnection::Handles {
    OdbcHandle env;
    OdbcHandle dbc;
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
        setError(odbcDiagnostics(m_handles->env, "cannot allocate an ODBC connection"));
        m_handles->env.reset();
        return false;
    }
    // Without it a server that accepts the connection but never answers hangs the caller.
    SQLSetConnectAttr(m_handles->dbc.get(), SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(kLoginTimeout)), 0);
    const QByteArray text = connectString.toUtf8();
    SQLCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnect(m_handles->dbc.get(), nullptr, (SQLCHAR *)text.constData(),
                                          SQL_NTS, out, sizeof out, &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        setError(odbcDiagnostics(m_handles->dbc, "the connection failed"));
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

bool OdbcConnection::connectionDead() const
{
    if (!m_connected)
        return false;
    SQLUINTEGER dead = SQL_CD_FALSE;
    // A driver without the attribute answers an error: its connection counts as alive.
    return SQL_SUCCEEDED(SQLGetConnectAttr(m_handles->dbc.get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr))
           && dead == SQL_CD_TRUE;
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
        setError(odbcDiagnostics(m_handles->dbc, "cannot change the commit mode"));
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
        setError(odbcDiagnostics(m_handles->dbc, commit ? "commit failed" : "rollback failed"));
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
                            QVector<QVector<QVariant>> *rows, const QVector<QVariant> &params)
{
    m_noRows = false;
    if (!checkConnected())
        return false;
    const qsizetype before = rows->size();
    QString error;
    if (!readRowsets(m_handles->dbc.get(), m_info, sql, params, types, rows, &error)) {
        setError(error);
        rows->resize(before);
        return false;
    }
    m_noRows = rows->size() == before;
    return true;
}

bool OdbcConnection::select(const QString &sql, const QList<ColumnType> &types, RowsetSink *rows,
                            const QVector<QVariant> &params)
{
    m_noRows = false;
    if (!checkConnected())
        return false;
    QString error;
    if (!readRowsets(m_handles->dbc.get(), m_info, sql, params, types, rows, &error)) {
        setError(error);
        return false;
    }
    m_noRows = rows->rowCount() == 0;
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
        setError(odbcDiagnostics(m_handles->dbc, "cannot allocate a statement"));
        return false;
    }
    const QByteArray text = sql.toUtf8();
    if (!SQL_SUCCEEDED(SQLPrepare(stmt.get(), (SQLCHAR *)text.constData(), SQL_NTS))) {
        setError(odbcDiagnostics(stmt, "the statement could not be prepared"));
        return false;
    }
    // Parameter values must stay in place until SQLExecute has run.
    OdbcParameters values;
    if (!values.bind(stmt, params)) {
        setError(values.error());
        return false;
    }
    const SQLRETURN rc = SQLExecute(stmt.get());
    if (rc == SQL_NO_DATA) {
        m_noRows = true;
        return true;
    }
    if (!SQL_SUCCEEDED(rc)) {
        setError(odbcDiagnostics(stmt, "the statement failed"));
        return false;
    }
    SQLLEN count = 0;
    if (SQL_SUCCEEDED(SQLRowCount(stmt.get(), &count)) && count >= 0) {
        if (rowsAffected)
            *rowsAffected = long(count);
    }
    return true;
}

bool OdbcConnection::tableNames(QStringList *names)
{
    m_noRows = false;
    if (!checkConnected())
        return false;
    OdbcHandle stmt(SQL_HANDLE_STMT, m_handles->dbc.get());
    if (!stmt) {
        setError(odbcDiagnostics(m_handles->dbc, "cannot allocate a statement"));
        return false;
    }
    // The commodity lists of a team database are views over its shared tables.
    SQLCHAR type[] = "TABLE,VIEW";
    if (!SQL_SUCCEEDED(SQLTables(stmt.get(), nullptr, 0, nullptr, 0, nullptr, 0, type, SQL_NTS))) {
        setError(odbcDiagnostics(stmt, "the table catalog could not be read"));
        return false;
    }
    for (;;) {
        const SQLRETURN rc = SQLFetch(stmt.get());
        if (rc == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(rc)) {
            setError(odbcDiagnostics(stmt, "the table catalog could not be read"));
            return false;
        }
        SQLCHAR name[512];
        SQLLEN length = 0;
        // Column 3 of the catalog is TABLE_NAME.
        if (SQL_SUCCEEDED(SQLGetData(stmt.get(), 3, SQL_C_CHAR, name, sizeof name, &length)) && length > 0)
            names->append(QString::fromUtf8(reinterpret_cast<const char *>(name),
                                            int(std::min<SQLLEN>(length, SQLLEN(sizeof name - 1)))));
    }
}

} // namespace runtime
