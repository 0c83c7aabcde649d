#include "core/duty/ExportTaxCalculator.h"
#include "core/duty/ImportTaxCalculator.h"
#include "core/tariff/TariffRecord.h"
#include "support/TestMain.h"

#include <QtTest>

using duty::Decimal;
using duty::ImportInput;
using duty::ImportTaxCalculator;
using duty::Origin;

namespace {

Decimal dec(const QString &text)
{
    bool ok = false;
    const Decimal d = Decimal::parse(text, &ok);
    Q_ASSERT(ok);
    return d;
}

tariff::TariffRecord line(const QString &name, const QString &unit1, const QString &mfn,
                          const QString &provisional, const QString &consumption,
                          const QString &vat = QStringLiteral("13%"))
{
    tariff::TariffRecord r;
    r.code = QStringLiteral("9999999999");
    r.name = name;
    r.unit1 = unit1;
    r.unit2 = QStringLiteral("件");
    r.mfnRate = mfn;
    r.provisionalRate = provisional;
    r.generalRate = QStringLiteral("50%");
    r.consumptionTax = consumption;
    r.vatRate = vat;
    return r;
}

// "千克=20;升=3" into quantities by unit.
QHash<QString, Decimal> quantities(const QString &spec)
{
    QHash<QString, Decimal> q;
    for (const QString &pair : spec.split(u';', Qt::SkipEmptyParts)) {
        const QStringList kv = pair.split(u'=');
        q.insert(kv[0], dec(kv[1]));
    }
    return q;
}

// A figure or its problem, to compare in one column: "90.00" or "!缺少数量（千克）".
QString shown(const duty::TaxFigure &f)
{
    return f.computed ? duty::yuan(f.amount) : u'!' + f.problem;
}

} // namespace

class tst_TaxCalculator : public QObject
{
    Q_OBJECT
private slots:
    // Each row computed by hand, written out beside it.
    void importTaxes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("unit1");
        QTest::addColumn<QString>("mfn");
        QTest::addColumn<QString>("provisional");
        QTest::addColumn<QString>("consumption");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("quantities");
        QTest::addColumn<QString>("duty");
        QTest::addColumn<QString>("consumptionTax");
        QTest::addColumn<QString>("vat");

