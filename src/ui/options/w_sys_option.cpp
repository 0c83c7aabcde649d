#include "ui/options/w_sys_option.h"

#include "core/auxiliary/AppResources.h"
#include "core/catalog/Navigation.h"
#include "core/data/dataviews.h"
#include "core/runtime/DataView.h"
#include "core/runtime/DataViewModel.h"
#include "core/runtime/NamedEvents.h"
#include "core/runtime/ProfileStrings.h"
#include "core/runtime/Transaction.h"
#include "core/session/ProfileDefaults.h"
#include "core/session/globals.h"
#include "ui/auxiliary/u_list_dw.h"
#include "ui/auxiliary/u_url_link.h"
#include "ui/auxiliary/w_help.h"
#include "ui/runtime/LayoutUnits.h"
#include "ui/runtime/MessageBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace {

QPointer<w_sys_option> g_open;

// Design position and size in layout units.
constexpr int kXUnits = 759;
constexpr int kYUnits = 448;
constexpr int kWidthUnits = 2921;
constexpr int kHeightUnits = 1804;

const QString kYes = QStringLiteral("Y");
const QString kNo = QStringLiteral("N");

QString section()
{
    return QString::fromLatin1(kiv::kProfileSection);
}

QString detailSetting(const char *key)
{
    return runtime::profileString(gs_docname, section(), QLatin1String(key), kNo);
}

// Profile writes are not checked: a file that cannot be written leaves the dialog working,
// and the keys then read back as their defaults.
void writeSetting(const char *key, const QString &value)
{
    runtime::setProfileString(gs_docname, section(), QLatin1String(key), value);
}

} // namespace

