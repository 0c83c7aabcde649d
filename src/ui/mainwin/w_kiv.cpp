#include "ui/mainwin/w_kiv.h"

#include "core/catalog/Catalog.h"
#include "core/catalog/CommodityTreeBuilder.h"
#include "core/catalog/ItemRows.h"
#include "core/catalog/TreeCodes.h"
#include "core/runtime/DataView.h"
#include "core/runtime/FindExpression.h"
#include "core/runtime/NamedEvents.h"
#include "core/runtime/ProfileStrings.h"
#include "core/runtime/WarmHeap.h"
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

namespace {
QPointer<w_kiv> g_open;

const QStringList kTreePictures = {QStringLiteral("Environment!"), QStringLiteral("DeclareProcedure!"),
                                   QStringLiteral("Database!"),    QStringLiteral("UserObject!"),
                                   QStringLiteral("UserObject5!"), QStringLiteral("Custom026!")};

QString profileKey(const char *key)
{
    return runtime::profileString(gs_docname, QLatin1String(kiv::kProfileSection), QLatin1String(key),
                                  QStringLiteral("N"));
}
} // namespace

w_kiv::w_kiv(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("w_kiv"));
    setWindowTitle(QStringLiteral("Kivtree V2.2"));
    createControls();
    g_open = this;
}

w_kiv::~w_kiv()
{
    disconnect(m_focusFollower);
}

std::function<void(w_kiv *)> &w_kiv::featureInstaller()
{
    static std::function<void(w_kiv *)> installer;
    return installer;
}

void w_kiv::setFeatureInstaller(std::function<void(w_kiv *)> installer)
{
    featureInstaller() = std::move(installer);
}

w_kiv *w_kiv::instance()
{
    return g_open;
}

