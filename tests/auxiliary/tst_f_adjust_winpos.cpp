#include "support/TestMain.h"
#include "ui/auxiliary/f_adjust_winpos.h"
#include "ui/runtime/LayoutUnits.h"

#include <QWidget>
#include <QtTest>

class tst_f_adjust_winpos : public QObject
{
    Q_OBJECT
private slots:
    void arithmetic_data();
    void arithmetic();
    void placesWindowBySize_data();
    void placesWindowBySize();
    void secondCallKeepsPlace();
    void resizedWindowPlacedByNewSize();
    void missingWindowIsIgnored();
};

void tst_f_adjust_winpos::arithmetic_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("help window") << QSize(1998, 1288) << QPoint(1998, 1288);
    QTest::newRow("about window") << QSize(1792, 1072) << QPoint(1792, 1072);
    QTest::newRow("not square: x from width") << QSize(300, 7000) << QPoint(300, 7000);
    QTest::newRow("empty") << QSize(0, 0) << QPoint(0, 0);
    QTest::newRow("beyond 16 bits clamps") << QSize(40000, 32768) << QPoint(32767, 32767);
    QTest::newRow("largest 16-bit value") << QSize(32767, 1) << QPoint(32767, 1);
}

void tst_f_adjust_winpos::arithmetic()
{
    QFETCH(QSize, size);
    QFETCH(QPoint, expected);
    QCOMPARE(kiv::adjustedWinPos(size), expected);
}

void tst_f_adjust_winpos::placesWindowBySize_data()
{
    QTest::addColumn<double>("dpi");
    QTest::newRow("96 dpi") << 96.0;
    QTest::newRow("144 dpi") << 144.0;
}

void tst_f_adjust_winpos::placesWindowBySize()
{
    QFETCH(double, dpi);
    const runtime::LayoutUnits units(dpi, dpi);
    QWidget window;
    window.resize(units.toPixels(QSize(1998, 1288)));
    window.move(10, 20);

    f_adjust_winpos(&window, units);

    QCOMPARE(window.pos(), units.toPixels(QPoint(1998, 1288)));
    // Back in units, within the rounding of one pixel.
    QVERIFY(qAbs(units.pixelsToUnitsX(window.x()) - 1998) <= units.pixelsToUnitsX(1));
    QVERIFY(qAbs(units.pixelsToUnitsY(window.y()) - 1288) <= units.pixelsToUnitsY(1));
}

void tst_f_adjust_winpos::secondCallKeepsPlace()
{
    QWidget window;
    window.resize(437, 322);
    f_adjust_winpos(&window);
    const QPoint first = window.pos();
    QVERIFY(first != QPoint(0, 0));
    f_adjust_winpos(&window);
    QCOMPARE(window.pos(), first);
}

void tst_f_adjust_winpos::resizedWindowPlacedByNewSize()
{
    const runtime::LayoutUnits units(96, 96);
    QWidget window;
    window.resize(units.toPixels(QSize(1998, 1288)));
    f_adjust_winpos(&window, units);
    window.resize(units.toPixels(QSize(800, 400)));
    f_adjust_winpos(&window, units);
    QCOMPARE(window.pos(), units.toPixels(QPoint(800, 400)));
}

void tst_f_adjust_winpos::missingWindowIsIgnored()
{
    f_adjust_winpos(nullptr); // must neither crash nor touch anything
    QCOMPARE(kiv::toUnit16(-50000), qint16(-32768));
    QCOMPARE(kiv::toUnit16(1234), qint16(1234));
}

KIV_TEST_MAIN(tst_f_adjust_winpos)
#include "tst_f_adjust_winpos.moc"
