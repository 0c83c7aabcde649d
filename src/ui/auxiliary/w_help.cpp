#include "ui/auxiliary/w_help.h"

#include "core/session/globals.h"
#include "ui/auxiliary/DialogLook.h"
#include "ui/auxiliary/f_adjust_winpos.h"
#include "ui/auxiliary/u_url_link.h"
#include "ui/runtime/LayoutUnits.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include <limits>

namespace {

// Design size and position before placement, in layout units.
constexpr int kHelpWidthUnits = 1998;
constexpr int kHelpHeightUnits = 1288;
constexpr int kHelpXUnits = 823;
constexpr int kHelpYUnits = 360;

QLabel *picture(QWidget *parent, const QString &file, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    const QPixmap pixmap(file);
    if (!pixmap.isNull())
        label->setPixmap(pixmap);
    return label;
}

} // namespace

w_help::w_help(const QString &parm, QWidget *parent, const QString &bitmapFolder)
    : QDialog(parent)
{
    create(bitmapFolder);
    open(parm);
}

void w_help::create(const QString &bitmapFolder)
{
    kiv::initAppResources();
    const runtime::LayoutUnits units;

    setObjectName(QStringLiteral("w_help"));
    setWindowTitle(QStringLiteral("帮助"));
    setWindowIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    setModal(true);
    kiv::applyDialogLook(this);
    setGeometry(units.toPixels(kHelpXUnits, kHelpYUnits, kHelpWidthUnits, kHelpHeightUnits));
    setFixedSize(size());

    // Created from the bottom of the stacking order up: later siblings lie on top.
    st_1 = new QLabel(this);
    st_1->setObjectName(QStringLiteral("st_1"));
    st_1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    st_1->setEnabled(false);
    units.place(st_1, 5, 0, 1961, 1028);

    mle_1 = new QPlainTextEdit(this);
    mle_1->setObjectName(QStringLiteral("mle_1"));
    mle_1->setReadOnly(true);
    mle_1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    mle_1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mle_1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    {
        QFont arial(QStringLiteral("Arial"));
        arial.setPointSize(9);
        mle_1->setFont(arial);
        QPalette colours = mle_1->palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            colours.setColor(group, QPalette::Base, QColor(0, 128, 128));
            colours.setColor(group, QPalette::Text, Qt::white);
        }
        mle_1->setPalette(colours);
    }
    units.place(mle_1, 41, 96, 1888, 896);

    st_2 = new QLabel(QStringLiteral("帮助向导："), this);
    st_2->setObjectName(QStringLiteral("st_2"));
    {
        QFont bold = st_2->font();
        bold.setWeight(QFont::Bold);
        st_2->setFont(bold);
    }
    st_2->setEnabled(false);
    st_2->setBuddy(mle_1);
    units.place(st_2, 133, 28, 315, 64);

    cb_3 = new QPushButton(QStringLiteral("关闭[&C]"), this);
    cb_3->setObjectName(QStringLiteral("cb_3"));
    cb_3->setDefault(true);
    units.place(cb_3, 1618, 1036, 315, 96);
    // Esc rejects the dialog on its own; the button closes it the same way.
    connect(cb_3, &QPushButton::clicked, this, &QDialog::reject);

    p_1 = picture(this, bitmapFolder + QLatin1Char('/') + QLatin1String(kiv::kHelpTopBitmap), "p_1");
    units.place(p_1, 46, 20, 73, 64);
    if (const QPixmap pixmap = p_1->pixmap(); !pixmap.isNull())
        p_1->resize(pixmap.deviceIndependentSize().toSize()); // shown at the bitmap's own size

    p_2 = picture(this, bitmapFolder + QLatin1Char('/') + QLatin1String(kiv::kWhoWhereBitmap), "p_2");
    p_2->setScaledContents(true);
    units.place(p_2, 1225, 104, 613, 152);

    st_ww = new u_url_link(this);
    st_ww->setObjectName(QStringLiteral("st_ww"));
    st_ww->setText(QStringLiteral("Velquor（Velquor）软件工作室"));
    units.place(st_ww, 59, 1052, 640, 96);
    connect(st_ww, &u_url_link::clicked, this, [this] { st_ww->uf_url_link(QString::fromLatin1(kiv::kWebAddress)); });

    setTabOrder(cb_3, mle_1);
    cb_3->setFocus();
}

int w_help::helpNumber(const QString &parm)
{
    bool ok = false;
    const int number = parm.trimmed().toInt(&ok);
    if (!ok || number < std::numeric_limits<qint16>::min() || number > std::numeric_limits<qint16>::max())
        return 0;
    return number;
}

void w_help::open(const QString &parm)
{
    const int number = helpNumber(parm);
    if (number <= 0) {
        m_closedAtOnce = true;
        return;
    }
    const int last = int(gs_help.size()) - 1;
    // help.TXT is a Windows text file: its CR LF line ends become the box's line breaks.
    QString text = number <= last ? gs_help[number] : QString();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    mle_1->setPlainText(text);
    f_adjust_winpos(this);
}

void w_help::openWithParm(const QString &parm, QWidget *parent)
{
    w_help window(parm, parent);
    if (window.closedAtOnce())
        return;
    window.exec();
}
