#include "core/session/f_registerodbc.h"

#include "core/runtime/Registry.h"
#include "core/server/ServerRegistration.h"
#include "core/server/ServerSettings.h"
#include "core/session/globals.h"

#include <QFileInfo>
#include <QString>

namespace {

struct Entry {
    QString key;
    const char *valueName;
    QString value;
};

} // namespace

int f_registerodbc()
{
    bool serverMeant = false;
    const server::ServerSettings settings = server::ServerSettings::read(kiv::defaultProfilePath(), &serverMeant);
    if (serverMeant ? !settings.validate().isEmpty() : !QFileInfo(QStringLiteral("./K-I-V.db")).isFile())
        return -1;

    const QString driverName = QStringLiteral("MY ASA DATABASE");
    const QString dataSource = QStringLiteral("K-I-V");
    // The driver library stands where the original kept ".\DBODBC7.DLL" beside the program.
    const QString driverFile = QStringLiteral(KIV_SQLITE_ODBC_DRIVER);
    const QString driverKey = QStringLiteral("hkey_local_machine\\software\\odbc\\odbcinst.ini\\")
                              + driverName;
    const QString driverKey2 = QStringLiteral("Hkey_local_machine\\software\\odbc\\odbcinst.ini\\")
                               + driverName;
    const QString sourcesKey =
        QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI\\ODBC DATA SOURCES");
    const QString sourceKey = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI\\")
                              + dataSource;

    const Entry driverEntries[] = {
        {driverKey, "Driver", driverFile},
        {driverKey2, "SETUP", driverFile},
        {sourcesKey, "K-I-V", driverName},
    };
    // A write that fails is ignored: the data source still works without the drivers entry,
    // because its Driver names the library itself.
    for (const Entry &entry : driverEntries)
        runtime::registrySet(entry.key, QString::fromLatin1(entry.valueName), entry.value);
    // A team database: the same data source with the server's keys in place of the file's.
    if (serverMeant)
        return server::ServerRegistration::registerServer(settings);

    const Entry entries[] = {
        {sourceKey, "Driver", driverFile},
        {sourceKey, "UID", QStringLiteral("DBA")},
        {sourceKey, "PWD", QStringLiteral("qzt4")},
        {sourceKey, "DatabaseFile", QStringLiteral(".\\K-I-V.db")},
        {sourceKey, "AutoStop", QStringLiteral("Yes")},
        {sourceKey, "Integrated", QStringLiteral("NO")},
        {sourceKey, "Debug", QStringLiteral("NO")},
        {sourceKey, "start", QStringLiteral(".\\dbeng7.exe -c 8m")},
        {sourceKey, "DisableMultiROWfetch", QStringLiteral("NO")},
        // What the SQLite driver itself reads: the database file, relative to the working
        // directory, and never a new empty database in place of a missing file.
        {sourceKey, "Database", QStringLiteral("./K-I-V.db")},
        {sourceKey, "NoCreat", QStringLiteral("1")},
        // The driver's own wait for a file another program holds is 100 seconds per
        // statement, a frozen window to the user; two seconds cover any short write.
        {sourceKey, "Timeout", QStringLiteral("2000")},
    };
    for (const Entry &entry : entries)
        runtime::registrySet(entry.key, QString::fromLatin1(entry.valueName), entry.value);
    // Back from a team database: its keys (a password among them) must not stay behind.
    server::ServerRegistration::removeServerKeys();
    return 1;
}
