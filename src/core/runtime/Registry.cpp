#include "core/runtime/Registry.h"

#include "core/runtime/ProfileStrings.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryFile>

#include <odbcinst.h>

// unixODBC's own answers to "which file": exported by libodbcinst and declared in its
// odbcinstext.h, which cannot be included because it needs headers Debian does not ship.
extern "C" {
BOOL _odbcinst_UserINI(char *pszFileName, BOOL bVerify);
char *odbcinst_system_file_path(char *buffer);
char *odbcinst_system_file_name(char *buffer);
}

namespace runtime {

namespace {

constexpr int kPathBuffer = 8192; // above unixODBC's FILENAME_MAX

enum class OdbcFile { None, Drivers, UserDataSources };

struct Target {
    OdbcFile file = OdbcFile::None;
    QString section;
};

// Maps a registry key to a file and a section; OdbcFile::None for keys that have no file.
Target targetOf(const QString &key)
{
    QStringList parts = key.split(QLatin1Char('\\'));
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    if (parts.size() != 5 || parts[1].compare(QLatin1String("SOFTWARE"), Qt::CaseInsensitive) != 0
        || parts[2].compare(QLatin1String("ODBC"), Qt::CaseInsensitive) != 0)
        return {};
    const QString section = parts[4];
    if (section.trimmed().isEmpty() || section.contains(QLatin1Char(']'))
        || section.contains(QLatin1Char('\n')) || section.contains(QLatin1Char('\r')))
        return {};
    const auto is = [](const QString &part, const char *name) {
        return part.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (is(parts[0], "HKEY_LOCAL_MACHINE") && is(parts[3], "ODBCINST.INI"))
        return {OdbcFile::Drivers, section};
    if (is(parts[0], "HKEY_CURRENT_USER") && is(parts[3], "ODBC.INI")) {
        // unixODBC spells this section one way; the registry's key may come in any case.
        if (is(section, "ODBC DATA SOURCES"))
            return {OdbcFile::UserDataSources, QStringLiteral("ODBC Data Sources")};
        return {OdbcFile::UserDataSources, section};
    }
    return {};
}

QString pathOf(OdbcFile file)
{
    switch (file) {
    case OdbcFile::Drivers:
        return odbcDriversIniPath();
    case OdbcFile::UserDataSources:
        return odbcUserIniPath();
    case OdbcFile::None:
        break;
    }
    return QString();
}

// libodbcinst keeps each value it read (drivers read their data source's keys through it) for
// 20 seconds; a value written here would go unseen by a connection made meanwhile, such as
// the reconnect to a server the user has just chosen. Only its own writes empty that cache: one
// into a scratch file does.
void forgetCachedValues()
{
    QTemporaryFile scratch(QDir::tempPath() + QStringLiteral("/kiv-odbc-XXXXXX.ini"));
    if (scratch.open())
        SQLWritePrivateProfileString("cache", "clear", "1", QFile::encodeName(scratch.fileName()).constData());
}

} // namespace

QString odbcUserIniPath()
{
    char buffer[kPathBuffer] = {};
    _odbcinst_UserINI(buffer, 0); // 0: do not create the file
    return QFile::decodeName(buffer);
}

QString odbcDriversIniPath()
{
    // libodbcinst keeps the first folder it was asked for for the rest of the process, so
    // a folder named later in ODBCSYSINI is read here, as a new process would read it.
    QString folder = qEnvironmentVariable("ODBCSYSINI");
    QString name = qEnvironmentVariable("ODBCINSTINI");
    char buffer[kPathBuffer] = {};
    if (folder.isEmpty())
        folder = QFile::decodeName(odbcinst_system_file_path(buffer));
    if (name.isEmpty())
        name = QFile::decodeName(odbcinst_system_file_name(buffer));
    return folder + QLatin1Char('/') + name;
}

int registrySet(const QString &key, const QString &valueName, const QString &value)
{
    const Target target = targetOf(key);
    if (target.file == OdbcFile::None)
        return -1;
    // The files are edited as Windows edits profile files, which is also how unixODBC reads
    // them: names without regard to case, every other line kept.
    const int rc = setProfileString(pathOf(target.file), target.section, valueName, value) == 1 ? 1 : -1;
    forgetCachedValues();
    return rc;
}

int registryDelete(const QString &key, const QString &valueName)
{
    const Target target = targetOf(key);
    if (target.file == OdbcFile::None || valueName.trimmed().isEmpty())
        return -1;
    const int rc = removeProfileKey(pathOf(target.file), target.section, valueName) == 1 ? 1 : -1;
    forgetCachedValues();
    return rc;
}

int registryGet(const QString &key, const QString &valueName, QString *value)
{
    const Target target = targetOf(key);
    if (target.file == OdbcFile::None || valueName.trimmed().isEmpty())
        return -1;
    // No stored value holds a line break, so this default tells a missing value.
    const QString missing = QStringLiteral("\n");
    const QString found = profileString(pathOf(target.file), target.section, valueName, missing);
    if (found == missing)
        return -1;
    if (value)
        *value = found;
    return 1;
}

} // namespace runtime
