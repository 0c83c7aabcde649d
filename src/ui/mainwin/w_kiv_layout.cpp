#include "ui/mainwin/w_kiv.h"

#include "core/catalog/Catalog.h"
#include "core/catalog/CommodityTreeBuilder.h"
#include "core/catalog/TreeCodes.h"
#include "core/runtime/DataView.h"
#include "core/runtime/FindExpression.h"
#include "core/runtime/NamedEvents.h"
#include "core/runtime/ProfileStrings.h"
#include "core/session/ProfileDefaults.h"
#include "core/session/globals.h"
#include "ui/auxiliary/SeparatorLine.h"
#include "ui/auxiliary/u_url_link.h"
#include "ui/mainwin/DetailPanel.h"
#include "ui/mainwin/HoverUnderline.h"
#include "ui/mainwin/MainLayout.h"
#include "ui/mainwin/MainNavigation.h"
#include "ui/mainwin/MainWindowKeys.h"
#include "ui/mainwin/SplitterBar.h"
#include "ui/mainwin/TrayIcon.h"
#include "ui/runtime/LayoutUnits.h"
#include "ui/runtime/MenuBarAccessible.h"
#include "ui/runtime/MessageBox.h"
#include "ui/tree/TreeCodeTyping.h"
#include "ui/tree/u_tv.h"
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QFrame>
#include <QEventLoop>
#include <QPropertyAnimation>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <utility>

// The main window's layout: where each control goes as the window and the splitter move.

namespace {
MainLayout::Controls controlsOf(const w_kiv &window, const runtime::LayoutUnits &units)
{
    auto toUnits = [&units](const QWidget *w) {
        return QRect(units.pixelsToUnitsX(w->x()), units.pixelsToUnitsY(w->y()), units.pixelsToUnitsX(w->width()),
                     units.pixelsToUnitsY(w->height()));
    };
    MainLayout::Controls c;
    c.tree1 = toUnits(window.tv_1);
    c.bar = toUnits(window.st_vertical);
    c.tree2 = toUnits(window.tv_2);
    return c;
}

void place(QWidget *widget, const QRect &r, const runtime::LayoutUnits &units)
{
    widget->setGeometry(units.toPixels(r.x(), r.y(), r.width(), r.height()));
}
} // namespace

void w_kiv::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applyLayout();
}

void w_kiv::applyLayout()
{
    const runtime::LayoutUnits units;
    MainLayout::Controls c;
    if (property("laidOut").toBool())
        c = controlsOf(*this, units);
    c.tree1.moveTo(MainLayout::kTree1.topLeft());
    c.status.setSize({loadingLabelWidthUnits(), 80});
    c.clock.setSize({units.pixelsToUnitsX(st_time->sizeHint().width()) + 20, 72});
    c.link.setSize({std::max(MainLayout::kLink.width(), units.pixelsToUnitsX(st_2->sizeHint().width())), 84});
    const QSize outer = frameGeometry().size();
    MainLayout::resize(c, units.pixelsToUnitsX(outer.width()), units.pixelsToUnitsY(outer.height()), ib_debug);
    if (!property("laidOut").toBool())
        c.bar.moveTop(MainLayout::kBar.y());
    // The height reserve was measured for a slimmer frame; where our menu bar, toolbar and
    // status line take more, the trees end at the bottom of the client area instead.
    const int clientBottom = units.pixelsToUnitsY(centralWidget()->height()) - MainLayout::kTree1.x();
    if (c.tree1.bottom() > clientBottom && clientBottom > c.tree1.top()) {
        c.tree1.setBottom(clientBottom);
        c.tree2.setHeight(c.tree1.height());
    }
    place(tv_1, c.tree1, units);
    place(st_vertical, c.bar, units);
    place(tv_2, c.tree2, units);
    place(st_time, c.clock, units);
    place(st_2, c.link, units);
    place(st_1, c.status, units);
    place(ln_1, QRect(0, 0, c.lineEnd, 4), units);
    place(ln_2, QRect(0, 4, c.lineEnd, 4), units);
    // The clock and the link stand over the right tree's top corner.
    st_time->raise();
    st_2->raise();
    setProperty("laidOut", true);
}

int w_kiv::loadingLabelWidthUnits() const
{
    // Wide enough for the whole text; a little air at both ends.
    return runtime::LayoutUnits().pixelsToUnitsX(st_1->sizeHint().width()) + 40;
}

void w_kiv::setLoadingText(const QString &text)
{
    st_1->setText(text);
    const runtime::LayoutUnits units;
    const int width = loadingLabelWidthUnits();
    const int x = MainLayout::centredX(units.pixelsToUnitsX(frameGeometry().width()), width);
    place(st_1, QRect(x, units.pixelsToUnitsY(st_1->y()), width, 80), units);
    if (st_1->isVisible())
        st_1->repaint();
}

int w_kiv::wf_resizebars()
{
    const runtime::LayoutUnits units;
    MainLayout::Controls c = controlsOf(*this, units);
    const int messages = MainLayout::resizeBars(c, units.pixelsToUnitsX(frameGeometry().width()));
    for (int i = 0; i < messages; ++i)
        runtime::messageBox(QStringLiteral(":-)"), QStringLiteral("我觉得太小了!"));
    place(st_vertical, c.bar, units);
    place(tv_1, c.tree1, units);
    place(tv_2, c.tree2, units);
    return 1;
}