w_sys_option::w_sys_option(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("w_sys_option"));
    setModal(false);
    setWindowTitle(QStringLiteral("Kivtree@用户个性设置"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(9);
    setFont(arial);
    QPalette look = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        look.setColor(group, QPalette::Window, look.color(group, QPalette::Button));
    setPalette(look);
    setAutoFillBackground(true);

    createControls();
    connectHandlers();
    setTabOrders();

    const runtime::LayoutUnits units;
    setGeometry(units.toPixels(kXUnits, kYUnits, kWidthUnits, kHeightUnits));
    setFixedSize(size());

    // The open event: the lists load after the window has appeared.
    runtime::postEvent(this, QStringLiteral("ue_postopen"));
}

w_sys_option::~w_sys_option() = default;

w_sys_option *w_sys_option::openFor(QWidget *mainWindow)
{
    if (g_open) {
        g_open->showNormal();
        g_open->raise();
        g_open->activateWindow();
        return g_open;
    }
    auto *window = new w_sys_option(mainWindow);
    window->setAttribute(Qt::WA_DeleteOnClose);
    g_open = window;
    window->show();
    return window;
}

w_sys_option *w_sys_option::openInstance()
{
    return g_open;
}

void w_sys_option::createControls()
{
    const runtime::LayoutUnits units;
    auto place = [&](QWidget *widget, const char *name, int x, int y, int w, int h) {
        widget->setObjectName(QLatin1String(name));
        units.place(widget, x, y, w, h);
    };
    auto button = [&](const QString &text, const char *name, int x, int y, int w = 306, int h = 92) {
        auto *b = new QPushButton(text, this);
        place(b, name, x, y, w, h);
        // No button is the window's default: Enter in a check box or a list must not press
        // the first button after it (全选 would set every chapter). An auto-default button
        // would stay the default once the focus has left it, so Enter on a focused button is
        // handled by keyPressEvent instead.
        b->setAutoDefault(false);
        return b;
    };
    auto list = [&](const runtime::DataViewDefinition &definition, const char *name, int x, int y,
                    const QString &caption) {
        auto *l = new u_list_dw(this);
        place(l, name, x, y, 1234, 860);
        l->setDataObject(definition);
        l->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        l->dataModel()->setCheckBox(QStringLiteral("flag"), kYes, kNo);
        l->setColumnCursor(QStringLiteral("flag"), kiv::handCursor());
        l->setAccessibleName(caption);
        return l;
    };

    // Group boxes first: they lie beneath the controls they frame and never take their clicks.
    gb_1 = new QGroupBox(QStringLiteral("海关商品树@设置："), this);
    place(gb_1, "gb_1", 59, 44, 1385, 1408);
    gb_4 = new QGroupBox(this);
    place(gb_4, "gb_4", 251, 1248, 1015, 144);
    gb_2 = new QGroupBox(QStringLiteral("外经委商品树@设置："), this);
    place(gb_2, "gb_2", 1477, 44, 1385, 1412);
    gb_3 = new QGroupBox(this);
    place(gb_3, "gb_3", 1755, 1248, 1015, 144);
    for (QGroupBox *box : {gb_1, gb_4, gb_2, gb_3})
        box->setFocusPolicy(Qt::NoFocus);

    st_1 = new QLabel(QStringLiteral("运行时默认显示的海关商品大类设置："), this);
    place(st_1, "st_1", 137, 160, 1220, 64);
    st_1->setEnabled(false);
    dw_1 = list(d_option_hgats(), "dw_1", 133, 244, QStringLiteral("海关商品大类"));
    st_1->setBuddy(dw_1);
    cbx_1 = new QCheckBox(QStringLiteral("同时显示商品详细"), this);
    place(cbx_1, "cbx_1", 137, 1132, 600, 76);
    cb_4 = button(QStringLiteral("全选"), "cb_4", 759, 1116, 297, 84);
    cb_5 = button(QStringLiteral("全不选 "), "cb_5", 1061, 1116, 297, 84);
    rb_1 = new QRadioButton(QStringLiteral("右击弹出明细"), this);
    place(rb_1, "rb_1", 293, 1300, 470, 76);
    rb_2 = new QRadioButton(QStringLiteral("双击弹出明细"), this);
    place(rb_2, "rb_2", 786, 1300, 470, 76);

    st_3 = new QLabel(QStringLiteral("运行时默认显示的外经委商品大类设置："), this);
    place(st_3, "st_3", 1568, 160, 1220, 64);
    st_3->setEnabled(false);
    dw_2 = list(d_option_wmats(), "dw_2", 1559, 244, QStringLiteral("外经委商品大类"));
    st_3->setBuddy(dw_2);
    cbx_2 = new QCheckBox(QStringLiteral("同时显示名细"), this);
    place(cbx_2, "cbx_2", 1550, 1132, 600, 76);
    cb_6 = button(QStringLiteral("全选"), "cb_6", 2185, 1120, 297, 84);
    cb_7 = button(QStringLiteral("全不选 "), "cb_7", 2487, 1120, 297, 84);
    rb_3 = new QRadioButton(QStringLiteral("右击弹出明细"), this);
    place(rb_3, "rb_3", 1783, 1300, 470, 76);
    rb_4 = new QRadioButton(QStringLiteral("双击弹出明细"), this);
    place(rb_4, "rb_4", 2267, 1300, 470, 76);

    // All four radio buttons are siblings: each side's pair is its own exclusive group, and
    // a side starts with neither checked when its detail panel is off.
    hgGroup = new QButtonGroup(this);
    hgGroup->addButton(rb_1);
    hgGroup->addButton(rb_2);
    jmwGroup = new QButtonGroup(this);
    jmwGroup->addButton(rb_3);
    jmwGroup->addButton(rb_4);

    // The etched separator: a grey line over a light one.
    auto line = [&](const char *name, int y, const QColor &colour) {
        auto *l = new QFrame(this);
        place(l, name, 5, y, 3081, 4);
        l->setFixedHeight(std::max(1, units.unitsToPixelsY(4)));
        QPalette p = l->palette();
        p.setColor(QPalette::Window, colour);
        l->setPalette(p);
        l->setAutoFillBackground(true);
        l->setFocusPolicy(Qt::NoFocus);
        return l;
    };
    ln_1 = line("ln_1", 1476, QColor(128, 128, 128));
    ln_2 = line("ln_2", 1488, QColor(255, 251, 240));

    st_5 = new u_url_link(this);
    place(st_5, "st_5", 69, 1508, 640, 72);
    st_5->setText(QStringLiteral("Velquor（Velquor）软件工作室"));

    cb_2 = button(QStringLiteral("确定(&Y)"), "cb_2", 1591, 1520);
    cb_1 = button(QStringLiteral("取消(&C)"), "cb_1", 1897, 1520);
    cb_3 = button(QStringLiteral("应用(&A)"), "cb_3", 2208, 1520);
    cb_8 = button(QStringLiteral("帮助(&H)"), "cb_8", 2528, 1520);

    for (QWidget *widget : std::initializer_list<QWidget *>{gb_1, gb_2, gb_3, gb_4, st_1, st_3, cbx_1, cbx_2,
                                                            rb_1, rb_2, rb_3, rb_4})
        widget->setBackgroundRole(QPalette::Button);
}

void w_sys_option::setTabOrders()
{
    QWidget *chain[] = {dw_1, cbx_1, cb_4, cb_5, rb_1, rb_2, dw_2, cbx_2, cb_6, cb_7, rb_3, rb_4,
                        cb_2, cb_1, cb_3, cb_8};
    for (size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void w_sys_option::connectHandlers()
{
    // Only the enabled state follows the check box; which radio button is checked stays. It
    // follows every change of the check box, be it a click, the space bar or a screen reader's
    // toggle action; the radio buttons themselves are read when the settings are saved.
    connect(cbx_1, &QCheckBox::toggled, this, [this](bool detail) {
        rb_1->setEnabled(detail);
        rb_2->setEnabled(detail);
    });
    connect(cbx_2, &QCheckBox::toggled, this, [this](bool detail) {
        rb_3->setEnabled(detail);
        rb_4->setEnabled(detail);
    });
    connect(cb_4, &QPushButton::clicked, this, [this] { setAllFlags(dw_1, kYes); });
    connect(cb_5, &QPushButton::clicked, this, [this] { setAllFlags(dw_1, kNo); });
    connect(cb_6, &QPushButton::clicked, this, [this] { setAllFlags(dw_2, kYes); });
    connect(cb_7, &QPushButton::clicked, this, [this] { setAllFlags(dw_2, kNo); });

    connect(cb_3, &QPushButton::clicked, this, [this] {
        if (wf_updateset() == -1)
            warnSaveFailed();
    });
    connect(cb_2, &QPushButton::clicked, this, [this] {
        if (wf_updateset() == -1)
            warnSaveFailed();
        else
            close();
    });
    connect(cb_1, &QPushButton::clicked, this, &QWidget::close);
    connect(cb_8, &QPushButton::clicked, this, [this] { w_help::openWithParm(QStringLiteral("4"), this); });
    connect(st_5, &u_url_link::clicked, this, [this] { st_5->uf_url_link(QString::fromLatin1(kiv::kWebAddress)); });
}

void w_sys_option::ue_postopen()
{
    const QString hgDetail = detailSetting("HGDETAIL");
    const QString wjDetail = detailSetting("WJDETAIL");
    if (hgDetail == kYes) {
        cbx_1->setChecked(true);
        (gs_hgtype == u"R" ? rb_1 : rb_2)->setChecked(true);
    }
    if (wjDetail == kYes) {
        cbx_2->setChecked(true);
        (gs_jmwtype == u"R" ? rb_3 : rb_4)->setChecked(true);
    }
    dw_1->dataView()->setTransObject(sqlca);
    dw_1->dataView()->retrieve();
    dw_2->dataView()->setTransObject(sqlca);
    dw_2->dataView()->retrieve();
}

void w_sys_option::keyPressEvent(QKeyEvent *event)
{
    // Enter on a focused button presses it. Enter reaches the window only when the control
    // with the focus leaves it alone: a check box does, the chapter lists take it themselves.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    auto *button = qobject_cast<QPushButton *>(focusWidget());
    if (enter && modifiers == Qt::NoModifier && button && button->window() == this) {
        if (button->isEnabled())
            button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void w_sys_option::setAllFlags(u_list_dw *list, const QString &value)
{
    runtime::DataView *view = list->dataView();
    const long rows = view->rowCount();
    for (long row = 1; row <= rows; ++row)
        view->setItem(row, QStringLiteral("flag"), value);
}

int w_sys_option::wf_updateset()
{
    const QString hgDetail = cbx_1->isChecked() ? kYes : kNo;
    const QString wjDetail = cbx_2->isChecked() ? kYes : kNo;
    gs_hgtype = rb_1->isChecked() ? QStringLiteral("R") : QStringLiteral("D");
    gs_jmwtype = rb_3->isChecked() ? QStringLiteral("R") : QStringLiteral("D");
    writeSetting("HGDETAIL", hgDetail);
    writeSetting("WJDETAIL", wjDetail);
    writeSetting("hgtype", gs_hgtype);
    writeSetting("jmwtype", gs_jmwtype);

    // Both lists are one unit of work: written with their change flags kept, so that after a
    // failure and the rollback a retry sends every change again.
    runtime::DataView *customs = dw_1->dataView();
    runtime::DataView *foreign = dw_2->dataView();
    const int customsSaved = customs->update(false);
    const int foreignSaved = foreign->update(false);
    runtime::Transaction *transaction = customs->transObject();
    if (customsSaved == 1 && foreignSaved == 1 && transaction && transaction->commit() == 0) {
        customs->resetUpdate();
        foreign->resetUpdate();
        if (catalog::Navigation *main = catalog::Navigation::main())
            main->reload();
        return 1;
    }
    if (transaction && transaction->isConnected())
        transaction->rollback();
    return -1;
}

void w_sys_option::warnSaveFailed()
{
    runtime::messageBox(QStringLiteral("Warning :"), QStringLiteral("Hello User,The Operate is  invalidation!!"),
                        runtime::MessageIcon::Information, runtime::MessageButtons::Ok, 1, this);
}
