#include "AtSpiSession.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

QStringList walkWindow(const QString &windowName)
{
    QProcess client;
    client.start(systemPython(), {QStringLiteral(KIV_SOURCE_DIR "/tests/accessibility/window_client.py"),
                                  QCoreApplication::applicationName(), windowName});
    if (!client.waitForStarted())
        return {QStringLiteral("client did not start")};
    QDeadlineTimer deadline(40000);
    while (client.state() == QProcess::Running && !deadline.hasExpired())
        QTest::qWait(50); // the program answers the client's questions from its event loop
    QStringList seen;
    const QByteArray out = client.readAllStandardOutput();
    for (const QJsonValue &v : QJsonDocument::fromJson(out.trimmed()).array()) {
        const QJsonObject o = v.toObject();
        seen << o.value(QStringLiteral("role")).toString() + u':' + o.value(QStringLiteral("name")).toString()
                    + QStringLiteral(" | ") + o.value(QStringLiteral("label")).toString();
    }
    if (seen.isEmpty())
        seen << QString::fromUtf8(out + client.readAllStandardError());
    return seen;
}

bool heardIn(const QStringList &seen, const QString &roles, const QString &name)
{
    for (const QString &line : seen) {
        const QString role = line.section(u':', 0, 0);
        if (roles.split(u'|').contains(role) && line.section(u':', 1).contains(name))
            return true;
    }
    return false;
}
