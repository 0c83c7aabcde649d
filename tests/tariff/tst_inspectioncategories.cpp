#include "core/tariff/InspectionCategories.h"
#include "support/TestMain.h"

#include <QtTest>

using tariff::CodeList;
using tariff::InspectionCategories;

namespace {
QString codes(const QList<tariff::CodeEntry> &entries)
{
    QStringList out;
    for (const auto &e : entries)
        out << (e.known ? e.code : e.code + QLatin1Char('?'));
    return out.join(QLatin1Char(','));
}
} // namespace

class tst_InspectionCategories : public QObject
{
    Q_OBJECT
private slots:
    void lettersGoToTheirOwnSide_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("imports");
        QTest::addColumn<QString>("exports");
        QTest::newRow("import/export") << "P/Q" << "P" << "Q";
        QTest::newRow("dotted") << "M.P/N.Q" << "M,P" << "N,Q";
        QTest::newRow("export letter before the slash") << "N/M" << "M" << "N";
        QTest::newRow("no slash, both sides") << "MN" << "M" << "N";
        QTest::newRow("export only") << "N" << "" << "N";
        QTest::newRow("repeated letter once") << "P.P/Q.Q" << "P" << "Q";
        QTest::newRow("full-width slash") << "R／S" << "R" << "S";
        QTest::newRow("unknown letter keeps its side") << "X/Y" << "X?" << "Y?";
        QTest::newRow("unknown letter without slash is import") << "Z" << "Z?" << "";
        QTest::newRow("spaces and punctuation") << " L , V / W " << "L,V" << "W";
        QTest::newRow("empty") << "" << "" << "";
    }
    void lettersGoToTheirOwnSide()
    {
        QFETCH(QString, text);
        QFETCH(QString, imports);
        QFETCH(QString, exports);
        const CodeList list({{"L", "民用商品入境验证"}, {"M", "进口商品检验"}, {"N", "出口商品检验"},
                             {"P", "进境动植物、动植物产品检疫"}, {"Q", "出境动植物、动植物产品检疫"},
                             {"R", "进口食品卫生监督检验"}, {"S", "出口食品卫生监督检验"},
                             {"V", "进境卫生检疫"}, {"W", "出境卫生检疫"}});
        const auto split = InspectionCategories::split(text, list);
        QCOMPARE(codes(split.imports), imports);
        QCOMPARE(codes(split.exports), exports);
    }

    void namesComeFromTheList()
    {
        const auto split = InspectionCategories::split(QStringLiteral("P/Q"), CodeList({{"P", "进境检疫"}}));
        QCOMPARE(split.imports.value(0).name, QStringLiteral("进境检疫"));
        QVERIFY(split.exports.value(0).name.isEmpty());
        QVERIFY(!split.exports.value(0).known);
    }
};

KIV_TEST_APPLESS_MAIN(tst_InspectionCategories)
#include "tst_inspectioncategories.moc"
