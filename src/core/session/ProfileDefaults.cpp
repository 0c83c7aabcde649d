#include "core/session/ProfileDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kiv {

int createDefaultProfile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    // NewOnly: a file that appeared meanwhile is left as it is.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return -1;
    const QByteArray text(kDefaultProfileText);
    const bool written = file.write(text) == text.size();
    file.close();
    if (!written) {
        file.remove();
        return -1;
    }
    return 1;
}

} // namespace kiv
