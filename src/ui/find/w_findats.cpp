#include "ui/find/w_findats.h"

#include "core/find/ListPrefixIndex.h"
#include "ui/auxiliary/f_adjust_winpos.h"
#include "ui/auxiliary/w_help.h"
#include "ui/find/FieldWidthValidator.h"
#include "ui/runtime/LayoutUnits.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include <initializer_list>
#include <iterator>

const QString w_findats::kCustomsPrefix = QStringLiteral("海关商品  @");
const QString w_findats::kForeignPrefix = QStringLiteral("外经委商品@");

namespace {

QPointer<w_findats> g_open;

// The window's size in layout units, frame and title bar included.
const QSize kWindowUnits(2039, 1372);
// The frame of a fixed dialog at 96 dpi: 3-pixel borders and a 19-pixel title bar. Qt sizes
// the client area, so the frame is taken off the window's size.
const QSize kFramePixels96(2 * 3, 19 + 2 * 3);

// The group boxes, in layout units of the window; the controls they frame are their children.
const QRect kBox1(59, 28, 1559, 188);
const QRect kBox2(59, 228, 1559, 188);
const QRect kBox3(59, 424, 1559, 380);

// Places a control given in window units; inside a group box the box's corner is taken off.
void place(QWidget *widget, const QRect &box, int x, int y, int w, int h)
{
    const runtime::LayoutUnits units;
    units.place(widget, x - box.x(), y - box.y(), w, h);
}

void place(QWidget *widget, int x, int y, int w, int h)
{
    place(widget, QRect(), x, y, w, h);
}

// Controls with tab number 0: the Tab key passes them by; a click still focuses them.
void skipByTab(QWidget *widget)
{
    widget->setFocusPolicy(Qt::ClickFocus);
}

// "Text left": the button's circle stands right of its text.
void textLeft(QRadioButton *radio)
{
    radio->setLayoutDirection(Qt::RightToLeft);
}

// A choice whose text is wider than its designed width grows to the right instead of cutting
// the text: the faces that stand in for the original font draw Chinese a little wider.
void fitText(QAbstractButton *button)
{
    const int needed = button->sizeHint().width();
    if (needed > button->width())
        button->resize(needed, button->height());
}

QLineEdit *entryField(QWidget *parent, const QString &accessibleName)
{
    auto *field = new QLineEdit(parent);
    field->setAccessibleName(accessibleName);
    new FieldWidthValidator(field);
    return field;
}

} // namespace

w_findats::w_findats(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("w_findats"));
    setModal(false);
    setWindowTitle(QStringLiteral("快速查找"));

    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    setFont(font);
    QPalette look = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        look.setColor(group, QPalette::Window, QColor(212, 208, 200));
    setPalette(look);
    setAutoFillBackground(true);

    createControls();
    setTabOrders();
    connectHandlers();

    const runtime::LayoutUnits units;
    const QSize frame(qRound(kFramePixels96.width() * units.dpiX() / 96.0),
                      qRound(kFramePixels96.height() * units.dpiY() / 96.0));
    setFixedSize(units.toPixels(kWindowUnits) - frame);

    // The open event: the dialog places itself, then the name field takes the input.
    f_adjust_winpos(this);
    sle_2->setFocus();
}

w_findats::~w_findats() = default;

w_findats *w_findats::openFor(QWidget *mainWindow)
{
    if (!g_open) {
        g_open = new w_findats(mainWindow);
        g_open->setAttribute(Qt::WA_DeleteOnClose);
    }
    g_open->show();
    if (g_open->isMinimized())
        g_open->showNormal();
    g_open->raise();
    g_open->activateWindow();
    return g_open;
}

w_findats *w_findats::openInstance()
{
    return g_open;
}

