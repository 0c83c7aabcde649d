#include "core/sheet/CopyFormats.h"
#include "core/sheet/SheetContent.h"
#include "support/TestMain.h"

#include <QtTest>

using sheet::SheetContent;

namespace {
const tariff::CodeList kCertificates({{QStringLiteral("A"), QStringLiteral("检验检疫")},
                                      {QStringLiteral("B"), QStringLiteral("电子底账")},
                                      {QStringLiteral("4"), QStringLiteral("出口许可证")}});
const tariff::CodeList kCategories({{QStringLiteral("P"), QStringLiteral("进境动植物、动植物产品检疫")},
                                    {QStringLiteral("Q"), QStringLiteral("出境动植物、动植物产品检疫")},
                                    {QStringLiteral("M"), QStringLiteral("进口商品检验")}});

QString rowsOf(const SheetContent &content, const QString &group)
{
    for (const auto &g : content.groups) {
        if (g.title == group) {
            QStringList rows;
            for (const auto &r : g.rows)
                rows.append(r.caption + QLatin1Char('=') + r.value);
            return rows.join(QLatin1Char('|'));
        }
    }
    return QStringLiteral("<no group>");
}
} // namespace

class tst_SheetContent : public QObject
{
    Q_OBJECT
private slots:
    void tariffLineFields_data()
    {
        QTest::addColumn<QString>("supervision");
        QTest::addColumn<QString>("inspection");
        QTest::addColumn<QString>("elements");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("expected");
        const QString full = QStringLiteral("1:品牌类型;2:出口享惠情况;3:是否改良种用");
        QTest::newRow("letters with their names") << "4AB" << "P/Q" << full << "监管条件"
                                                  << "4=出口许可证|A=检验检疫|B=电子底账";
        QTest::newRow("an unknown letter is kept") << "AZ" << "" << full << "监管条件" << "A=检验检疫|Z=(未知)";
        QTest::newRow("no supervision") << "" << "" << full << "监管条件" << "监管条件=无";
        QTest::newRow("inspection by letter, not by slash") << "" << "MQ" << full << "检验检疫"
            << "进口=M 进口商品检验|出口=Q 出境动植物、动植物产品检疫";
        QTest::newRow("unknown category") << "" << "P.X/Q" << full << "检验检疫"
            << "进口=P 进境动植物、动植物产品检疫；X (未知)|出口=Q 出境动植物、动植物产品检疫";
        QTest::newRow("no inspection") << "" << "" << full << "检验检疫" << "进口=无|出口=无";
        QTest::newRow("elements numbered in order") << "" << "" << full << "申报要素"
                                                    << "1=品牌类型|2=出口享惠情况|3=是否改良种用";
        QTest::newRow("elements without numbers, doubled and trailing separators")
            << "" << "" << "品牌类型;;用途;" << "申报要素" << "1=品牌类型|2=用途";
        QTest::newRow("no elements") << "" << "" << "" << "申报要素" << "申报要素=无";
    }

    void tariffLineFields()
    {
        QFETCH(QString, supervision);
        QFETCH(QString, inspection);
        QFETCH(QString, elements);
        QFETCH(QString, group);
        QFETCH(QString, expected);
        tariff::TariffRecord record;
        record.code = QStringLiteral("0101210010");
        record.name = QStringLiteral("改良种用濒危野马");
        record.supervisionConditions = supervision;
        record.inspectionCategory = inspection;
        record.declarationElements = elements;
        const SheetContent content = SheetContent::forTariffLine(record, kCertificates, kCategories);
        QCOMPARE(rowsOf(content, group), expected);
        // Empty rates read "无", never an empty gap.
        QCOMPARE(rowsOf(content, QStringLiteral("出口")), QStringLiteral("出口税率=无|出口暂定税率=无|出口退税率=无"));
        QVERIFY(content.missingNote.isEmpty());
    }

    void missingTablesAreNamed()
    {
        tariff::TariffRecord record;
        record.code = QStringLiteral("0101210010");
        record.missingFields = {QStringLiteral("provisionalRate"), QStringLiteral("declarationElements")};
        const SheetContent content = SheetContent::forTariffLine(record, tariff::CodeList(), kCategories);
        QVERIFY(content.missingNote.contains(QStringLiteral("暂定税率")));
        QVERIFY(content.missingNote.contains(QStringLiteral("申报要素")));
        QVERIFY(content.missingNote.contains(QStringLiteral("监管证件名称")));
        QVERIFY(!content.missingNote.contains(QStringLiteral("检验检疫类别名称")));
        QVERIFY(content.toText().endsWith(content.missingNote + QLatin1Char('\n')));
    }

    void headingShowsItsPathAndWhatIsBelow()
    {
        const SheetContent content = SheetContent::forCode(
            QStringLiteral("hs"), QStringLiteral("010121"), QStringLiteral("Pure-bred"),
            {{QStringLiteral("01"), QStringLiteral("活动物")}, {QStringLiteral("0101"), QString()}}, 3, 2);
        QCOMPARE(rowsOf(content, QStringLiteral("编码路径")), QStringLiteral("01=活动物|0101=无"));
        QCOMPARE(rowsOf(content, QStringLiteral("下级")), QStringLiteral("下级编码=3|十位商品编码=2"));
        QCOMPARE(content.toText().section(QLatin1Char('\n'), 0, 2),
                 QStringLiteral("[商品]\n编码: 010121\n名称: Pure-bred"));
    }

    void copyFormats_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("digits");
        QTest::newRow("plain") << "0101210010" << "0101210010";
        QTest::newRow("dots and spaces") << "0101.21 00-10" << "0101210010";
        QTest::newRow("leading zeros stay") << "01" << "01";
    }

    void copyFormats()
    {
        QFETCH(QString, code);
        QFETCH(QString, digits);
        QCOMPARE(sheet::CopyFormats::code(code), digits);
        QCOMPARE(sheet::CopyFormats::codeAndName(code, QStringLiteral(" 马 ")), digits + QStringLiteral(" 马"));
    }

    void elementsTemplateOfTheFirstHorse()
    {
        QCOMPARE(sheet::CopyFormats::elementsTemplate(
                     QStringLiteral("1:品牌类型;2:出口享惠情况;3:是否改良种用;4:品种;5:GTIN;6:CAS;7:其他")),
                 QStringLiteral("品牌类型|出口享惠情况|是否改良种用|品种|GTIN|CAS|其他"));
        QCOMPARE(sheet::CopyFormats::elementsTemplate(QString()), QString());
    }
};

KIV_TEST_MAIN(tst_SheetContent)
#include "tst_sheetcontent.moc"
