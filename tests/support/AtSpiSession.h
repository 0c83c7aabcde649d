#pragma once

#include "SystemPython.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Why a screen reader's client cannot reach this program through AT-SPI here (no session bus,
// python3-pyatspi missing); empty when it can. A test skips with the reason.
inline QString atSpiUnavailable()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return QStringLiteral("no session bus (dbus-run-session is missing)");
    if (QProcess::execute(systemPython(), {QStringLiteral("-c"), QStringLiteral("import pyatspi")}) != 0)
        return QStringLiteral("python3-pyatspi is missing: the screen reader's side cannot run");
    return QString();
}

// Starts the accessibility bus before the program shows a window, as on a screen reader's
// desktop: true when the registry answered.
inline bool atSpiRegistryAnswers()
{
    return QProcess::execute(systemPython(), {QStringLiteral("-c"),
                                              QStringLiteral("import pyatspi; pyatspi.Registry.getDesktop(0).childCount")})
        == 0;
}

// What a screen reader's client process hears in one of this program's windows (by its
// accessible name), through window_client.py: a "role:name | label" line for each object, or the
// client's own output when it heard nothing.
QStringList walkWindow(const QString &windowName);

// An object of one of the roles ("push button|toggle button") whose own name, or the name of the
// label it is labelled by, holds the text: what a screen reader says of it.
bool heardIn(const QStringList &seen, const QString &roles, const QString &name);