void w_findats::createControls()
{
    gb_1 = new QGroupBox(QStringLiteral("设置查询树"), this);
    place(gb_1, kBox1.x(), kBox1.y(), kBox1.width(), kBox1.height());
    gb_2 = new QGroupBox(QStringLiteral("设置查询方式"), this);
    place(gb_2, kBox2.x(), kBox2.y(), kBox2.width(), kBox2.height());
    gb_3 = new QGroupBox(QStringLiteral("录入查询条件"), this);
    place(gb_3, kBox3.x(), kBox3.y(), kBox3.width(), kBox3.height());

    rb_1 = new QRadioButton(QStringLiteral("查找海关商品树"), gb_1);
    place(rb_1, kBox1, 146, 104, 453, 76);
    rb_1->setChecked(true);
    rb_2 = new QRadioButton(QStringLiteral("查找外经委商品树"), gb_1);
    place(rb_2, kBox1, 649, 104, 507, 76);
    rb_3 = new QRadioButton(QStringLiteral("同时查找 "), gb_1);
    place(rb_3, kBox1, 1207, 104, 302, 76);

    rb_4 = new QRadioButton(QStringLiteral("根据商品名称查找代码"), gb_2);
    place(rb_4, kBox2, 146, 304, 649, 76);
    rb_4->setChecked(true);
    rb_5 = new QRadioButton(QStringLiteral("根据商品代码查找名称"), gb_2);
    place(rb_5, kBox2, 855, 304, 654, 76);

    // The captions first, so that a field stands in front of a caption reaching under it.
    st_2 = new QLabel(QStringLiteral("商品名称："), gb_3);
    place(st_2, kBox3, 155, 508, 393, 76);
    st_1 = new QLabel(QStringLiteral("海关代码："), gb_3);
    place(st_1, kBox3, 155, 604, 283, 76);
    st_3 = new QLabel(QStringLiteral("外经代码："), gb_3);
    place(st_3, kBox3, 832, 604, 283, 76);
    sle_2 = entryField(gb_3, QStringLiteral("商品名称"));
    place(sle_2, kBox3, 416, 504, 1102, 76);
    sle_1 = entryField(gb_3, QStringLiteral("海关代码"));
    place(sle_1, kBox3, 416, 604, 384, 76);
    sle_1->setEnabled(false);
    sle_3 = entryField(gb_3, QStringLiteral("外经代码"));
    place(sle_3, kBox3, 1120, 604, 398, 76);
    sle_3->setEnabled(false);
    st_2->setBuddy(sle_2);
    st_1->setBuddy(sle_1);
    st_3->setBuddy(sle_3);
    rb_6 = new QRadioButton(QStringLiteral("精确查找"), gb_3);
    place(rb_6, kBox3, 146, 700, 297, 76);
    rb_6->setChecked(true);
    rb_7 = new QRadioButton(QStringLiteral("匹配查找"), gb_3);
    place(rb_7, kBox3, 645, 700, 311, 76);
    cbx_2 = new QCheckBox(QStringLiteral("查找所有"), gb_3);
    place(cbx_2, kBox3, 1120, 700, 398, 76);
    cbx_2->setChecked(true);

    st_4 = new QLabel(QStringLiteral("查询结果:"), this);
    place(st_4, 64, 812, 325, 60);
    lb_1 = new QListWidget(this);
    place(lb_1, 59, 880, 1559, 352);
    lb_1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lb_1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lb_1->setFrameShape(QFrame::StyledPanel);
    lb_1->setFrameShadow(QFrame::Sunken);
    lb_1->setAccessibleName(QStringLiteral("查询结果"));
    st_4->setBuddy(lb_1);
    m_entries = new ListPrefixIndex(lb_1->model(), this);

    cb_2 = new QPushButton(QStringLiteral("查找(&Y)"), this);
    place(cb_2, 1664, 56, 302, 92);
    cb_2->setDefault(true);
    cb_1 = new QPushButton(QStringLiteral("下一个(&N)"), this);
    place(cb_1, 1664, 268, 302, 92);
    cb_1->setEnabled(false);
    cb_4 = new QPushButton(QStringLiteral("上一个(&P)"), this);
    place(cb_4, 1664, 364, 302, 92);
    cb_4->setEnabled(false);
    cb_3 = new QPushButton(QStringLiteral("关闭(&C)"), this);
    place(cb_3, 1664, 460, 302, 92);
    cb_5 = new QPushButton(QStringLiteral("帮助(&H)"), this);
    place(cb_5, 1664, 612, 302, 92);

    cbx_1 = new QCheckBox(QStringLiteral("显示明细"), this);
    place(cbx_1, 1646, 872, 640, 76);
    cbx_1->setChecked(true);

    for (QRadioButton *radio : {rb_1, rb_2, rb_3, rb_4, rb_5})
        textLeft(radio);
    for (QAbstractButton *choice :
         std::initializer_list<QAbstractButton *>{rb_1, rb_2, rb_3, rb_4, rb_5, rb_6, rb_7, cbx_2, cbx_1})
        fitText(choice);
    for (QWidget *control : std::initializer_list<QWidget *>{rb_1, rb_2, rb_3, rb_4, rb_5, rb_6, rb_7, cbx_2, cbx_1})
        skipByTab(control);

    // Labels, check boxes, radio buttons and group boxes stand on the button-face colour.
    for (QWidget *control : std::initializer_list<QWidget *>{gb_1, gb_2, gb_3, rb_1, rb_2, rb_3, rb_4, rb_5, rb_6,
                                                             rb_7, st_1, st_2, st_3, st_4, cbx_1, cbx_2}) {
        control->setBackgroundRole(QPalette::Button);
        control->setAutoFillBackground(true);
    }

    // One choice per group box; buttons in a group ignore the exclusiveness of their parent.
    m_treeGroup = new QButtonGroup(this);
    for (QRadioButton *radio : {rb_1, rb_2, rb_3})
        m_treeGroup->addButton(radio);
    m_keyGroup = new QButtonGroup(this);
    for (QRadioButton *radio : {rb_4, rb_5})
        m_keyGroup->addButton(radio);
    m_matchGroup = new QButtonGroup(this);
    for (QRadioButton *radio : {rb_6, rb_7})
        m_matchGroup->addButton(radio);
}

