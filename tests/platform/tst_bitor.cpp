#include "ui/platform/bitor.h"

#include "TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

#include <limits>

using Values = QList<std::optional<qint32>>;
Q_DECLARE_METATYPE(Values)

class tst_bitor : public QObject
{
    Q_OBJECT

private slots:
    void combines_data();
    void combines();
    void trayIconFlags();
    void fewerThanTwoValues_data();
    void fewerThanTwoValues();
};

void tst_bitor::combines_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<qint32>("result");
    const std::optional<qint32> null;
    QTest::newRow("1|2") << Values{1, 2} << 3;
    QTest::newRow("1|2|4") << Values{1, 2, 4} << 7;
    QTest::newRow("5|5") << Values{5, 5} << 5;
    QTest::newRow("overlapping") << Values{0b1100, 0b1010, 0b0001} << 0b1111;
    QTest::newRow("zeros") << Values{0, 0, 0} << 0;
    QTest::newRow("largest small value") << Values{32767, 1} << 32767;
    QTest::newRow("16384|1") << Values{16384, 1} << 16385;
    QTest::newRow("null first") << Values{null, 4} << 4;
    QTest::newRow("null last") << Values{1, null} << 1;
    QTest::newRow("null between") << Values{1, null, 8} << 9;
    QTest::newRow("all null") << Values{null, null} << 0;
    // Beyond the small flags: 32-bit patterns, bit by bit.
    QTest::newRow("above 32767") << Values{0x40000000, 0x00010000, 0x8000} << 0x40018000;
    QTest::newRow("window flags") << Values{65536, 262144, 4, 2} << 327686;
    QTest::newRow("-1 has every bit") << Values{-1, 0} << -1;
    QTest::newRow("-2|1") << Values{-2, 1} << -1;
    QTest::newRow("sign bit") << Values{std::numeric_limits<qint32>::min(), 1}
                              << std::numeric_limits<qint32>::min() + 1;
    QTest::newRow("max|min") << Values{std::numeric_limits<qint32>::max(), std::numeric_limits<qint32>::min()}
                             << -1;
    QTest::newRow("-16|3") << Values{-16, 3} << -13;
}

void tst_bitor::combines()
{
    QFETCH(Values, values);
    QFETCH(qint32, result);
    MessageRecorder recorder;
    QCOMPARE(bitor_(values), result);
    QVERIFY(recorder.boxes().isEmpty());
}

void tst_bitor::trayIconFlags()
{
    // NIF_MESSAGE | NIF_ICON | NIF_TIP
    constexpr qint32 nif_message = 1;
    constexpr qint32 nif_icon = 2;
    constexpr qint32 nif_tip = 4;
    QCOMPARE(bitor_({nif_message, nif_icon, nif_tip}), 7);
}

void tst_bitor::fewerThanTwoValues_data()
{
    QTest::addColumn<Values>("values");
    QTest::newRow("one") << Values{5};
    QTest::newRow("none") << Values{};
    QTest::newRow("one null") << Values{std::nullopt};
}

void tst_bitor::fewerThanTwoValues()
{
    QFETCH(Values, values);
    MessageRecorder recorder;
    QCOMPARE(bitor_(values), -1);
    QCOMPARE(recorder.boxes().size(), 1);
    const runtime::MessageRequest &box = recorder.boxes().first();
    QCOMPARE(box.title, QStringLiteral("Error"));
    QCOMPARE(box.text, QStringLiteral("This function needs 2 values!"));
    QCOMPARE(box.icon, runtime::MessageIcon::StopSign);
    QCOMPARE(box.buttons, runtime::MessageButtons::Ok);
}

KIV_TEST_GUILESS_MAIN(tst_bitor)
#include "tst_bitor.moc"
