#include "ui/auxiliary/w_about.h"

#include "core/auxiliary/AboutTexts.h"
#include "core/platform/MemoryStatus.h"
#include "ui/auxiliary/DialogLook.h"
#include "ui/auxiliary/f_adjust_winpos.h"
#include "ui/runtime/LayoutUnits.h"

#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

namespace {

// Design size and position before placement, in layout units.
constexpr int kAboutWidthUnits = 1792;
constexpr int kAboutHeightUnits = 1072;
constexpr int kAboutXUnits = 901;
constexpr int kAboutYUnits = 464;

QWidget *line(QWidget *parent, const QColor &colour, const char *name)
{
    auto *widget = new QWidget(parent);
    widget->setObjectName(QLatin1String(name));
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, colour);
    widget->setPalette(colours);
    widget->setAutoFillBackground(true);
    return widget;
}

QLabel *label(QWidget *parent, const QString &text, const char *name)
{
    auto *widget = new QLabel(text, parent);
    widget->setObjectName(QLatin1String(name));
    widget->setEnabled(false);
    return widget;
}

// The free share of the paging file, never read as nothing left while anything is free: two
// decimals would round a nearly full machine down to "0.00%", so it shows at least "0.01%".
QString freeShareText(const MemoryStatus &status)
{
    if (status.totalPageFile == 0 || status.availPageFile == 0)
        return kiv::pageFileText(status);
    const double share = double(status.availPageFile) / double(status.totalPageFile) * 100.0;
    return kiv::formatPageFileFree(std::clamp(share, 0.01, 100.0), 100.0);
}

} // namespace

w_about::w_about(QWidget *parent, const QString &meminfoPath)
    : QDialog(parent)
{
    create();
    open(meminfoPath);
}

void w_about::create()
{
    const runtime::LayoutUnits units;

    setObjectName(QStringLiteral("w_about"));
    setWindowTitle(QStringLiteral("关于"));
    // No icon of its own: an empty picture keeps the application's icon off the title bar.
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    setWindowIcon(QIcon(blank));
    setModal(true);
    kiv::applyDialogLook(this);
    setGeometry(units.toPixels(kAboutXUnits, kAboutYUnits, kAboutWidthUnits, kAboutHeightUnits));
    setFixedSize(size());

    // Created from the bottom of the stacking order up: later siblings lie on top. The etched
    // separator (a grey line over a white one, 4 units thick) shows through the frame.
    ln_12 = line(this, Qt::white, "ln_12");
    units.place(ln_12, 338, 636, 1618 - 338, 4);
    ln_1 = line(this, QColor(128, 128, 128), "ln_1");
    units.place(ln_1, 338, 632, 1618 - 338, 4);

    st_8 = label(this, QString(), "st_8");
    st_8->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    units.place(st_8, 215, 348, 1481, 560);

    st_7 = label(this, QStringLiteral("系统物理内存:"), "st_7");
    units.place(st_7, 247, 628, 384, 60);
    st_totavail = label(this, QString(), "st_totavail");
    st_totavail->setAlignment(Qt::AlignCenter);
    st_totavail->setAccessibleDescription(st_7->text());
    units.place(st_totavail, 640, 628, 539, 60);

    st_6 = label(this, QStringLiteral("系统资源:"), "st_6");
    units.place(st_6, 247, 712, 384, 60);
    st_pyhsical = label(this, QString(), "st_pyhsical");
    st_pyhsical->setAlignment(Qt::AlignCenter);
    st_pyhsical->setAccessibleDescription(st_6->text());
    units.place(st_pyhsical, 640, 712, 539, 60);

    cb_1 = new QPushButton(QStringLiteral("退出(&E)"), this);
    cb_1->setObjectName(QStringLiteral("cb_1"));
    cb_1->setDefault(true);
    units.place(cb_1, 1417, 56, 279, 84);
    // Esc rejects the dialog on its own; the button closes it the same way.
    connect(cb_1, &QPushButton::clicked, this, &QDialog::reject);
    cb_1->setFocus();
}

void w_about::open(const QString &meminfoPath)
{
    f_adjust_winpos(this);
    // Read once: the figures do not follow the machine while the window is open.
    const MemoryStatus status = readMemoryStatus(meminfoPath);
    st_totavail->setText(kiv::physicalMemoryText(status));
    st_pyhsical->setText(freeShareText(status));
}

void w_about::openModal(QWidget *parent)
{
    w_about window(parent);
    window.exec();
}
