#include "core/edition/PausePoint.h"

#include <QFile>

#include <unistd.h>

namespace edition {

namespace {

PausePoint::Handler &handlerSlot()
{
    static PausePoint::Handler handler;
    return handler;
}

} // namespace

void PausePoint::setHandler(Handler handler)
{
    handlerSlot() = std::move(handler);
}

void PausePoint::reach(const char *name)
{
    if (handlerSlot())
        handlerSlot()(QByteArray(name));
    const QByteArray setting = qgetenv(variable().constData());
    const qsizetype colon = setting.indexOf(':');
    if (colon <= 0 || setting.left(colon) != name)
        return;
    QFile marker(QFile::decodeName(setting.mid(colon + 1)));
    if (marker.open(QIODevice::WriteOnly)) {
        marker.write(name);
        marker.close();
    }
    for (;;)
        ::pause();
}

} // namespace edition
