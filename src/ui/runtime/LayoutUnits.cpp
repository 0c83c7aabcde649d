#include "ui/runtime/LayoutUnits.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace runtime {

namespace {
constexpr double kPixelsPerUnitX = 7.0 / 32.0; // at 96 dpi
constexpr double kPixelsPerUnitY = 1.0 / 4.0;

double screenDpi(bool horizontal)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96.0;
    const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? dpi : 96.0;
}
} // namespace

LayoutUnits::LayoutUnits(double dpiX, double dpiY)
    : m_dpiX(dpiX > 0 ? dpiX : screenDpi(true))
    , m_dpiY(dpiY > 0 ? dpiY : screenDpi(false))
{
}

int LayoutUnits::unitsToPixelsX(int units) const
{
    return static_cast<int>(std::lround(units * kPixelsPerUnitX * m_dpiX / 96.0));
}

int LayoutUnits::unitsToPixelsY(int units) const
{
    return static_cast<int>(std::lround(units * kPixelsPerUnitY * m_dpiY / 96.0));
}

int LayoutUnits::pixelsToUnitsX(int pixels) const
{
    return static_cast<int>(std::lround(pixels / (kPixelsPerUnitX * m_dpiX / 96.0)));
}

int LayoutUnits::pixelsToUnitsY(int pixels) const
{
    return static_cast<int>(std::lround(pixels / (kPixelsPerUnitY * m_dpiY / 96.0)));
}

QRect LayoutUnits::toPixels(int x, int y, int width, int height) const
{
    return QRect(unitsToPixelsX(x), unitsToPixelsY(y), unitsToPixelsX(width), unitsToPixelsY(height));
}

QPoint LayoutUnits::toPixels(QPoint units) const
{
    return QPoint(unitsToPixelsX(units.x()), unitsToPixelsY(units.y()));
}

QSize LayoutUnits::toPixels(QSize units) const
{
    return QSize(unitsToPixelsX(units.width()), unitsToPixelsY(units.height()));
}

void LayoutUnits::place(QWidget *widget, int x, int y, int width, int height) const
{
    if (widget)
        widget->setGeometry(toPixels(x, y, width, height));
}

} // namespace runtime
