#include "ui/runtime/KeptImageScrollBar.h"

#include "support/TestMain.h"

#include <QAccessible>
#include <QImage>
#include <QScrollBar>
#include <QtTest>

using runtime::KeptImageScrollBar;

namespace {

enum Change { MoveInside, MoveToEnd, MoveFromEnd, GrowRange, NewPageStep, Disable, NewPalette, Resize };

void apply(Change change, QScrollBar *bar)
{
    switch (change) {
    case MoveInside: bar->setValue(37); break;
    case MoveToEnd: bar->setValue(bar->maximum()); break;
    case MoveFromEnd: bar->setValue(bar->maximum()); bar->grab(); bar->setValue(61); break;
    case GrowRange: bar->setRange(0, 400); break;
    case NewPageStep: bar->setPageStep(60); break;
    case Disable: bar->setEnabled(false); break;
    case NewPalette: {
        QPalette palette = bar->palette();
        palette.setColor(QPalette::Button, Qt::darkCyan);
        palette.setColor(QPalette::Window, Qt::yellow);
        bar->setPalette(palette);
        break;
    }
    case Resize: bar->resize(bar->orientation() == Qt::Vertical ? QSize(14, 180) : QSize(180, 14)); break;
    }
}

// The pixels a bar shows now.
QImage shown(QScrollBar *bar)
{
    return bar->grab().toImage();
}

// A kept-image bar and a plain one, alike, in one shown window.
struct Pair {
    explicit Pair(Qt::Orientation orientation)
        : kept(orientation, &window), plain(orientation, &window)
    {
        window.resize(400, 400);
        const QSize size = orientation == Qt::Vertical ? QSize(14, 300) : QSize(300, 14);
        kept.setGeometry(QRect(QPoint(10, 10), size));
        plain.setGeometry(QRect(QPoint(40, 40), size));
        for (QScrollBar *bar : {static_cast<QScrollBar *>(&kept), &plain}) {
            bar->setRange(0, 100);
            bar->setPageStep(20);
            bar->setValue(50);
        }
        window.show();
    }
    QWidget window;
    KeptImageScrollBar kept;
    QScrollBar plain;
};

} // namespace

class tst_KeptImageScrollBar : public QObject
{
    Q_OBJECT
private slots:
    void showsWhatAPlainBarShows_data();
    void showsWhatAPlainBarShows();
    void repaintingWhatDidNotChangeDrawsNothing();
    void aPressedHandleIsDrawnAsAPlainBarDrawsIt();
    void aScreenReaderReadsAScrollBar();
};

void tst_KeptImageScrollBar::showsWhatAPlainBarShows_data()
{
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<int>("change");
    for (const Qt::Orientation orientation : {Qt::Vertical, Qt::Horizontal}) {
        const char *name = orientation == Qt::Vertical ? "vertical" : "horizontal";
        QTest::addRow("%s: handle moves inside", name) << orientation << int(MoveInside);
        QTest::addRow("%s: handle to the end", name) << orientation << int(MoveToEnd);
        QTest::addRow("%s: handle back from the end", name) << orientation << int(MoveFromEnd);
        QTest::addRow("%s: longer range", name) << orientation << int(GrowRange);
        QTest::addRow("%s: other page step", name) << orientation << int(NewPageStep);
        QTest::addRow("%s: disabled", name) << orientation << int(Disable);
        QTest::addRow("%s: other palette", name) << orientation << int(NewPalette);
        QTest::addRow("%s: resized", name) << orientation << int(Resize);
    }
}

// What the bar draws anew is only part of it: after any change it must show what a plain bar
// in the same state shows.
void tst_KeptImageScrollBar::showsWhatAPlainBarShows()
{
    QFETCH(Qt::Orientation, orientation);
    QFETCH(int, change);
    Pair bars(orientation);
    QVERIFY(QTest::qWaitForWindowExposed(&bars.window));
    QCOMPARE(shown(&bars.kept), shown(&bars.plain));
    apply(Change(change), &bars.kept);
    apply(Change(change), &bars.plain);
    QCOMPARE(shown(&bars.kept), shown(&bars.plain));
}

void tst_KeptImageScrollBar::repaintingWhatDidNotChangeDrawsNothing()
{
    Pair bars(Qt::Vertical);
    QVERIFY(QTest::qWaitForWindowExposed(&bars.window));
    const QImage before = shown(&bars.kept);
    const int drawings = bars.kept.drawings();
    // As a view's relayout does at every jump: the bar repainted whole, nothing in it changed.
    bars.kept.repaint();
    bars.window.repaint();
    QCOMPARE(bars.kept.drawings(), drawings);
    QCOMPARE(shown(&bars.kept), before);
    bars.kept.setValue(30);
    bars.plain.setValue(30);
    QCOMPARE(shown(&bars.kept), shown(&bars.plain));
    QCOMPARE(bars.kept.drawings(), drawings + 1);
}

void tst_KeptImageScrollBar::aPressedHandleIsDrawnAsAPlainBarDrawsIt()
{
    Pair bars(Qt::Vertical); // the value halfway: the handle lies in the middle of the bar
    QVERIFY(QTest::qWaitForWindowExposed(&bars.window));
    QCOMPARE(shown(&bars.kept), shown(&bars.plain));
    for (QScrollBar *bar : {static_cast<QScrollBar *>(&bars.kept), &bars.plain})
        QTest::mousePress(bar, Qt::LeftButton, {}, bar->rect().center());
    QVERIFY(bars.kept.isSliderDown());
    QCOMPARE(shown(&bars.kept), shown(&bars.plain));
    for (QScrollBar *bar : {static_cast<QScrollBar *>(&bars.kept), &bars.plain})
        QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->rect().center());
    QCOMPARE(shown(&bars.kept), shown(&bars.plain));
}

void tst_KeptImageScrollBar::aScreenReaderReadsAScrollBar()
{
    Pair bars(Qt::Vertical);
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(&bars.kept);
    QVERIFY(bar);
    QCOMPARE(bar->role(), QAccessible::ScrollBar);
    QVERIFY(bar->valueInterface());
    QCOMPARE(bar->valueInterface()->currentValue().toInt(), 50);
}

KIV_TEST_MAIN(tst_KeptImageScrollBar)
#include "tst_keptimagescrollbar.moc"
