#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A PostgreSQL server of the tests' own: initdb and pg_ctl in a temporary folder, on a free
// port of the loopback, never the machine's own cluster. PostgreSQL refuses to run as root,
// so as root the server runs as an unprivileged system user (postgres, made when missing)
// through runuser. One per test program: start it in initTestCase, and it stops when the
// object goes. Clients log in over TCP with a password (the administrator's below).
class PostgresCluster
{
public:
    PostgresCluster();
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster &) = delete;
    PostgresCluster &operator=(const PostgresCluster &) = delete;

    // Why no server can be run here (the server programs are missing); empty when one can.
    static QString missingReason();

    // Makes the cluster and starts it; false with *error set when that fails.
    bool start(QString *error);
    // Stops the running server (fast shutdown: connections are cut) and starts it again on the
    // same port, keeping the data.
    bool stop();
    bool restart();

    QString host() const { return QStringLiteral("127.0.0.1"); }
    int port() const { return m_port; }
    static QString adminUser() { return QStringLiteral("kivadmin"); }
    static QString adminPassword() { return QStringLiteral("kiv-admin-pw"); }

    // A connect string for psqlODBC, without a data source.
    QString connectString(const QString &database, const QString &user, const QString &password) const;
    // Runs statements (each on its own, committed) as the administrator; false with the
    // reason printed as a warning when one fails.
    bool exec(const QString &database, const QStringList &statements) const;
    // A port nobody listens on.
    static int freePort();

private:
    bool run(const QStringList &command, QString *output) const;
    bool giveToServerUser(const QString &path) const;
    QString serverOptions() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_user; // the system user the server runs as; empty when not root
    int m_port = 0;
    bool m_running = false;
};
