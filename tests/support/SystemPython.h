#pragma once

#include <QFileInfo>
#include <QString>

// Debian's own interpreter, where python3-pyatspi installs (a python3 earlier on the PATH may
// be another one): the screen reader's side of the AT-SPI tests.
inline QString systemPython()
{
    const QString system = QStringLiteral("/usr/bin/python3");
    return QFileInfo::exists(system) ? system : QStringLiteral("python3");
}
