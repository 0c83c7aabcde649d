#pragma once

#include <QString>

namespace server {

// The team database chosen in the profile file's [server] section:
//   driver=postgresql, host, port, database, user.
// The password is never kept there: libpq's password file gives it, or the user's odbc.ini
// entry when it was typed in the dialog. A section whose keys are all missing or empty means
// the bundled file; a section with some keys set must be complete and valid, and the program
// then refuses to start rather than fall back to the file without a word.
class ServerSettings
{
public:
    static QString section() { return QStringLiteral("server"); }
    static QString postgresDriver() { return QStringLiteral("postgresql"); }
    static constexpr int kDefaultPort = 5432;

    QString driver = postgresDriver();
    QString host;
    QString port = QString::number(kDefaultPort); // as the profile holds it, checked by validate()
    QString database;
    QString user;

    // Reads the section; *configured (when given) tells whether any key is set at all.
    static ServerSettings read(const QString &profileFile, bool *configured = nullptr);
    // True when the section has at least one key with a value: the server is meant.
    static bool configured(const QString &profileFile);

    // Empty when the settings can be used; otherwise what is wrong, in words for the user.
    QString validate() const;
    // The port as a number; 0 while validate() fails on it.
    int portNumber() const;

    // Writes the five keys (after validate(); nothing is written when it fails). Returns 1, or
    // -1 with *error set.
    int write(const QString &profileFile, QString *error = nullptr) const;
    // Empties the five keys: the program goes back to the bundled file. Returns 1 or -1.
    static int clear(const QString &profileFile);

    bool operator==(const ServerSettings &) const = default;
};

} // namespace server
