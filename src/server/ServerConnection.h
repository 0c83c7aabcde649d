#pragma once

#include "server/ServerSettings.h"

#include <QString>

namespace server {

// How the program reaches the team database through psqlODBC.
class ServerConnection
{
public:
    // Seconds a connection attempt may take: a server that accepts but never answers must
    // not freeze the program.
    static constexpr int kConnectTimeout = 5;

    // The PostgreSQL ODBC driver library found when the program was built.
    static QString driverLibrary();
    // The DBMS name psqlODBC reports (SQL_DBMS_NAME).
    static QString dbmsName() { return QStringLiteral("PostgreSQL"); }
    static bool isServer(const QString &dbmsName);

    // A connect string that needs no data source. Without a password libpq takes it from its
    // password file (~/.pgpass or PGPASSFILE). psqlODBC reads Username/Password, not UID/PWD.
    static QString connectString(const ServerSettings &settings, const QString &password = QString());

    // Connects once with the settings and the password (empty: the password file) and
    // disconnects again, within kConnectTimeout seconds. Returns an empty string on success,
    // otherwise the reason, as the server or the driver gave it.
    static QString test(const ServerSettings &settings, const QString &password = QString());

    // One value of a connect string, braced when it holds characters the string would
    // otherwise split on.
    static QString quoted(const QString &value);
};

} // namespace server
