#include "TeamServer.h"

#include "core/runtime/Transaction.h"
#include "core/server/InitServerCommand.h"

#include <QTextStream>

QString TeamServer::bundledDatabase()
{
    return QStringLiteral(KIV_RUN_DIR "/K-I-V.db");
}

bool TeamServer::start(bool setUp, QString *error)
{
    if (!m_cluster.start(error))
        return false;
    // CREATE DATABASE cannot run in a transaction: each statement commits on its own.
    if (!m_cluster.exec(QStringLiteral("postgres"),
                        {QStringLiteral("CREATE DATABASE %1").arg(database()),
                         QStringLiteral("CREATE ROLE alice LOGIN PASSWORD 'alice-pw'"),
                         QStringLiteral("CREATE ROLE bob LOGIN PASSWORD 'bob-pw'"),
                         // The team: --init-server gives the group its rights.
                         QStringLiteral("CREATE ROLE kivtree_users NOLOGIN"),
                         QStringLiteral("GRANT kivtree_users TO alice, bob")})) {
        *error = QStringLiteral("cannot make the database and the roles");
        return false;
    }
    if (!setUp)
        return true;
    QString out;
    QTextStream o(&out), e(error);
    return server::InitServerCommand::run({QStringLiteral("kivtree"), QStringLiteral("--init-server")}, QString(),
                                          adminConnectString(), bundledDatabase(), o, e)
           == server::InitServerCommand::Done;
}

QString TeamServer::adminConnectString() const
{
    return m_cluster.connectString(database(), PostgresCluster::adminUser(), PostgresCluster::adminPassword());
}

QString TeamServer::connectString(const QString &user) const
{
    return m_cluster.connectString(database(), user, user + QStringLiteral("-pw"));
}

std::unique_ptr<runtime::Transaction> TeamServer::connectAs(const QString &user) const
{
    auto t = transaction(connectString(user));
    if (t->connect() != 0)
        qWarning("cannot connect as %s: %s", qPrintable(user), qPrintable(t->sqlErrText()));
    return t;
}

QByteArray TeamServer::profileSection(const QString &user, const QString &databaseName, int port) const
{
    return QStringLiteral("[server]\r\ndriver=postgresql\r\nhost=127.0.0.1\r\nport=%1\r\ndatabase=%2\r\nuser=%3\r\n")
        .arg(port ? port : m_cluster.port())
        .arg(databaseName, user)
        .toUtf8();
}

std::unique_ptr<runtime::Transaction> TeamServer::transaction(const QString &connectString)
{
    auto t = std::make_unique<runtime::Transaction>();
    t->dbms = QStringLiteral("ODBC");
    t->autoCommit = false;
    t->dbParm = QStringLiteral("Connectstring='%1'").arg(connectString);
    return t;
}

QString TeamServer::scalar(runtime::Transaction *t, const QString &sql)
{
    QVector<QVector<QVariant>> rows;
    if (t->select(sql, {runtime::ColumnType::String}, &rows) != 0)
        return QStringLiteral("<error: %1>").arg(t->sqlErrText());
    return rows.isEmpty() ? QStringLiteral("<none>") : rows.first().value(0).toString();
}
