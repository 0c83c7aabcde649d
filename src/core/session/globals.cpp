#include "core/session/globals.h"

#include <QDir>

runtime::Transaction *sqlca = nullptr;
QString gs_docname;
QString gs_hgtype;
QString gs_jmwtype;
std::array<QString, 8> gs_help;

namespace kiv {

QString defaultProfilePath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QLatin1Char('/') + QLatin1String(kProfileFileName);
}

} // namespace kiv
