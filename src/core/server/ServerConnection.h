#pragma once

#include "core/server/ServerSettings.h"

#include <QList>
#include <QPair>
#include <QString>

namespace server {

// How the program reaches the team database through psqlODBC, and the limits its own
// connections work within. Nothing here is set on the database itself: another program on
// the same server keeps its own settings.
class ServerConnection
{
public:
    // Seconds a connection attempt may take: a server that accepts but never answers must
    // not freeze the program.
    static constexpr int kConnectTimeout = 5;
    // Interactive work (loading, saving, 测试连接): a statement may run this long, and wait
    // this long for a lock another session holds, before the server cancels it. The window
    // waits no longer than that.
    static constexpr int kStatementTimeoutMs = 10000;
    static constexpr int kLockTimeoutMs = 3000;
    // Imports and restores (in a worker, or a command) have more time, within their transaction.
    static constexpr int kLongStatementTimeoutMs = 600000;
    // A server that vanished without closing the connection: keep-alive probes after this
    // many idle seconds, one every kKeepaliveInterval seconds, the connection given up after
    // kKeepaliveCount unanswered; data the server never acknowledges gives up after
    // kTcpUserTimeoutMs.
    static constexpr int kKeepaliveIdle = 5;
    static constexpr int kKeepaliveInterval = 2;
    static constexpr int kKeepaliveCount = 3;
    static constexpr int kTcpUserTimeoutMs = 10000;

    // The PostgreSQL ODBC driver library found when the program was built.
    static QString driverLibrary();
    // The DBMS name psqlODBC reports (SQL_DBMS_NAME).
    static QString dbmsName() { return QStringLiteral("PostgreSQL"); }
    static bool isServer(const QString &dbmsName);

    // The value of psqlODBC's pqopt key: libpq's own options that psqlODBC does not set
    // itself (the schema searched, the statement and lock timeouts, the TCP limits), plus
    // `extra` (e.g. a password file). psqlODBC refuses a key there that it sets itself.
    static QString libpqOptions(const QString &extra = QString());
    // psqlODBC's own keys for what it sets itself (the keep-alive times), name and value.
    static QList<QPair<QString, QString>> driverKeys();

    // A password as psqlODBC decodes the Password of a data source: letters and digits as
    // they are, a blank as '+', every other byte of its UTF-8 as %XX.
    static QString encodedPassword(const QString &password);

    // A connect string that needs no data source. Without a password libpq takes it from its
    // password file (~/.pgpass or PGPASSFILE). A password given here travels as PWD={...},
    // the key the driver manager masks in its trace (up to the first ';' or ']').
    static QString connectString(const ServerSettings &settings, const QString &password = QString());

    // Connects once with the settings and the password (empty: the user's password file;
    // otherwise handed over in a private password file, never in the connect string), reads
    // the lists' chapter count and disconnects again, each step within its timeout. Returns
    // an empty string on success, otherwise the reason in words for the user
    // (ConnectionProblem).
    static QString test(const ServerSettings &settings, const QString &password = QString());

    // One value of a connect string, braced when it holds characters the string would
    // otherwise split on.
    static QString quoted(const QString &value);
};

} // namespace server
