#include "core/settings/Setting.h"

#include "core/runtime/ProfileStrings.h"

namespace settings {

namespace {
QString keyOf(const Setting &setting, const QString &suffix)
{
    return QString::fromLatin1(setting.key) + suffix;
}
} // namespace

QList<Setting> allSettings()
{
    return {kExportColumns, kExportFormat,   kExportFolder, kRecentCodes,     kExchangeRate,
            kServerDriver,  kServerHost,     kServerPort,   kServerDatabase,  kServerUser};
}

Settings *Settings::instance()
{
    static Settings settings;
    return &settings;
}

QString Settings::value(const QString &profileFile, const Setting &setting, const QString &suffix)
{
    return runtime::profileString(profileFile, QString::fromLatin1(setting.section), keyOf(setting, suffix),
                                  QString::fromUtf8(setting.defaultValue));
}

int Settings::setValue(const QString &profileFile, const Setting &setting, const QString &value,
                       const QString &suffix)
{
    const QString section = QString::fromLatin1(setting.section);
    const QString key = keyOf(setting, suffix);
    if (runtime::setProfileString(profileFile, section, key, value) != 1)
        return -1;
    emit instance()->changed(section, key);
    return 1;
}

} // namespace settings
