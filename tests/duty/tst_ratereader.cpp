#include "core/duty/AmountInput.h"
#include "core/duty/RateReader.h"
#include "core/edition/CsvTable.h"
#include "support/TestMain.h"

#include <QtTest>

using duty::Decimal;
using duty::Rate;
using duty::RateReader;

namespace {

Decimal dec(const char *text)
{
    bool ok = false;
    const Decimal d = Decimal::parse(QString::fromLatin1(text), &ok);
    Q_ASSERT(ok);
    return d;
}

// The state and the terms as one comparable line: "plain 9%", "cond <=7.5/千克 20% | 1.5元/千克".
QString describe(const Rate &r)
{
    switch (r.state) {
    case Rate::State::Absent:
        return QStringLiteral("absent");
    case Rate::State::Refused:
        return QStringLiteral("refused");
    case Rate::State::Plain:
        return QStringLiteral("plain ") + r.term.text();
    case Rate::State::Conditional:
        return QStringLiteral("cond %1%2/%3 %4 | %5")
            .arg(r.condition.thresholdIsLow ? QStringLiteral("<=") : QStringLiteral("<"),
                 r.condition.threshold.toPlainString(), r.condition.unit,
                 r.condition.low.text(), r.condition.high.text());
    }
    return {};
}

} // namespace