void w_kiv::createControls()
{
    // Before the menu bar exists: a screen reader reaches the search field in its corner.
    runtime::MenuBarAccessible::installFactory();
    m_navigation = new MainNavigation(this);
    auto *mdi_1 = new QWidget(this);
    mdi_1->setObjectName(QStringLiteral("mdi_1"));
    setCentralWidget(mdi_1);
    statusBar();

    // The rows and trees are the catalog's; the window shows them.
    m_catalog = new catalog::Catalog(this);
    dw_1 = m_catalog->customsRows();
    dw_2 = m_catalog->tradeRows();

    tv_1 = new u_tv(mdi_1);
    tv_1->setObjectName(QStringLiteral("tv_1"));
    tv_1->setAccessibleName(QStringLiteral("海关商品树"));
    tv_1->setTreeModel(m_catalog->customsTree());
    st_2 = new u_url_link(mdi_1);
    st_2->setObjectName(QStringLiteral("st_2"));
    st_2->setText(QStringLiteral("欢迎进入Velquor工作室"));
    QFont linkFont(QStringLiteral("方正舒体"));
    linkFont.setBold(true);
    st_2->setFont(linkFont);
    st_2->setStyleSheet(QStringLiteral("color: rgb(0, 128, 128);"));
    HoverUnderline::attach(st_2);
    connect(st_2, &u_url_link::clicked, this,
            [this] { st_2->uf_url_link(QString::fromLatin1(kiv::kWebAddress)); });
    st_time = new QLabel(mdi_1);
    st_time->setObjectName(QStringLiteral("st_time"));
    st_time->setAccessibleName(QStringLiteral("时钟"));
    // The clock stands over the foreign-trade tree: an opaque face keeps it readable over long labels.
    st_time->setAutoFillBackground(true);
    st_vertical = new SplitterBar(mdi_1);
    connect(st_vertical, &SplitterBar::released, this, &w_kiv::wf_resizebars);
    tv_2 = new u_tv(mdi_1);
    tv_2->setObjectName(QStringLiteral("tv_2"));
    tv_2->setAccessibleName(QStringLiteral("外经贸局商品树"));
    tv_2->setTreeModel(m_catalog->tradeTree());
    st_1 = new QLabel(QStringLiteral("Strat Loading ..... Please Waiting .....@ Welcome to VelquorWorkroom!"), mdi_1);
    st_1->setObjectName(QStringLiteral("st_1"));
    st_1->setAlignment(Qt::AlignCenter);
    ln_1 = makeSeparatorLine(mdi_1, "ln_1", QColor(128, 128, 128));
    ln_2 = makeSeparatorLine(mdi_1, "ln_2", QColor(255, 251, 240));

    dwPanel_1 = new DetailPanel(QStringLiteral("海关商品详细"), dw_1, this);
    dwPanel_1->setObjectName(QStringLiteral("dwPanel_1"));
    dwPanel_2 = new DetailPanel(QStringLiteral("外经贸商品详细"), dw_2, this);
    dwPanel_2->setObjectName(QStringLiteral("dwPanel_2"));

    for (u_tv *tree : {tv_1, tv_2}) {
        TreeCodeTyping::install(tree);
        tree->deletePictures();
        for (const QString &picture : kTreePictures)
            tree->addPicture(picture);
    }
    connect(tv_1, &runtime::TreeView::selectionChanged, this,
            [this](long, long handle) { onTreeSelection(tv_1, dw_1, QStringLiteral("code"), handle); });
    connect(tv_2, &runtime::TreeView::selectionChanged, this,
            [this](long, long handle) { onTreeSelection(tv_2, dw_2, QStringLiteral("jmw_code"), handle); });
    connect(tv_1, &runtime::TreeView::doubleClicked, this,
            [this](long) { onTreeClick(dw_1, gs_hgtype, QStringLiteral("D")); });
    connect(tv_1, &runtime::TreeView::rightClicked, this,
            [this](long) { onTreeClick(dw_1, gs_hgtype, QStringLiteral("R")); });
    connect(tv_2, &runtime::TreeView::doubleClicked, this,
            [this](long) { onTreeClick(dw_2, gs_jmwtype, QStringLiteral("D")); });
    connect(tv_2, &runtime::TreeView::rightClicked, this,
            [this](long) { onTreeClick(dw_2, gs_jmwtype, QStringLiteral("R")); });

    m_followedTree = tv_1;
    m_focusFollower = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        u_tv *tree = now == tv_1 ? tv_1 : now == tv_2 ? tv_2 : nullptr;
        if (tree && tree != m_followedTree) {
            m_followedTree = tree;
            emit selectionFollowed();
        }
    });

    m_tray = new TrayIcon(this);
    connect(m_tray, &TrayIcon::ue_traydoubleclicked, this, &w_kiv::ue_traydoubleclicked);
    connect(m_tray, &TrayIcon::ue_trayrightclicked, this, &w_kiv::ue_trayrightclicked);

    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &w_kiv::timer);

    const runtime::LayoutUnits units;
    resize(units.toPixels(MainLayout::kWindow.size()));
    move(units.toPixels(MainLayout::kWindow.topLeft()));
    if (featureInstaller())
        featureInstaller()(this);
    MainWindowKeys::install(this);
}

void w_kiv::open()
{
    runtime::postEvent(this, QStringLiteral("ue_postopen"));
    m_clock->start();
    timer();
    if (auto *toolbar = findChild<QToolBar *>()) {
        toolbar->setWindowTitle(QStringLiteral("Welcome Velquor Workroom!"));
        toolbar->show();
    }
    showMaximized();
    // Added once the window stands, so a "Systray error" box appears over it.
    m_tray->add();
}

void w_kiv::fail(const QString &text)
{
    runtime::beep();
    runtime::messageBox(QStringLiteral("系统提醒您:"), text, runtime::MessageIcon::StopSign);
    m_closeConfirmed = true;
    close();
    QCoreApplication::exit(1);
}

void w_kiv::ue_postopen()
{
    showPanel(dw_1, false);
    showPanel(dw_2, false);
    setLoadingText(QStringLiteral("正在@读取商品信息,请稍候...."));
    // Reading and building both trees fills the heap in small blocks by the hundred thousand.
    const runtime::WarmHeap warm(runtime::WarmHeap::forRows(catalog::Catalog::rowsToRead(sqlca)));
    if (wf_create_datastore() == -1)
        return fail(QStringLiteral("创建商品数据存储失败,系统将退出!"));
    setLoadingText(QStringLiteral("正在@创建商品数据存储成功!继续...."));
    if (wf_create_kiv(dw_1, tv_1, dw_1) == -1)
        return fail(QStringLiteral("创建海关商品树失败,系统将退出!"));
    setLoadingText(QStringLiteral("正在@创建创建海关商品树成功!继续...."));
    if (wf_create_kiv(dw_2, tv_2, dw_2) == -1)
        return fail(QStringLiteral("创建外经委商品树失败,系统将退出!"));
    setLoadingText(QStringLiteral("正在@外经委商品树成功!继续...."));
    const QString hgDetail = profileKey("HGDETAIL");
    const QString wjDetail = profileKey("WJDETAIL");
    gs_hgtype = profileKey("hgtype");
    gs_jmwtype = profileKey("jmwtype");
    setLoadingText(QStringLiteral("正在@数据读取完成!欢迎使用本软件!"));
    if (hgDetail == QLatin1String("Y"))
        showPanel(dw_1, true);
    if (wjDetail == QLatin1String("Y"))
        showPanel(dw_2, true);
    m_catalog->announceRebuilt();
    emit treesBuilt();
    emit selectionFollowed();
}

