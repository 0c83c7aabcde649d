#pragma once

#include "core/runtime/DataViewDefinition.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <QWaitCondition>

#include <atomic>
#include <memory>

namespace runtime {

class OdbcConnection;
class RowsetSink;

// The transaction object (sqlca): one ODBC connection with the runtime's result fields.
// SQLCode is 0 on success, -1 on an error (SQLErrText then holds the driver's message),
// 100 when a statement found no rows.
class Transaction : public QObject
{
    Q_OBJECT
public:
    explicit Transaction(QObject *parent = nullptr);
    ~Transaction() override;

    // Connection settings, as the system sets them.
    QString dbms;          // "ODBC"
    QString dbParm;        // e.g. "Connectstring='DSN=K-I-V'"
    bool autoCommit = true;

    long sqlCode() const { return m_sqlCode; }
    QString sqlErrText() const { return m_sqlErrText; }
    long sqlNRows() const { return m_sqlNRows; }

    // Each returns 0 on success and -1 on failure, and sets SQLCode/SQLErrText.
    int connect();
    int disconnect();
    int commit();
    int rollback();
    bool isConnected() const;

    // The connection string that dbParm names (the text inside ConnectString='...').
    static QString connectStringOf(const QString &dbParm);

    // SQL written as the system defines it, adapted to what the connected driver supports:
    // owner qualifiers dropped where schemas are unsupported, Left(x,n) as substr(x,1,n)
    // where LEFT is missing.
    QString adaptSql(const QString &sql) const;

    // Runs a query and appends its rows (one QVector per row, one QVariant per column,
    // converted to the given column types) to *rows. Returns 0 or -1 (see sqlCode()).
    // Values go in as positional parameters ('?'), typed as execute() takes them.
    int select(const QString &sql, const QList<ColumnType> &types, QVector<QVector<QVariant>> *rows,
               const QVector<QVariant> &params = {});
    // The same, each row's cells given to *rows as they are read.
    int select(const QString &sql, const QList<ColumnType> &types, RowsetSink *rows,
               const QVector<QVariant> &params = {});

    // The connected driver's name of its database engine (SQL_DBMS_NAME, e.g. "SQLite"), for
    // the few steps that only one engine offers; empty when not connected.
    QString dbmsName() const;

    // Gives back the memory the database engine keeps of the pages it read (SQLite's page
    // cache, some megabytes after the lists are read); it fills again as queries need it.
    // Nothing is done on other engines, or while the connection is lent.
    void releaseMemory();

    // The names of the connected database's tables, from the driver's catalog. Returns 0 or -1.
    int tableNames(QStringList *names);

    // Runs a statement with positional parameters ('?'); sqlNRows() tells the rows affected.
    int execute(const QString &sql, const QVector<QVariant> &params = {});

    // A long piece of work (an edition's writing, a restore) runs through this connection in a
    // worker thread while the lending thread's event loop keeps the windows painted. From
    // lend() until the worker calls giveBack(), the lending thread's own calls wait, so that no
    // timer's query lands inside the worker's transaction; work that can come back later asks
    // isLent() first and does.
    void lend();
    void giveBack();
    bool isLent() const { return m_lent.load(std::memory_order_acquire); }

private:
    void setResult(long code, const QString &text = QString(), long nrows = 0);
    // Ends a query: its read lock released, the result fields set. Returns 0 or -1.
    int finishSelect(bool ok, qsizetype found);
    // Connected, with the connection's commit mode matching autoCommit; sets the result
    // fields and answers false otherwise. A connection the server dropped is made anew here,
    // so that a save retried after the server is back succeeds.
    bool ready();
    void waitForLoan();
    bool reconnect();

    std::unique_ptr<OdbcConnection> m_connection;
    QString m_connectString;
    long m_sqlCode = 0;
    QString m_sqlErrText;
    long m_sqlNRows = 0;
    bool m_writesPending = false; // statements since the last commit or rollback
    std::atomic<bool> m_lent{false};
    Qt::HANDLE m_lender = nullptr;
    QMutex m_loanMutex;
    QWaitCondition m_loanReturned;
};

} // namespace runtime
