#include "core/server/ServerSettings.h"

#include "core/settings/Setting.h"

#include <QRegularExpression>

namespace server {

namespace {

const settings::Setting kKeys[] = {settings::kServerDriver, settings::kServerHost, settings::kServerPort,
                                    settings::kServerDatabase, settings::kServerUser};

QString key(const settings::Setting &setting)
{
    return QString::fromLatin1(setting.key);
}

// Characters that would end or quote a value of an ODBC connect string.
bool breaksConnectString(const QString &value)
{
    return value.contains(u';') || value.contains(u'{') || value.contains(u'}') || value.contains(u'=');
}

} // namespace

ServerSettings ServerSettings::read(const QString &profileFile, bool *configured)
{
    ServerSettings s;
    QString *fields[] = {&s.driver, &s.host, &s.port, &s.database, &s.user};
    bool any = false;
    for (int i = 0; i < 5; ++i) {
        *fields[i] = settings::Settings::value(profileFile, kKeys[i]).trimmed();
        any = any || !fields[i]->isEmpty();
    }
    if (configured)
        *configured = any;
    return s;
}

bool ServerSettings::configured(const QString &profileFile)
{
    bool any = false;
    read(profileFile, &any);
    return any;
}

int ServerSettings::portNumber() const
{
    bool ok = false;
    const int n = port.trimmed().toInt(&ok);
    return ok && n > 0 && n < 65536 ? n : 0;
}

QString ServerSettings::validate() const
{
    const QString where = QStringLiteral("配置文件的 [server] 节");
    const QString values[] = {driver, host, port, database, user};
    for (int i = 0; i < 5; ++i) {
        if (values[i].trimmed().isEmpty())
            return QStringLiteral("%1缺少 %2 项").arg(where, key(kKeys[i]));
    }
    if (driver.trimmed().compare(postgresDriver(), Qt::CaseInsensitive) != 0)
        return QStringLiteral("%1的 driver 项只能是 postgresql，现在是“%2”").arg(where, driver);
    static const QRegularExpression blank(QStringLiteral("\\s"));
    if (host.trimmed().contains(blank))
        return QStringLiteral("%1的 host 项不能含空格：“%2”").arg(where, host);
    if (!QRegularExpression(QStringLiteral("^\\s*\\d+\\s*$")).match(port).hasMatch())
        return QStringLiteral("%1的 port 项不是数字：“%2”").arg(where, port);
    if (portNumber() == 0)
        return QStringLiteral("%1的 port 项应在 1 到 65535 之间：“%2”").arg(where, port);
    for (int i = 0; i < 5; ++i) {
        if (breaksConnectString(values[i]))
            return QStringLiteral("%1的 %2 项不能含 ; = { }：“%3”").arg(where, key(kKeys[i]), values[i]);
    }
    return QString();
}

int ServerSettings::write(const QString &profileFile, QString *error) const
{
    const QString problem = validate();
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return -1;
    }
    const QString values[] = {driver.trimmed().toLower(), host.trimmed(), QString::number(portNumber()),
                              database.trimmed(), user.trimmed()};
    for (int i = 0; i < 5; ++i) {
        if (settings::Settings::setValue(profileFile, kKeys[i], values[i]) != 1) {
            if (error)
                *error = QStringLiteral("无法写入配置文件 %1").arg(profileFile);
            return -1;
        }
    }
    return 1;
}

int ServerSettings::clear(const QString &profileFile)
{
    if (!configured(profileFile))
        return 1;
    for (const settings::Setting &setting : kKeys) {
        if (settings::Settings::setValue(profileFile, setting, QString()) != 1)
            return -1;
    }
    return 1;
}

} // namespace server
