#include "ui/auxiliary/f_adjust_winpos.h"

#include "ui/runtime/LayoutUnits.h"

#include <QWidget>

#include <algorithm>
#include <limits>

namespace kiv {

qint16 toUnit16(int units)
{
    return static_cast<qint16>(std::clamp(units, int(std::numeric_limits<qint16>::min()),
                                          int(std::numeric_limits<qint16>::max())));
}

QPoint adjustedWinPos(QSize windowSizeUnits)
{
    // Step 1 sets y from the height, step 2 x from the width; neither reads the other.
    const qint16 y = toUnit16(windowSizeUnits.height());
    const qint16 x = toUnit16(windowSizeUnits.width());
    return QPoint(x, y);
}

} // namespace kiv

void f_adjust_winpos(QWidget *aw_window)
{
    f_adjust_winpos(aw_window, runtime::LayoutUnits());
}

void f_adjust_winpos(QWidget *aw_window, const runtime::LayoutUnits &units)
{
    if (!aw_window)
        return;
    const QSize sizeUnits(units.pixelsToUnitsX(aw_window->width()), units.pixelsToUnitsY(aw_window->height()));
    const QPoint posUnits = kiv::adjustedWinPos(sizeUnits);
    aw_window->move(units.toPixels(posUnits));
}
