#include "ui/platform/nvo_external_function_win32.h"

#include <QApplication>
#include <QPalette>
#include <QScreen>
#include <QStyle>

#include <optional>

// Colours and sizes of the display: system colours from the application's palette, metrics
// from the screens and the style.

namespace {

struct ColorRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The palette entry that plays the part of each Windows system colour (COLOR_SCROLLBAR = 0
// to COLOR_MENUBAR = 30; 25 is not defined).
std::optional<ColorRole> roleOfSystemColor(int index)
{
    using P = QPalette;
    switch (index) {
    case 0: return ColorRole{P::Active, P::Mid};              // scroll bar
    case 1: return ColorRole{P::Active, P::Dark};             // desktop
    case 2: return ColorRole{P::Active, P::Highlight};        // active caption
    case 3: return ColorRole{P::Inactive, P::Window};         // inactive caption
    case 4: return ColorRole{P::Active, P::Window};           // menu
    case 5: return ColorRole{P::Active, P::Base};             // window background
    case 6: return ColorRole{P::Active, P::Shadow};           // window frame
    case 7: return ColorRole{P::Active, P::WindowText};       // menu text
    case 8: return ColorRole{P::Active, P::Text};             // window text
    case 9: return ColorRole{P::Active, P::HighlightedText};  // caption text
    case 10: return ColorRole{P::Active, P::Button};          // active border
    case 11: return ColorRole{P::Inactive, P::Button};        // inactive border
    case 12: return ColorRole{P::Active, P::Dark};            // MDI workspace
    case 13: return ColorRole{P::Active, P::Highlight};       // selection
    case 14: return ColorRole{P::Active, P::HighlightedText}; // selected text
    case 15: return ColorRole{P::Active, P::Button};          // button face
    case 16: return ColorRole{P::Active, P::Dark};            // button shadow
    case 17: return ColorRole{P::Disabled, P::Text};          // grey text
    case 18: return ColorRole{P::Active, P::ButtonText};      // button text
    case 19: return ColorRole{P::Inactive, P::WindowText};    // inactive caption text
    case 20: return ColorRole{P::Active, P::Light};           // button highlight
    case 21: return ColorRole{P::Active, P::Shadow};          // 3-D dark shadow
    case 22: return ColorRole{P::Active, P::Midlight};        // 3-D light
    case 23: return ColorRole{P::Active, P::ToolTipText};     // tooltip text
    case 24: return ColorRole{P::Active, P::ToolTipBase};     // tooltip background
    case 26: return ColorRole{P::Active, P::Link};            // hot-tracked item
    case 27: return ColorRole{P::Active, P::Highlight};       // active caption gradient
    case 28: return ColorRole{P::Inactive, P::Window};        // inactive caption gradient
    case 29: return ColorRole{P::Active, P::Highlight};       // menu highlight
    case 30: return ColorRole{P::Active, P::Window};          // menu bar
    default: return std::nullopt;
    }
}

int styleMetric(QStyle::PixelMetric metric)
{
    QStyle *style = QApplication::style();
    return style ? style->pixelMetric(metric) : 0;
}

} // namespace

quint32 nvo_external_function_win32::getsyscolor(int index) const
{
    const std::optional<ColorRole> entry = roleOfSystemColor(index);
    if (!entry)
        return 0;
    const QColor color = QApplication::palette().color(entry->group, entry->role);
    return static_cast<quint32>(color.red()) | static_cast<quint32>(color.green()) << 8
           | static_cast<quint32>(color.blue()) << 16;
}

int nvo_external_function_win32::getsystemmetrics(int index) const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 0;
    switch (index) {
    case 0: return screen->geometry().width();            // SM_CXSCREEN
    case 1: return screen->geometry().height();           // SM_CYSCREEN
    // SM_CXVSCROLL, SM_CYHSCROLL, SM_CYVSCROLL, SM_CXHSCROLL
    case 2: case 3: case 20: case 21: return styleMetric(QStyle::PM_ScrollBarExtent);
    case 4: return styleMetric(QStyle::PM_TitleBarHeight); // SM_CYCAPTION
    case 11: case 12: return styleMetric(QStyle::PM_LargeIconSize); // SM_CXICON, SM_CYICON
    case 16: return screen->availableGeometry().width();  // SM_CXFULLSCREEN
    case 17: return screen->availableGeometry().height(); // SM_CYFULLSCREEN
    case 49: case 50: return styleMetric(QStyle::PM_SmallIconSize); // SM_CXSMICON, SM_CYSMICON
    case 76: return screen->virtualGeometry().x();        // SM_XVIRTUALSCREEN
    case 77: return screen->virtualGeometry().y();        // SM_YVIRTUALSCREEN
    case 78: return screen->virtualGeometry().width();    // SM_CXVIRTUALSCREEN
    case 79: return screen->virtualGeometry().height();   // SM_CYVIRTUALSCREEN
    case 80: return static_cast<int>(QGuiApplication::screens().size()); // SM_CMONITORS
    default: return 0;
    }
}