void w_findats::setTabOrders()
{
    // The Tab key visits the controls by their tab numbers: 下一个 20, the name 30, 帮助 40,
    // the result list 50, the customs code 70, the foreign-trade code 80, 关闭 90, 上一个 100,
    // 查找 110 (the group boxes' numbers are moot: they take no focus).
    QWidget *chain[] = {cb_1, sle_2, cb_5, lb_1, sle_1, sle_3, cb_3, cb_4, cb_2};
    for (size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void w_findats::connectHandlers()
{
    // The choices follow the buttons' checked state, however it changes: a click, the keyboard,
    // a screen reader's toggle action or a program. Each choice acts when its button becomes
    // checked; the button of the same group that it unchecks has nothing to do.
    auto onChecked = [this](QRadioButton *radio, auto handler) {
        connect(radio, &QRadioButton::toggled, this, [handler](bool checked) {
            if (checked)
                handler();
        });
    };
    onChecked(rb_1, [this] {
        is_tree = QStringLiteral("H");
        if (!rb_4->isChecked()) {
            sle_3->setEnabled(false);
            sle_1->setEnabled(true);
        }
    });
    onChecked(rb_2, [this] {
        is_tree = QStringLiteral("J");
        if (!rb_4->isChecked()) {
            sle_1->setEnabled(false);
            sle_3->setEnabled(true);
        }
    });
    onChecked(rb_3, [this] {
        is_tree = QStringLiteral("A");
        if (!rb_4->isChecked()) {
            sle_1->setEnabled(true);
            sle_3->setEnabled(true);
        }
    });
    onChecked(rb_4, [this] {
        sle_1->setEnabled(false);
        sle_3->setEnabled(false);
        sle_2->setEnabled(true);
        is_type = QStringLiteral("C");
    });
    onChecked(rb_5, [this] {
        if (is_tree == QLatin1String("A")) {
            sle_1->setEnabled(true);
            sle_3->setEnabled(true);
        } else if (is_tree == QLatin1String("H")) {
            sle_1->setEnabled(true);
            sle_3->setEnabled(false);
        } else {
            sle_3->setEnabled(true);
            sle_1->setEnabled(false);
        }
        sle_2->setEnabled(false);
        is_type = QStringLiteral("N");
    });
    onChecked(rb_6, [this] { is_find = QStringLiteral("C"); });
    onChecked(rb_7, [this] { is_find = QStringLiteral("M"); });
    connect(cbx_2, &QCheckBox::toggled, this, [this](bool all) {
        cb_1->setEnabled(!all);
        cb_4->setEnabled(!all);
    });

    connect(cb_2, &QPushButton::clicked, this, [this] {
        lb_1->clear();
        reportResult(wf_supper_search(QStringLiteral("ROOT")));
    });
    connect(cb_1, &QPushButton::clicked, this, [this] { reportResult(wf_supper_search(QStringLiteral("DOWN"))); });
    connect(cb_4, &QPushButton::clicked, this, [this] { reportResult(wf_supper_search(QStringLiteral("UP"))); });
    connect(cb_3, &QPushButton::clicked, this, &QWidget::close);
    connect(cb_5, &QPushButton::clicked, this, [this] { w_help::openWithParm(QStringLiteral("3"), this); });
    // The result list reacts to a newly selected entry only: the current entry alone (the first
    // one once the list is tabbed into) and entries deselected with Ctrl move nothing.
    connect(lb_1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &selected) {
                const QModelIndexList rows = selected.indexes();
                if (rows.isEmpty())
                    return;
                // Of a range selected at once (Shift), the entry the user moved to counts.
                const QModelIndex current = lb_1->currentIndex();
                lb_1_selectionchanged(selected.contains(current) ? current.row() : rows.last().row());
            });
}

QList<QPair<QString, QString>> w_findats::foundCodes() const
{
    QList<QPair<QString, QString>> codes;
    for (int i = 0; i < lb_1->count(); ++i) {
        const QListWidgetItem *entry = lb_1->item(i);
        const QVariant code = entry->data(Qt::UserRole);
        if (code.isValid())
            codes.append({entry->text().startsWith(kCustomsPrefix) ? QStringLiteral("hs") : QStringLiteral("jmw"),
                          code.toString()});
    }
    return codes;
}
