#include "core/runtime/Transaction.h"

#include "core/runtime/OdbcConnection.h"
#include "core/runtime/RowsetSink.h"
#include "core/runtime/SqlAdapter.h"

#include <QThread>

#include <optional>

namespace runtime {

Transaction::Transaction(QObject *parent) : QObject(parent) {}

Transaction::~Transaction() = default;

void Transaction::setResult(long code, const QString &text, long nrows)
{
    m_sqlCode = code;
    m_sqlErrText = text;
    m_sqlNRows = nrows;
}

namespace {
qsizetype skipBlanks(QStringView text, qsizetype at)
{
    while (at < text.size() && text[at].isSpace())
        ++at;
    return at;
}

// The quoted value of "ConnectString = '...'" (or "...") beginning at `at`, if one is there.
std::optional<QString> connectStringAt(QStringView text, qsizetype at)
{
    static constexpr QStringView keyword = u"connectstring";
    at = skipBlanks(text, at);
    if (!text.mid(at).startsWith(keyword, Qt::CaseInsensitive))
        return std::nullopt;
    at = skipBlanks(text, at + keyword.size());
    if (at >= text.size() || text[at] != u'=')
        return std::nullopt;
    at = skipBlanks(text, at + 1);
    if (at >= text.size() || (text[at] != u'\'' && text[at] != u'"'))
        return std::nullopt;
    const qsizetype close = text.indexOf(text[at], at + 1);
    if (close < 0)
        return std::nullopt;
    return text.mid(at + 1, close - at - 1).toString();
}
} // namespace

QString Transaction::connectStringOf(const QString &dbParm)
{
    // ConnectString='...' (or "..."), the keyword in any case, among other comma-separated
    // parameters. Read by hand: a regular expression here would bring its engine's compiler into
    // every start-up for one parameter.
    for (qsizetype at = 0;;) {
        if (std::optional<QString> value = connectStringAt(dbParm, at))
            return *value;
        const qsizetype comma = dbParm.indexOf(u',', at);
        if (comma < 0)
            return QString();
        at = comma + 1;
    }
}

bool Transaction::isConnected() const
{
    return m_connection && m_connection->isConnected();
}

int Transaction::connect()
{
    if (isConnected()) {
        setResult(-1, QStringLiteral("Transaction already connected"));
        return -1;
    }
    if (!dbms.isEmpty() && dbms.compare(QLatin1String("ODBC"), Qt::CaseInsensitive) != 0) {
        setResult(-1, QStringLiteral("Database interface %1 is not supported").arg(dbms));
        return -1;
    }
    const QString connectString = connectStringOf(dbParm);
    if (connectString.isEmpty()) {
        setResult(-1, QStringLiteral("DBParm holds no ConnectString"));
        return -1;
    }
    auto connection = std::make_unique<OdbcConnection>();
    if (!connection->connect(connectString)) {
        setResult(-1, connection->lastError());
        return -1;
    }
    if (!autoCommit && !connection->setAutoCommit(false)) {
        setResult(-1, connection->lastError());
        return -1;
    }
    m_connection = std::move(connection);
    m_connectString = connectString;
    m_writesPending = false;
    setResult(0);
    return 0;
}

bool Transaction::reconnect()
{
    // The work of the lost transaction is gone with the connection; the caller's own state
    // (a data view's change flags) keeps what is to be sent again.
    auto connection = std::make_unique<OdbcConnection>();
    if (!connection->connect(m_connectString)
        || (!autoCommit && !connection->setAutoCommit(false))) {
        setResult(-1, connection->lastError());
        return false;
    }
    m_connection = std::move(connection);
    m_writesPending = false;
    return true;
}

int Transaction::disconnect()
{
    waitForLoan();
    if (!isConnected()) {
        setResult(-1, QStringLiteral("Transaction not connected"));
        return -1;
    }
    // Disconnecting commits the open work, as the original runtime's DISCONNECT does.
    const bool committed = m_connection->autoCommit() || m_connection->commit();
    const QString error = committed ? QString() : m_connection->lastError();
    m_connection.reset();
    setResult(committed ? 0 : -1, error);
    return committed ? 0 : -1;
}

void Transaction::lend()
{
    const QMutexLocker lock(&m_loanMutex);
    m_lender = QThread::currentThreadId();
    m_lent.store(true, std::memory_order_release);
}

void Transaction::giveBack()
{
    const QMutexLocker lock(&m_loanMutex);
    m_lent.store(false, std::memory_order_release);
    m_lender = nullptr;
    m_loanReturned.wakeAll();
}

void Transaction::waitForLoan()
{
    if (!isLent())
        return;
    QMutexLocker lock(&m_loanMutex);
    if (!m_lent.load(std::memory_order_acquire) || m_lender != QThread::currentThreadId())
        return;
    // Callers that can wait check isLent() and come back later; one that did not is named here.
    qWarning("runtime::Transaction: used by the lending thread while a worker holds it; waiting");
    while (m_lent.load(std::memory_order_acquire))
        m_loanReturned.wait(&m_loanMutex);
}

bool Transaction::ready()
{
    waitForLoan();
    if (!isConnected()) {
        setResult(-1, QStringLiteral("Transaction not connected"));
        return false;
    }
    if (m_sqlCode == -1 && m_connection->connectionDead() && !reconnect())
        return false;
    // autoCommit may have been changed since the connection was made.
    if (m_connection->autoCommit() != autoCommit && !m_connection->setAutoCommit(autoCommit)) {
        setResult(-1, m_connection->lastError());
        return false;
    }
    return true;
}

int Transaction::commit()
{
    if (!ready())
        return -1;
    if (!autoCommit && !m_connection->commit()) {
        setResult(-1, m_connection->lastError());
        return -1;
    }
    m_writesPending = false;
    setResult(0);
    return 0;
}

int Transaction::rollback()
{
    if (!ready())
        return -1;
    if (!autoCommit && !m_connection->rollback()) {
        setResult(-1, m_connection->lastError());
        return -1;
    }
    m_writesPending = false;
    setResult(0);
    return 0;
}

QString Transaction::adaptSql(const QString &sql) const
{
    if (!isConnected())
        return sql;
    const OdbcDriverInfo &info = m_connection->driverInfo();
    return runtime::adaptSql(sql, !info.supportsSchemas(), !info.supportsLeft());
}

QString Transaction::dbmsName() const
{
    return isConnected() ? m_connection->driverInfo().dbmsName : QString();
}

int Transaction::select(const QString &sql, const QList<ColumnType> &types,
                        QVector<QVector<QVariant>> *rows, const QVector<QVariant> &params)
{
    if (!ready())
        return -1;
    const qsizetype before = rows->size();
    const bool ok = m_connection->select(sql, types, rows, params);
    return finishSelect(ok, rows->size() - before);
}

int Transaction::select(const QString &sql, const QList<ColumnType> &types, RowsetSink *rows,
                        const QVector<QVariant> &params)
{
    if (!ready())
        return -1;
    const bool ok = m_connection->select(sql, types, rows, params);
    return finishSelect(ok, rows->rowCount());
}

int Transaction::finishSelect(bool ok, qsizetype found)
{
    const QString error = ok ? QString() : m_connection->lastError();
    // Outside autocommit the driver opens a transaction for a query too, and its read lock
    // would keep every other program from writing the file for as long as the window is
    // open. While nothing of ours is pending, ending it changes no data.
    if (!autoCommit && !m_writesPending)
        m_connection->commit();
    if (!ok) {
        setResult(-1, error);
        return -1;
    }
    setResult(found == 0 ? 100 : 0, QString(), long(found));
    return 0;
}

void Transaction::releaseMemory()
{
    if (isLent() || !isConnected() || dbmsName() != QLatin1String("SQLite"))
        return;
    long affected = 0;
    if (!m_connection->execute(QStringLiteral("PRAGMA shrink_memory"), {}, &affected))
        return; // only memory is at stake: the result fields stay the caller's
    // As after a query: no transaction is left open for it.
    if (!autoCommit && !m_writesPending)
        m_connection->commit();
}

int Transaction::tableNames(QStringList *names)
{
    if (!ready())
        return -1;
    const bool ok = m_connection->tableNames(names);
    const QString error = ok ? QString() : m_connection->lastError();
    // As after a query: the catalog's read lock must not outlive the call.
    if (!autoCommit && !m_writesPending)
        m_connection->commit();
    setResult(ok ? 0 : -1, error);
    return ok ? 0 : -1;
}

int Transaction::execute(const QString &sql, const QVector<QVariant> &params)
{
    if (!ready())
        return -1;
    long affected = 0;
    // Even a failed statement may leave earlier work of the transaction open.
    m_writesPending = !autoCommit;
    if (!m_connection->execute(sql, params, &affected)) {
        setResult(-1, m_connection->lastError());
        return -1;
    }
    setResult(m_connection->lastFoundNoRows() ? 100 : 0, QString(), affected);
    return 0;
}

} // namespace runtime
