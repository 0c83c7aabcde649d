#pragma once

#include <QPoint>
#include <QSize>
#include <QtGlobal>

class QWidget;

namespace runtime {
class LayoutUnits;
}

namespace kiv {

// A layout-unit value as the runtime stores positions and sizes: a 16-bit signed integer.
// Values outside that range are clamped rather than wrapped, so a very large window still
// lands at the far edge instead of at a negative position.
qint16 toUnit16(int units);

// Where f_adjust_winpos puts a window of the given size, all in layout units: its y becomes
// its own height, its x its own width.
QPoint adjustedWinPos(QSize windowSizeUnits);

} // namespace kiv

// Places a window (the find, help and about windows pass themselves while they open) at the
// position derived from its own size in layout units: y = its height, then x = its width.
// The position does not depend on the screen. The size read is the window's own size (its
// client area: before a window is shown its frame is not known yet), so calling it twice
// leaves the window where the first call put it.
void f_adjust_winpos(QWidget *aw_window);
void f_adjust_winpos(QWidget *aw_window, const runtime::LayoutUnits &units);
