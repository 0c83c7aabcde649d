#pragma once

#include "core/server/ServerSettings.h"

#include <QString>
#include <QStringList>

namespace server {

// The user data source "K-I-V" of a team database in the user's odbc.ini: the PostgreSQL
// driver library and the server's keys in place of the bundled file's. The password is
// written only when the user typed one (psqlODBC prefers it to libpq's password file), and
// the file is made readable by its owner only after every write.
class ServerRegistration
{
public:
    static QString dataSourceKey();

    // The keys only the server's entry has, and those only the bundled file's has.
    static QStringList serverKeys();
    static QStringList fileKeys();

    // Writes the server's entry, removing the bundled file's keys; a stored password stays.
    // Returns 1, or -1 when the settings are invalid (nothing is written then).
    static int registerServer(const ServerSettings &settings);
    // Removes the server's keys, the password among them (going back to the bundled file).
    static void removeServerKeys();

    // Stores the password the user typed, encoded as psqlODBC decodes a data source's
    // Password (ServerConnection::encodedPassword); an empty one removes it, so that
    // libpq's password file is used again. Returns 1 or -1.
    static int setPassword(const QString &password);
    static bool hasPassword();

    // Mode 0600 for the user's odbc.ini: it may hold a password.
    static void protectFile();
};

} // namespace server