class tst_RateReader : public QObject
{
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("percent") << "9%" << "plain 9%";
        QTest::newRow("decimal percent") << "2.5%" << "plain 2.5%";
        QTest::newRow("bare nought") << "0" << "plain 0%";
        QTest::newRow("empty") << "" << "absent";
        QTest::newRow("blanks only") << "  " << "absent";
        QTest::newRow("specific") << "0.8元/千克" << "plain 0.8元/千克";
        QTest::newRow("specific per area") << "122.6元/平方米" << "plain 122.6元/平方米";
        QTest::newRow("compound") << "20%+0.912元/升" << "plain 20%+0.912元/升";
        QTest::newRow("full-width and blanks") << " ２０％ ＋ 0.912 元/升 " << "plain 20%+0.912元/升";
        QTest::newRow("at most / above, unit named")
            << "完税价不高于7.5元/千克：20%，完税价高于7.5元/千克：0%+1.5元/千克。"
            << "cond <=7.5/千克 20% | 0%+1.5元/千克";
        QTest::newRow("at least / below, no unit")
            << "完税价大于等于10000元：15%，完税价小于10000元：0。" << "cond <10000/ 0% | 15%";
        QTest::newRow("sides in the other order")
            << "完税价小于15元：0，完税价大于等于15元：15%" << "cond <15/ 0% | 15%";
        QTest::newRow("specific on both sides")
            << "完税价大于等于2.64295885元：0.253元/升，完税价小于2.64295885元：0.2227元/升。"
            << "cond <2.64295885/ 0.2227元/升 | 0.253元/升";
        QTest::newRow("half-width punctuation")
            << "完税价不高于9元/千克:10%,完税价高于9元/千克:0%+0.9元/千克."
            << "cond <=9/千克 10% | 0%+0.9元/千克";
        QTest::newRow("unknown unit") << "3元/箱" << "refused";
        QTest::newRow("a number without a unit") << "5" << "refused";
        QTest::newRow("two ad valorem parts") << "5%+3%" << "refused";
        QTest::newRow("three parts") << "5%+1元/千克+1元/升" << "refused";
        QTest::newRow("words") << "暂无" << "refused";
        QTest::newRow("conditions leave a gap")
            << "完税价低于10元：5%，完税价高于10元：8%" << "refused";
        QTest::newRow("conditions overlap")
            << "完税价不高于10元：5%，完税价不低于10元：8%" << "refused";
        QTest::newRow("thresholds differ")
            << "完税价不高于10元：5%，完税价高于12元：8%" << "refused";
        QTest::newRow("one side only") << "完税价不高于10元：5%" << "refused";
        QTest::newRow("condition on an unknown unit")
            << "完税价不高于10元/箱：5%，完税价高于10元/箱：8%" << "refused";
        QTest::newRow("absurd percentage") << "5000%" << "refused";
    }
    void read()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const Rate r = RateReader::read(text);
        QCOMPARE(describe(r), expected);
        QCOMPARE(r.text, text);
        QCOMPARE(r.problem.isEmpty(), r.state != Rate::State::Refused);
    }

    // Every rate field of every line of the bundled tariff is read; a plain text reads back as
    // written, so a figure can never come from a misread rate.
    void everyRateOfTheBundledTariff()
    {
        edition::CsvTable table;
        edition::ReadError error;
        const QStringList fields = {"mfn_rate",      "provisional_rate",  "general_rate",
                                    "vat_rate",      "consumption_tax",   "export_tax_rate",
                                    "export_provisional_rate"};
        QVERIFY2(table.readFile(QStringLiteral(KIV_SOURCE_DIR "/db/cn_hscode_2026.csv"), fields, &error),
                 qPrintable(error.message));
        // Texts the reader refuses on purpose; the program shows them as "无法自动计算".
        const QStringList refusedOnPurpose = {};
        int read = 0, conditional = 0;
        for (const auto &record : table.records()) {
            for (const QString &field : fields) {
                const QString text = table.value(record, table.column(field));
                const Rate r = RateReader::read(text);
                if (r.state == Rate::State::Refused) {
                    QVERIFY2(refusedOnPurpose.contains(text),
                             qPrintable(QStringLiteral("line %1 %2: %3 (%4)")
                                            .arg(record.line).arg(field, text, r.problem)));
                    continue;
                }
                if (r.state == Rate::State::Plain) {
                    QCOMPARE(r.term.text(), text == QLatin1String("0") ? QStringLiteral("0%") : text);
                }
                if (r.state == Rate::State::Conditional)
                    ++conditional;
                if (r.state != Rate::State::Absent)
                    ++read;
                if (field == QLatin1String("consumption_tax") && r.state == Rate::State::Plain)
                    QVERIFY(r.term.adValorem < Decimal::fromInt(1));
            }
        }
        QVERIFY(read > 12000 * 4);
        QVERIFY(conditional >= 50);
    }

    void amountInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "1000" << true << "1000";
        QTest::newRow("decimals") << "1234.56" << true << "1234.56";
        QTest::newRow("nought") << "0" << true << "0";
        QTest::newRow("thousands") << "1,234,567.8" << true << "1234567.8";
        QTest::newRow("full-width") << "１２３４．５" << true << "1234.5";
        QTest::newRow("blanks") << " 12 000 " << true << "12000";
        QTest::newRow("ten to the fifteenth") << "1000000000000000" << true << "1000000000000000";
        QTest::newRow("too large") << "1000000000000001" << false << "";
        QTest::newRow("negative") << "-5" << false << "";
        QTest::newRow("bad grouping") << "1,23" << false << "";
        QTest::newRow("letters") << "12a" << false << "";
        QTest::newRow("two points") << "1.2.3" << false << "";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("twenty digits") << "99999999999999999999" << false << "";
    }
    void amountInput()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QString, value);
        const duty::AmountInput in = duty::AmountInput::read(text);
        QCOMPARE(in.ok, ok);
        QCOMPARE(in.problem.isEmpty(), ok);
        if (ok)
            QCOMPARE(in.value, dec(value.toLatin1().constData()));
    }

    void decimalRounding_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("fen");
        QTest::newRow("half up") << "0.005" << "0.01";
        QTest::newRow("below half") << "0.00499999" << "0.00";
        QTest::newRow("exact") << "12.3" << "12.30";
        QTest::newRow("large") << "999999999999999.995" << "1000000000000000.00";
    }
    void decimalRounding()
    {
        QFETCH(QString, value);
        QFETCH(QString, fen);
        QCOMPARE(dec(value.toLatin1().constData()).roundedToFen().toString(2), fen);
    }
};

KIV_TEST_APPLESS_MAIN(tst_RateReader)
#include "tst_ratereader.moc"
