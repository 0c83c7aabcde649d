#include "ui/menu/m_main.h"

#include "core/runtime/NamedEvents.h"
#include "core/runtime/StockPictures.h"
#include "core/session/globals.h"
#include "ui/auxiliary/w_about.h"
#include "ui/find/w_findats.h"
#include "ui/options/w_sys_option.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace {
// Pixels of toolbar gap per unit of an item's toolbar space.
constexpr int kSpacePixels = 4;

const char kOrderProperty[] = "toolbaritemorder";
const char kSpaceProperty[] = "toolbaritemspace";
} // namespace

m_main::m_main(QMainWindow *window)
    : QObject(window)
    , m_window(window)
{
    setObjectName(QStringLiteral("m_main"));
    QMenuBar *bar = window->menuBar();

    m_wj = bar->addMenu(QStringLiteral("文件[&F]"));
    m_wj->setObjectName(QStringLiteral("m_wj"));
    m_wj->menuAction()->setObjectName(QStringLiteral("m_wj"));
    m_wj->menuAction()->setStatusTip(QStringLiteral("文件"));
    m_option = addItem(m_wj, {"m_option", "系统设置[&O]\tF2", "系统设置", "系统设置", "Structure5!", "系统设置", 1, 3,
                              Qt::Key_F2});
    m_11 = addItem(m_wj, {"m_11", "-", "", "", "", "", 0, 0, 0});
    m_gen = addItem(m_wj, {"m_gen", "重新生成[&G]\tF4", "重新生成", "重新生成", "Regenerate5!", "重新生成", 2, 3,
                           Qt::Key_F4});
    m_output = addItem(m_wj, {"m_output", "快速查找[&F]\tF3", "快速查找", "快速查找", "Run!", "快速查找", 3, 0,
                              Qt::Key_F3});
    m_refresh = addItem(m_wj, {"m_refresh", "刷 新 树[&R]\tF5", "刷  新  树", "刷  新  树", "Continue!",
                               "刷  新  树", 4, 0, Qt::Key_F5});
    m_2 = addItem(m_wj, {"m_2", "-", "", "", "", "", 0, 0, 0});
    m_exit = addItem(m_wj, {"m_exit", "退  出[&X]", "退出", "", "Exit!", "退出", 10, 3, 0});

    m_h = bar->addMenu(QStringLiteral("帮助[&H]"));
    m_h->setObjectName(QStringLiteral("m_h"));
    m_h->menuAction()->setObjectName(QStringLiteral("m_h"));
    m_3 = addItem(m_h, {"m_3", "-", "系统信息", "", "", "", 0, 0, 0});
    m_1 = addItem(m_h, {"m_1", "欢迎光临Velquor工作室\tF7", "欢迎光临Velquor工作室!", "欢迎光临Velquor工作室!",
                        "Custom020!", "欢迎光临", 6, 0, Qt::Key_F7});
    m_4 = addItem(m_h, {"m_4", "-", "", "", "", "", 0, 0, 0});
    m_about = addItem(m_h, {"m_about", "关于[&A]...\tF8", "关于", "", "Custom026!", "关    于", 7, 3, Qt::Key_F8});

    connect(m_option, &QAction::triggered, this, &m_main::m_option_clicked);
    connect(m_gen, &QAction::triggered, this, &m_main::m_gen_clicked);
    connect(m_output, &QAction::triggered, this, &m_main::m_output_clicked);
    connect(m_refresh, &QAction::triggered, this, &m_main::m_refresh_clicked);
    connect(m_exit, &QAction::triggered, this, &m_main::m_exit_clicked);
    connect(m_1, &QAction::triggered, this, &m_main::m_1_clicked);
    connect(m_about, &QAction::triggered, this, &m_main::m_about_clicked);

    buildToolbar();

    // A normal status bar widget gives way to the temporary micro-help message that QAction
    // status tips show while an item is hovered, and comes back when the pointer leaves it.
    microHelp = new QLabel(defaultMicroHelp(), window->statusBar());
    microHelp->setObjectName(QStringLiteral("microhelp"));
    window->statusBar()->addWidget(microHelp, 1);
}

m_main *m_main::install(QMainWindow *window)
{
    return new m_main(window);
}

namespace {
QString &microHelpDefault()
{
    static QString text = QStringLiteral("我们服务于您的信息化建设!");
    return text;
}
} // namespace

QString m_main::defaultMicroHelp()
{
    return microHelpDefault();
}

void m_main::setDefaultMicroHelp(const QString &text)
{
    if (!text.isEmpty())
        microHelpDefault() = text;
}

QAction *m_main::addItem(QMenu *menu, const Item &item)
{
    const QString text = QString::fromUtf8(item.text);
    QAction *action = text == QLatin1String("-") ? menu->addSeparator() : menu->addAction(text);
    action->setObjectName(QString::fromLatin1(item.name));
    action->setStatusTip(QString::fromUtf8(item.microhelp));
    action->setProperty("tag", QString::fromUtf8(item.tag));
    if (*item.toolbarItemName) {
        action->setIcon(runtime::StockPictures::icon(QString::fromLatin1(item.toolbarItemName)));
        action->setIconText(QString::fromUtf8(item.toolbarItemText));
        action->setProperty(kOrderProperty, item.toolbarItemOrder);
        action->setProperty(kSpaceProperty, item.toolbarItemSpace);
    }
    if (item.shortcut != 0) {
        action->setShortcut(QKeySequence(item.shortcut));
        // The keys work whenever the main window is active, menu open or not.
        action->setShortcutContext(Qt::WindowShortcut);
    }
    // The menus are children of the menu bar, which the window owns; the window must also own
    // the actions' shortcuts, so they are added to it as well.
    m_window->addAction(action);
    return action;
}

void m_main::buildToolbar()
{
    toolbar = new QToolBar(QStringLiteral("m_main"), m_window);
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setFloatable(false);
    m_window->addToolBar(Qt::TopToolBarArea, toolbar);

    std::vector<QAction *> items;
    for (QAction *a : {m_option, m_gen, m_output, m_refresh, m_exit, m_1, m_about})
        items.push_back(a);
    std::stable_sort(items.begin(), items.end(), [](const QAction *a, const QAction *b) {
        return a->property(kOrderProperty).toInt() < b->property(kOrderProperty).toInt();
    });
    for (QAction *action : items) {
        const int space = action->property(kSpaceProperty).toInt();
        if (space > 0) {
            auto *gap = new QWidget(toolbar);
            gap->setFixedWidth(space * kSpacePixels);
            gap->setFocusPolicy(Qt::NoFocus);
            QAction *gapAction = toolbar->addWidget(gap);
            gapAction->setObjectName(QStringLiteral("space_") + action->objectName());
        }
        toolbar->addAction(action);
    }
}

void m_main::m_option_clicked()
{
    w_sys_option::openFor(m_window);
}

void m_main::m_gen_clicked()
{
    runtime::postEvent(m_window, QStringLiteral("Ue_postopen"));
}

void m_main::m_output_clicked()
{
    w_findats::openFor(m_window);
}

void m_main::m_refresh_clicked()
{
    runtime::postEvent(m_window, QStringLiteral("ue_refresh"));
}

void m_main::m_exit_clicked()
{
    // close() runs the window's close query, which asks the closing question.
    m_window->close();
}

void m_main::m_1_clicked()
{
    // A failure to open the address (no browser) is not reported.
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kiv::kWebAddress)));
}

void m_main::m_about_clicked()
{
    w_about::openModal(m_window);
}