        // 1000 × 9% = 90; consumption 0; VAT (1000 + 90) × 13% = 141.70
        QTest::newRow("ad valorem") << "机器" << "台" << "9%" << "" << "0%" << "1000" << ""
                                    << "90.00" << "0.00" << "141.70";
        // provisional over MFN: 1000 × 5% = 50
        QTest::newRow("provisional rate first") << "机器" << "台" << "9%" << "5%" << "0%" << "1000" << ""
                                                << "50.00" << "0.00" << "136.50";
        // specific: 200 千克 × 0.8 = 160; VAT (500 + 160) × 13% = 85.80
        QTest::newRow("specific") << "鸡块" << "千克" << "0.8元/千克" << "" << "0%" << "500"
                                  << "千克=200" << "160.00" << "0.00" << "85.80";
        // compound consumption on fuel, duty 1%: 10000 × 1% = 100;
        // (10000 + 100 + 1000 升 × 0.912 = 912) ÷ 0.8 × 20% + 912 = 11012 ÷ 0.8 × 0.2 + 912
        // = 2753 + 912 = 3665; VAT (10000 + 100 + 3665) × 13% = 1789.45
        QTest::newRow("compound consumption") << "燃料" << "升" << "1%" << "" << "20%+0.912元/升" << "10000"
                                              << "升=1000" << "100.00" << "3665.00" << "1789.45";
        // consumption ad valorem 10%: duty 1000 × 10% = 100; (1000 + 100) ÷ 0.9 × 10% = 122.2222 → 122.22;
        // VAT (1000 + 100 + 122.22) × 13% = 158.8886 → 158.89
        QTest::newRow("consumption ad valorem") << "游艇" << "艘" << "10%" << "" << "10%" << "1000" << ""
                                                << "100.00" << "122.22" << "158.89";
        // specific consumption: 100 升 × 1.52 = 152; duty 0; VAT (300 + 0 + 152) × 13% = 58.76
        QTest::newRow("specific consumption") << "汽油" << "升" << "0%" << "" << "1.52元/升" << "300"
                                              << "升=100" << "0.00" << "152.00" << "58.76";
        // at most 7.5/千克: 600 ÷ 100 = 6 ≤ 7.5 → 20%: 120; VAT (600 + 120) × 13% = 93.60
        QTest::newRow("condition, low side")
            << "胶乳" << "千克" << "20%" << "完税价不高于7.5元/千克：20%，完税价高于7.5元/千克：0%+1.5元/千克。"
            << "0%" << "600" << "千克=100" << "120.00" << "0.00" << "93.60";
        // exactly on 7.5: "不高于" takes the low side: 750 × 20% = 150
        QTest::newRow("condition, on the threshold (at most)")
            << "胶乳" << "千克" << "20%" << "完税价不高于7.5元/千克：20%，完税价高于7.5元/千克：0%+1.5元/千克。"
            << "0%" << "750" << "千克=100" << "150.00" << "0.00" << "117.00";
        // 1000 ÷ 100 = 10 > 7.5 → 0% + 100 × 1.5 = 150
        QTest::newRow("condition, high side")
            << "胶乳" << "千克" << "20%" << "完税价不高于7.5元/千克：20%，完税价高于7.5元/千克：0%+1.5元/千克。"
            << "0%" << "1000" << "千克=100" << "150.00" << "0.00" << "149.50";
        // watch: per 只 (first unit), 20000 ÷ 2 = 10000 ≥ 10000 → 20%; duty 20000 × 10% = 2000;
        // (20000 + 2000) ÷ 0.8 × 20% = 5500; VAT (20000 + 2000 + 5500) × 13% = 3575
        QTest::newRow("watch on the threshold (at least)")
            << "手表" << "只" << "10%" << "" << "完税价大于等于10000元：20%，完税价小于10000元：0。"
            << "20000" << "只=2" << "2000.00" << "5500.00" << "3575.00";
        // 19998 ÷ 2 = 9999 < 10000 → 0; VAT (19998 + 1999.80) × 13% = 2859.714 → 2859.71
        QTest::newRow("watch below")
            << "手表" << "只" << "10%" << "" << "完税价大于等于10000元：20%，完税价小于10000元：0。"
            << "19998" << "只=2" << "1999.80" << "0.00" << "2859.71";
        // cosmetics counted by volume: per 升; 30000 ÷ 2 升 = 15000 ≥ 10000 → 15%;
        // duty 30000 × 5% = 1500; (30000 + 1500) ÷ 0.85 × 15% = 5558.8235 → 5558.82
        QTest::newRow("volume cosmetics per litre")
            << "包装标注含量以体积计的其他唇用化妆品" << "千克" << "5%" << ""
            << "完税价大于等于10000元：15%，完税价小于10000元：0。" << "30000" << "升=2;千克=100"
            << "1500.00" << "5558.82" << "4817.65";
        // sheet cosmetics per 片: 300 ÷ 30 片 = 10 < 15 → 0
        QTest::newRow("sheet cosmetics per piece")
            << "包装标注规格为“片”或“张”的其他美容品" << "千克" << "1%" << ""
            << "完税价大于等于15元：15%，完税价小于15元：0。" << "300" << "片=30"
            << "3.00" << "0.00" << "39.39";
        // specific duty without its quantity: the line says which quantity is missing
        QTest::newRow("missing quantity") << "鸡块" << "千克" << "0.8元/千克" << "" << "0%" << "500" << ""
                                          << "!缺少数量（千克）" << "0.00" << "!无法计算：关税未算出";
        // an empty MFN rate is unknown, never 0
        QTest::newRow("empty MFN rate") << "棉花" << "千克" << "" << "" << "0%" << "500" << ""
                                        << "!无法自动计算：税则未列此税率" << "0.00" << "!无法计算：关税未算出";
        // a consumption tax of 100% or more cannot be a composite price
        QTest::newRow("consumption 100%") << "烟" << "千克" << "10%" << "" << "100%" << "500" << ""
                                          << "50.00" << "!无法自动计算：消费税税率“100%”不小于100%"
                                          << "!无法计算：消费税未算出";
        // nought value: every tax nought
        QTest::newRow("value nought") << "机器" << "台" << "9%" << "" << "0%" << "0" << ""
                                      << "0.00" << "0.00" << "0.00";
        // 10^15 × 9% = 9 × 10^13; VAT (10^15 + 9×10^13) × 13% = 1.417 × 10^14
        QTest::newRow("ten to the fifteenth") << "机器" << "台" << "9%" << "" << "0%" << "1000000000000000" << ""
                                              << "90000000000000.00" << "0.00" << "141700000000000.00";
        // a zero quantity cannot give a unit value
        QTest::newRow("quantity nought on a condition")
            << "手表" << "只" << "10%" << "" << "完税价大于等于10000元：20%，完税价小于10000元：0。"
            << "20000" << "只=0" << "2000.00" << "!数量（只）为0，无法算出单位完税价格"
            << "!无法计算：消费税未算出";
    }
    void importTaxes()
    {
        QFETCH(QString, name);
        QFETCH(QString, unit1);
        QFETCH(QString, mfn);
        QFETCH(QString, provisional);
        QFETCH(QString, consumption);
        QFETCH(QString, value);
        QFETCH(QString, quantities);
        QFETCH(QString, duty);
        QFETCH(QString, consumptionTax);
        QFETCH(QString, vat);
        const ImportTaxCalculator calc(line(name, unit1, mfn, provisional, consumption));
        ImportInput in;
        in.customsValue = dec(value);
        in.quantities = ::quantities(quantities);
        const duty::ImportTaxes t = calc.compute(in);
        QCOMPARE(shown(t.duty), duty);
        QCOMPARE(shown(t.consumption), consumptionTax);
        QCOMPARE(shown(t.vat), vat);
        for (const duty::TaxFigure *f : {&t.duty, &t.consumption, &t.vat}) {
            if (f->computed)
                QVERIFY2(f->formula.endsWith(duty::yuan(f->amount)), qPrintable(f->formula));
        }
    }

    void generalOriginIgnoresTheProvisionalRate()
    {
        const ImportTaxCalculator calc(line("机器", "台", "9%", "5%", "0%"));
        ImportInput in;
        in.customsValue = dec("1000");
        in.origin = Origin::General;
        QCOMPARE(shown(calc.compute(in).duty), QStringLiteral("500.00")); // 1000 × 50%
    }

    // Taxes of 50 yuan or less are not collected; the total leaves them out only when asked.
    void smallTaxesAndTheTotal()
    {
        const ImportTaxCalculator calc(line("机器", "台", "5%", "", "0%"));
        ImportInput in;
        in.customsValue = dec("1000"); // duty 50.00 (not collected), VAT 136.50
        const duty::ImportTaxes t = calc.compute(in);
        QVERIFY(t.duty.belowCollection);
        QVERIFY(!t.vat.belowCollection);
        QVERIFY(!t.consumption.belowCollection); // nought is nothing to leave out
        QCOMPARE(duty::yuan(t.total(true)), QStringLiteral("136.50"));
        QCOMPARE(duty::yuan(t.total(false)), QStringLiteral("186.50"));
    }

    void quantityUnitsFollowTheRates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("unit1");
        QTest::addColumn<QString>("mfn");
        QTest::addColumn<QString>("consumption");
        QTest::addColumn<QStringList>("units");
        QTest::newRow("ad valorem only") << "机器" << "台" << "9%" << "0%" << QStringList{};
        QTest::newRow("specific duty") << "鸡块" << "千克" << "0.8元/千克" << "0%" << QStringList{"千克"};
        QTest::newRow("nought specific needs nothing") << "啤酒" << "升" << "0元/升" << "0%" << QStringList{};
        QTest::newRow("beer's condition per litre")
            << "啤酒" << "升" << "0元/升"
            << "完税价大于等于2.64295885元：0.253元/升，完税价小于2.64295885元：0.2227元/升。"
            << QStringList{"升"};
        QTest::newRow("volume cosmetics")
            << "包装标注含量以体积计的香水" << "千克" << "3%"
            << "完税价大于等于10000元：15%，完税价小于10000元：0。" << QStringList{"升"};
        QTest::newRow("statutory unit first")
            << "燃料" << "升" << "2元/千克" << "20%+0.912元/升" << QStringList{"升", "千克"};
    }
    void quantityUnitsFollowTheRates()
    {
        QFETCH(QString, name);
        QFETCH(QString, unit1);
        QFETCH(QString, mfn);
        QFETCH(QString, consumption);
        QFETCH(QStringList, units);
        const ImportTaxCalculator calc(line(name, unit1, mfn, "", consumption));
        QCOMPARE(calc.quantityUnits(Origin::MostFavoured), units);
    }

    void exportDutyAndRebate()
    {
        tariff::TariffRecord r;
        r.exportTaxRate = QStringLiteral("20%");
        r.exportProvisionalRate = QStringLiteral("10%");
        r.exportRebate = QStringLiteral("9%,13%");
        const duty::ExportTaxCalculator calc(r);
        // provisional export rate: 11000 ÷ 1.1 × 10% = 1000
        QCOMPARE(shown(calc.duty(dec("11000"))), QStringLiteral("1000.00"));
        QCOMPARE(calc.rebateRates(), (QStringList{"9%", "13%"}));
        // 10000 × 13% = 1300
        QCOMPARE(shown(calc.rebate(dec("10000"), 1)), QStringLiteral("1300.00"));
        QVERIFY(!calc.rebate(dec("10000"), 2).computed);

        tariff::TariffRecord none;
        const duty::ExportTaxCalculator free(none);
        const duty::TaxFigure f = free.duty(dec("5000"));
        QVERIFY(f.computed);
        QVERIFY(f.amount.isZero());
        QCOMPARE(free.rebate(dec("100"), 0).problem, QStringLiteral("无法自动计算：税则未列退税率"));
    }
};

KIV_TEST_APPLESS_MAIN(tst_TaxCalculator)
#include "tst_taxcalculator.moc"
