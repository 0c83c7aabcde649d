#pragma once

#include "PostgresCluster.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace runtime {
class Transaction;
}

// The tests' team database: a PostgresCluster with the database "kiv" and the login roles
// alice and bob (password: the name and "-pw"), members of the team (kivtree_users),
// optionally set up by --init-server with the bundled data. The administrator owns the tables.
class TeamServer
{
public:
    static QString database() { return QStringLiteral("kiv"); }
    static QString bundledDatabase();

    bool start(bool setUp, QString *error);
    PostgresCluster &cluster() { return m_cluster; }
    int port() const { return m_cluster.port(); }

    QString adminConnectString() const;
    QString connectString(const QString &user) const;
    // A connected transaction object (autoCommit off) of the role; a warning when it fails.
    std::unique_ptr<runtime::Transaction> connectAs(const QString &user) const;
    // The profile's [server] section for a role.
    QByteArray profileSection(const QString &user, const QString &databaseName = database(), int port = 0) const;

    // A transaction object for a connect string, not yet connected.
    static std::unique_ptr<runtime::Transaction> transaction(const QString &connectString);
    // The first value of a query as text; the error text when it fails.
    static QString scalar(runtime::Transaction *t, const QString &sql);

private:
    PostgresCluster m_cluster;
};
