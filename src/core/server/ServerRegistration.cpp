#include "core/server/ServerRegistration.h"

#include "core/runtime/Registry.h"
#include "core/server/ServerConnection.h"

#include <QFile>
#include <QFileInfo>

namespace server {

QString ServerRegistration::dataSourceKey()
{
    return QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI\\K-I-V");
}

QStringList ServerRegistration::serverKeys()
{
    return {QStringLiteral("Servername"), QStringLiteral("Port"), QStringLiteral("Username"),
            QStringLiteral("Password"), QStringLiteral("pqopt"), QStringLiteral("KeepaliveTime"),
            QStringLiteral("KeepaliveInterval")};
}

QStringList ServerRegistration::fileKeys()
{
    return {QStringLiteral("UID"),     QStringLiteral("PWD"),   QStringLiteral("DatabaseFile"),
            QStringLiteral("AutoStop"), QStringLiteral("Integrated"), QStringLiteral("Debug"),
            QStringLiteral("start"),   QStringLiteral("DisableMultiROWfetch"), QStringLiteral("NoCreat"),
            QStringLiteral("Timeout")};
}

int ServerRegistration::registerServer(const ServerSettings &s)
{
    if (!s.validate().isEmpty())
        return -1;
    const QString key = dataSourceKey();
    for (const QString &name : fileKeys())
        runtime::registryDelete(key, name);
    QList<QPair<QString, QString>> values = {
        {QStringLiteral("Driver"), ServerConnection::driverLibrary()},
        {QStringLiteral("Servername"), s.host.trimmed()},
        {QStringLiteral("Port"), QString::number(s.portNumber())},
        {QStringLiteral("Database"), s.database.trimmed()},
        {QStringLiteral("Username"), s.user.trimmed()},
        // A server that accepts but never answers, a statement that waits for a lock, a server
        // gone without a word: none may freeze the program (ServerConnection's limits).
        {QStringLiteral("pqopt"), ServerConnection::libpqOptions()},
    };
    values += ServerConnection::driverKeys();
    int rc = 1;
    for (const auto &value : values) {
        if (runtime::registrySet(key, value.first, value.second) != 1)
            rc = -1;
    }
    protectFile();
    return rc;
}

void ServerRegistration::removeServerKeys()
{
    bool any = false;
    for (const QString &name : serverKeys()) {
        QString value;
        if (runtime::registryGet(dataSourceKey(), name, &value) == 1) {
            runtime::registryDelete(dataSourceKey(), name);
            any = true;
        }
    }
    if (any)
        protectFile();
}

int ServerRegistration::setPassword(const QString &password)
{
    const int rc = password.isEmpty() ? runtime::registryDelete(dataSourceKey(), QStringLiteral("Password"))
                                      : runtime::registrySet(dataSourceKey(), QStringLiteral("Password"),
                                                             ServerConnection::encodedPassword(password));
    protectFile();
    return rc;
}

bool ServerRegistration::hasPassword()
{
    QString value;
    return runtime::registryGet(dataSourceKey(), QStringLiteral("Password"), &value) == 1 && !value.isEmpty();
}

void ServerRegistration::protectFile()
{
    const QString path = runtime::odbcUserIniPath();
    if (QFileInfo::exists(path))
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace server
