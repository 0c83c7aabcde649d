#pragma once

#include "core/server/ServerSettings.h"

#include <QString>
#include <QTemporaryDir>

namespace server {

// A libpq password file of one line, readable by its owner only, in a temporary folder that
// goes with the object: a typed password reaches libpq without ever standing in a connect
// string that the driver manager may write into its trace.
class PasswordFile
{
public:
    // Writes the line for the settings' server, database and user. False with error() set.
    bool write(const ServerSettings &settings, const QString &password);
    QString path() const { return m_path; }
    QString error() const { return m_error; }

    // One field of a password file line: ':' and '\' escaped with '\'.
    static QString field(const QString &value);
    // A value for a libpq connection string: blanks, quotes and '\' escaped with '\'.
    static QString conninfoValue(const QString &value);

private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_error;
};

} // namespace server
