#include "PauseSpans.h"

#include "support/TestMain.h"

#include <QtTest>

using namespace std::chrono_literals;

// The part of a measured span the machine's pauses covered: what the feel benchmark takes off a
// stall or a jump. Too much taken off would hide the program's own time.
class tst_PauseSpans : public QObject
{
    Q_OBJECT

private slots:
    void coveredWithin_data()
    {
        QTest::addColumn<QList<int>>("pauses"); // begin, end, begin, end, ... in ms
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("covered");
        QTest::newRow("no pause") << QList<int>{} << 0 << 100 << 0;
        QTest::newRow("inside") << QList<int>{20, 50} << 0 << 100 << 30;
        QTest::newRow("before and after the span") << QList<int>{0, 10, 110, 150} << 20 << 100 << 0;
        QTest::newRow("begun before, ended within") << QList<int>{0, 40} << 20 << 100 << 20;
        QTest::newRow("begun within, ended after") << QList<int>{80, 200} << 20 << 100 << 20;
        QTest::newRow("longer than the span") << QList<int>{0, 200} << 20 << 100 << 80;
        QTest::newRow("both processors at once") << QList<int>{30, 60, 40, 70} << 0 << 100 << 40;
        QTest::newRow("one within another") << QList<int>{10, 90, 30, 40} << 0 << 100 << 80;
        QTest::newRow("apart, listed out of order") << QList<int>{60, 70, 10, 20} << 0 << 100 << 20;
        QTest::newRow("the same pause twice") << QList<int>{10, 30, 10, 30} << 0 << 100 << 20;
    }
    void coveredWithin()
    {
        QFETCH(QList<int>, pauses);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, covered);
        const bench::PauseClock::time_point origin{};
        std::vector<bench::PauseSpan> spans;
        for (qsizetype i = 0; i + 1 < pauses.size(); i += 2)
            spans.emplace_back(origin + pauses[i] * 1ms, origin + pauses[i + 1] * 1ms);
        QCOMPARE(bench::coveredWithin(spans, origin + from * 1ms, origin + to * 1ms), covered * 1ms);
    }
};

KIV_TEST_GUILESS_MAIN(tst_PauseSpans)
#include "tst_pausespans.moc"
