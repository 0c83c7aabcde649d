#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace runtime {

// Layout units: the font-relative units in which the system gives positions and sizes.
// At 96 dpi one unit is 7/32 pixel horizontally and 1/4 pixel vertically; other screens
// scale by their logical dpi. Values stay in units until they reach a widget.
class LayoutUnits
{
public:
    // dpi 0 = the primary screen's logical dpi (96 when there is no screen).
    explicit LayoutUnits(double dpiX = 0, double dpiY = 0);

    int unitsToPixelsX(int units) const;
    int unitsToPixelsY(int units) const;
    int pixelsToUnitsX(int pixels) const;
    int pixelsToUnitsY(int pixels) const;
    QRect toPixels(int x, int y, int width, int height) const;
    QPoint toPixels(QPoint units) const;
    QSize toPixels(QSize units) const;

    // Places a widget at a rectangle given in units (relative to its parent).
    void place(QWidget *widget, int x, int y, int width, int height) const;

    double dpiX() const { return m_dpiX; }
    double dpiY() const { return m_dpiY; }

private:
    double m_dpiX;
    double m_dpiY;
};

} // namespace runtime
