#include "support/TestMain.h"
#include "ui/mainwin/MainLayout.h"

#include <QtTest>

using MainLayout::Controls;

class tst_MainLayout : public QObject
{
    Q_OBJECT
private slots:
    void resizeSplitsTheWidthEvenly_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("1000 x 800") << 1000 << 800;
        QTest::newRow("design size") << 2693 << 1552;
        QTest::newRow("odd width") << 1001 << 900;
        QTest::newRow("tiny") << 60 << 300;
    }
    void resizeSplitsTheWidthEvenly()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        Controls c;
        MainLayout::resize(c, width, height);
        QCOMPARE(c.tree1.topLeft(), MainLayout::kTree1.topLeft()); // the left tree never moves
        QCOMPARE(c.tree1.width(), width / 2 - 40);
        QCOMPARE(c.tree1.height(), height - 460);
        QCOMPARE(c.bar.x(), width / 2 + c.tree1.x() - 40);
        QCOMPARE(c.bar.y(), MainLayout::kBar.y()); // kept until the first drag
        QCOMPARE(c.bar.width(), 20);
        QCOMPARE(c.tree2.x(), c.bar.x() + 20);
        QCOMPARE(c.tree2.y(), c.tree1.y());
        QCOMPARE(c.tree2.size(), c.tree1.size());
        QCOMPARE(c.clock.x(), c.tree2.x() + c.tree2.width() - c.clock.width() - 100);
        QCOMPARE(c.clock.y(), c.tree2.y() + 20);
        QCOMPARE(c.link.x(), c.clock.x());
        QCOMPARE(c.link.y(), c.tree2.y() + c.link.height() + 20);
        QCOMPARE(c.status.x(), width / 2 - c.status.width() / 2);
        QCOMPARE(c.status.y(), height / 2 - 200);
        QCOMPARE(c.lineEnd, width);
    }

    void widthOf1000GivesTreesOf460()
    {
        Controls c;
        MainLayout::resize(c, 1000, 800);
        QCOMPARE(c.tree1.width(), 460);
        QCOMPARE(c.tree2.width(), 460);
        QCOMPARE(c.tree2.x(), c.tree1.x() + 480);
    }

    void debugKeepsTheBarsOwnWidth()
    {
        Controls c;
        MainLayout::resize(c, 1000, 800, true);
        QCOMPARE(c.bar.width(), MainLayout::kBar.width());
        QCOMPARE(c.tree2.x(), c.bar.x() + MainLayout::kBar.width());
    }

    void droppedBarIsKeptWithinTheLimits_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("dropAt");
        QTest::addColumn<int>("barX");
        QTest::addColumn<int>("messages");
        QTest::newRow("inside") << 1000 << 400 << 400 << 0;
        QTest::newRow("at the left limit") << 1000 << 150 << 150 << 0;
        QTest::newRow("left of the limit") << 1000 << 100 << 150 << 1;
        QTest::newRow("negative") << 1000 << -50 << 150 << 1;
        QTest::newRow("at the right limit") << 1000 << 800 << 800 << 0;
        QTest::newRow("near the right edge") << 1000 << 900 << 800 << 1;
        QTest::newRow("beyond the window") << 1000 << 5000 << 800 << 1;
        // Narrower than 350: both limits fire, the right one last.
        QTest::newRow("narrow window") << 300 << 100 << 100 << 2;
        QTest::newRow("narrow, dropped right") << 300 << 250 << 100 << 1;
    }
    void droppedBarIsKeptWithinTheLimits()
    {
        QFETCH(int, width);
        QFETCH(int, dropAt);
        QFETCH(int, barX);
        QFETCH(int, messages);
        Controls c;
        MainLayout::resize(c, width, 800);
        c.bar.moveLeft(dropAt);
        QCOMPARE(MainLayout::resizeBars(c, width), messages);
        QCOMPARE(c.bar.x(), barX);
        QCOMPARE(c.bar.y(), c.tree1.y());
        QCOMPARE(c.bar.height(), c.tree1.height());
        QCOMPARE(c.bar.width(), 20);
        QCOMPARE(c.tree1.width(), barX - c.tree1.x());
        QCOMPARE(c.tree2.x(), c.tree1.x() + c.tree1.width() + 20);
        QCOMPARE(c.tree2.width(), width - c.tree1.x() - c.tree1.width() - 20 - 40);
    }

    void resizeAfterADragCentresTheBarAgain()
    {
        Controls c;
        MainLayout::resize(c, 1000, 800);
        const int centre = c.bar.x();
        c.bar.moveLeft(300);
        MainLayout::resizeBars(c, 1000);
        QCOMPARE(c.bar.x(), 300);
        MainLayout::resize(c, 1000, 800);
        QCOMPARE(c.bar.x(), centre);
        QCOMPARE(c.tree1.width(), 460);
    }
};

KIV_TEST_GUILESS_MAIN(tst_MainLayout)
#include "tst_mainlayout.moc"
