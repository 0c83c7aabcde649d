#pragma once

#include "core/runtime/DataViewDefinition.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

namespace runtime {

class RowsetSink;

// What the connected driver reported through SQLGetInfo.
struct OdbcDriverInfo {
    QString dbmsName;             // SQL_DBMS_NAME, e.g. "SQLite"
    quint32 schemaUsage = 0;      // SQL_SCHEMA_USAGE bit mask; 0 = owners unsupported
    quint32 stringFunctions = 0;  // SQL_STRING_FUNCTIONS bit mask
    bool blockGetData = false;    // SQLGetData works inside a rowset (SQL_GD_BLOCK)
    bool staticCursor = false;    // a static cursor can re-fetch a rowset

    bool supportsSchemas() const { return schemaUsage != 0; }
    bool supportsLeft() const;
};

// One ODBC connection over unixODBC's C API. The environment, connection and statement
// handles are owned and freed here; every failure leaves the driver's diagnostics in
// lastError(). Text travels as UTF-8.
class OdbcConnection
{
public:
    OdbcConnection();
    ~OdbcConnection();
    OdbcConnection(const OdbcConnection &) = delete;
    OdbcConnection &operator=(const OdbcConnection &) = delete;

    // Connects with a connect string ("DSN=K-I-V;" or "Driver=...;Database=...;"), never
    // prompting. Reads the driver information on success.
    // A connection attempt gives up after kLoginTimeout seconds.
    bool connect(const QString &connectString);
    void disconnect();
    // True when the driver knows the connection is gone (a database server stopped or the
    // network failed); only a new connect() helps then.
    bool connectionDead() const;
    bool isConnected() const { return m_connected; }
    const OdbcDriverInfo &driverInfo() const { return m_info; }

    bool setAutoCommit(bool on);
    bool autoCommit() const { return m_autoCommit; }
    bool commit();
    bool rollback();

    // Runs a query and appends its rows to *rows, each value converted to the column's type
    // (String -> QString, Number -> double, Long -> qint32; SQL NULL -> invalid QVariant).
    // Columns beyond the given types are read as text. Rows come in rowsets of
    // kRowsetSize over bound columns. The query may have positional '?' parameters, given
    // as execute() takes them.
    bool select(const QString &sql, const QList<ColumnType> &types,
                QVector<QVector<QVariant>> *rows, const QVector<QVariant> &params = {});
    // The same, each row's cells given to *rows as they are read.
    bool select(const QString &sql, const QList<ColumnType> &types, RowsetSink *rows,
                const QVector<QVariant> &params = {});

    // Runs a statement with positional '?' parameters: QString as text, double as a number,
    // integers as integers, an invalid or null QVariant as NULL. *rowsAffected gets the
    // row count (0 when the statement reported no data).
    bool execute(const QString &sql, const QVector<QVariant> &params, long *rowsAffected = nullptr);

    // Appends the names of the database's tables (the driver's catalog, SQLTables) to *names.
    // A file that is not a database fails here; an empty database answers no names.
    bool tableNames(QStringList *names);

    // True when the last execute() or select() found no rows (ODBC's SQL_NO_DATA).
    bool lastFoundNoRows() const { return m_noRows; }

    QString lastError() const { return m_lastError; }

    static constexpr int kRowsetSize = 256;
    static constexpr int kLoginTimeout = 5;

private:
    struct Handles;

    void setError(const QString &text) { m_lastError = text; }
    bool checkConnected();
    bool endTransaction(bool commit);
    void readDriverInfo();

    std::unique_ptr<Handles> m_handles;
    OdbcDriverInfo m_info;
    QString m_lastError;
    bool m_connected = false;
    bool m_autoCommit = true;
    bool m_noRows = false;
};

} // namespace runtime