void w_kiv::ue_refresh()
{
    if (wf_create_kiv(dw_1, tv_1, dw_1) == -1)
        return fail(QStringLiteral("创建海关商品树失败,系统将退出!"));
    if (wf_create_kiv(dw_2, tv_2, dw_2) == -1)
        return fail(QStringLiteral("创建外经委商品树失败,系统将退出!"));
    // A panel is never hidden here: the user hides it by its own close box.
    if (profileKey("HGDETAIL") == QLatin1String("Y"))
        showPanel(dw_1, true);
    if (profileKey("WJDETAIL") == QLatin1String("Y"))
        showPanel(dw_2, true);
    m_catalog->announceRebuilt();
    emit treesBuilt();
    emit selectionFollowed();
}

int w_kiv::wf_create_datastore()
{
    return m_catalog->retrieve(sqlca);
}

int w_kiv::wf_create_kiv(runtime::DataView *adt_data, u_tv *atv_object, runtime::DataView *adw_object)
{
    if (!adt_data || !atv_object)
        return -1;
    atv_object->setRedraw(false);
    st_1->setVisible(true);
    st_1->repaint(); // the build blocks the event loop: the label shows its step now
    const QString list = m_catalog->listOf(adt_data);
    const long root = !list.isEmpty() && atv_object->treeModel() == m_catalog->tree(list)
        ? m_catalog->build(list)
        : CommodityTreeBuilder::build(*adt_data, *atv_object->treeModel(),
                                      adt_data == dw_1 ? CommodityTreeBuilder::customs()
                                                       : CommodityTreeBuilder::foreignTrade());
    if (adw_object && adw_object != adt_data)
        adw_object->shareData(adt_data);
    setLoadingText(QStringLiteral("Okey! Data Have Success Read From Database!"));
    st_1->setVisible(false);
    if (root > 0)
        atv_object->expandItem(root);
    atv_object->setRedraw(true);
    return root > 0 ? 1 : -1;
}

void w_kiv::onTreeSelection(u_tv *tree, runtime::DataView *view, const QString &codeColumn, long newHandle)
{
    runtime::TreeItem item;
    if (tree->getItem(newHandle, item) != 1 || item.data.typeId() != QMetaType::QString)
        return;
    const long row = ItemRows::rowOf(*tree->treeModel(), *view, newHandle, codeColumn, item.data.toString());
    if (row > 0)
        view->scrollToRow(row);
    if (tree == m_followedTree)
        emit selectionFollowed();
}

w_kiv::Selection w_kiv::selection() const
{
    Selection s;
    const bool customs = m_followedTree != tv_2;
    s.list = customs ? QStringLiteral("hs") : QStringLiteral("jmw");
    s.tree = customs ? tv_1 : tv_2;
    s.rows = customs ? dw_1 : dw_2;
    s.codeColumn = customs ? QStringLiteral("code") : QStringLiteral("jmw_code");
    const long current = s.tree->findItem(runtime::TreeNavigation::Current, 0);
    s.handle = current > 0 ? current : 0;
    return s;
}

bool w_kiv::goToCode(const QString &list, const QString &code)
{
    u_tv *tree = list == QLatin1String("jmw") ? tv_2 : tv_1;
    const long handle = TreeCodes::find(*tree->treeModel(), code);
    if (handle <= 0)
        return false;
    QList<long> above;
    for (long up = tree->findItem(runtime::TreeNavigation::Parent, handle); up > 0;
         up = tree->findItem(runtime::TreeNavigation::Parent, up))
        above.prepend(up);
    for (long up : above)
        tree->expandItem(up);
    tree->setFocus(Qt::OtherFocusReason);
    return tree->selectItem(handle) == 1;
}

