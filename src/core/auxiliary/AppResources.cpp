#include "core/auxiliary/AppResources.h"

#include <QPixmap>

// Q_INIT_RESOURCE declares a function at global scope, so it must be used outside a namespace.
static void registerAppQrc()
{
    Q_INIT_RESOURCE(app);
}

namespace kiv {

namespace {
// The fingertip of the hand drawn in harrow.png (32 x 32).
constexpr int kHotSpotX = 6;
constexpr int kHotSpotY = 0;
} // namespace

void initAppResources()
{
    static const bool registered = (registerAppQrc(), true);
    Q_UNUSED(registered);
}

QCursor handCursor()
{
    initAppResources();
    const QPixmap picture(QString::fromLatin1(kHandCursorResource));
    if (picture.isNull())
        return QCursor(Qt::PointingHandCursor);
    return QCursor(picture, kHotSpotX, kHotSpotY);
}

} // namespace kiv
