#include "support/TestMain.h"
#include "ui/runtime/LayoutUnits.h"

#include <QWidget>
#include <QtTest>

class tst_LayoutUnits : public QObject
{
    Q_OBJECT
private slots:
    void at96DpiUnitsAreSevenThirtySecondsAndAQuarter()
    {
        const runtime::LayoutUnits units(96, 96);
        QCOMPARE(units.unitsToPixelsX(32), 7);
        QCOMPARE(units.unitsToPixelsX(3200), 700);
        QCOMPARE(units.unitsToPixelsY(4), 1);
        QCOMPARE(units.unitsToPixelsY(1372), 343);
        QCOMPARE(units.pixelsToUnitsX(7), 32);
        QCOMPARE(units.pixelsToUnitsY(343), 1372);
    }

    void otherDpiScalesProportionally()
    {
        const runtime::LayoutUnits units(192, 144);
        QCOMPARE(units.unitsToPixelsX(3200), 1400);
        QCOMPARE(units.unitsToPixelsY(400), 150);
        QCOMPARE(units.pixelsToUnitsX(1400), 3200);
    }

    void negativeUnitsStayNegative()
    {
        const runtime::LayoutUnits units(96, 96);
        QCOMPARE(units.unitsToPixelsX(-3200), -700);
        QCOMPARE(units.unitsToPixelsY(-400), -100);
    }

    void placeSetsPixelGeometry()
    {
        const runtime::LayoutUnits units(96, 96);
        QWidget parent;
        auto *child = new QWidget(&parent);
        units.place(child, 320, 400, 640, 800);
        QCOMPARE(child->geometry(), QRect(70, 100, 140, 200));
        units.place(nullptr, 1, 2, 3, 4); // no widget, no harm
    }

    void defaultFollowsTheScreen()
    {
        const runtime::LayoutUnits units;
        QVERIFY(units.dpiX() > 0);
        QVERIFY(units.dpiY() > 0);
    }
};

KIV_TEST_MAIN(tst_LayoutUnits)
#include "tst_layoutunits.moc"