void w_kiv::onTreeClick(runtime::DataView *view, const QString &mode, const QString &wanted)
{
    if (mode == wanted && !isPanelVisible(view))
        showPanel(view, true);
}

void w_kiv::showPanel(runtime::DataView *view, bool show)
{
    DetailPanel *panel = view == dw_1 ? dwPanel_1 : view == dw_2 ? dwPanel_2 : nullptr;
    if (!panel)
        return;
    if (show && !panel->isVisible()) {
        const runtime::LayoutUnits units;
        const QRect design = view == dw_1 ? MainLayout::kPanel1 : MainLayout::kPanel2;
        if (!panel->property("placed").toBool()) {
            // Design positions count from the client area, below the menu bar and the toolbar.
            panel->move(centralWidget()->mapToGlobal(units.toPixels(design.topLeft())));
            panel->setProperty("placed", true);
        }
    }
    panel->setVisible(show);
}

bool w_kiv::isPanelVisible(runtime::DataView *view) const
{
    const DetailPanel *panel = view == dw_1 ? dwPanel_1 : view == dw_2 ? dwPanel_2 : nullptr;
    return panel && panel->isVisible();
}

void w_kiv::timer()
{
    st_time->setText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

bool w_kiv::closequery()
{
    runtime::beep();
    return runtime::messageBox(QStringLiteral("提 示 信 息"), QStringLiteral("是否真的退出 [Kivtree] 吗?"),
                               runtime::MessageIcon::Exclamation, runtime::MessageButtons::YesNo, 2)
        == 1;
}

void w_kiv::addLeaveCheck(QObject *owner, std::function<bool()> check)
{
    m_leaveChecks.append({owner, std::move(check)});
}

void w_kiv::returnToTree()
{
    raise();
    activateWindow();
    if (u_tv *tree = selection().tree)
        tree->setFocus(Qt::OtherFocusReason);
}

void w_kiv::closeEvent(QCloseEvent *event)
{
    if (!m_closeConfirmed) {
        // The close box hides the window to the tray. Without a tray icon nobody could
        // reach a hidden window, so the close box then asks like the menu's exit.
        if (event->spontaneous() && m_tray->isShown()) {
            hide();
            event->ignore();
            return;
        }
        for (const auto &[owner, check] : std::as_const(m_leaveChecks)) {
            if (owner && !check()) {
                event->ignore();
                return;
            }
        }
        if (!closequery()) {
            event->ignore();
            return;
        }
        m_closeConfirmed = true;
        slideOut();
    }
    dwPanel_1->hide();
    dwPanel_2->hide();
    QMainWindow::closeEvent(event);
}

void w_kiv::slideOut()
{
    if (!isVisible() || isMinimized())
        return;
    // Down and to the left in 0.3 s; the close waits for it, as the blocking animation did.
    auto *animation = new QPropertyAnimation(this, "pos", this);
    animation->setDuration(300);
    animation->setStartValue(pos());
    animation->setEndValue(pos() + QPoint(-width(), height()));
    QEventLoop loop;
    connect(animation, &QPropertyAnimation::finished, &loop, &QEventLoop::quit);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void w_kiv::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Minimizing sends the window to the tray, when there is one to bring it back.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_tray->isShown())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
}

void w_kiv::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    // The panels stand in front of the window as windows of their own: they go with it.
    for (DetailPanel *panel : {dwPanel_1, dwPanel_2}) {
        if (panel->isVisible()) {
            m_panelsAway.append(panel);
            panel->hide();
        }
    }
}

void w_kiv::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Hidden windows keep their place, so each panel comes back where the user left it.
    const QList<QPointer<DetailPanel>> away = std::exchange(m_panelsAway, {});
    if (m_closeConfirmed)
        return;
    for (const QPointer<DetailPanel> &panel : away) {
        if (panel)
            panel->show();
    }
}

void w_kiv::ue_traydoubleclicked()
{
    showMaximized();
    raise();
    activateWindow();
    setFocus();
}

void w_kiv::ue_trayrightclicked()
{
    ue_traydoubleclicked();
}

// ---- layout
