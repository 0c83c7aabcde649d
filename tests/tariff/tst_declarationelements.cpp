#include "core/tariff/DeclarationElements.h"
#include "support/TestMain.h"

#include <QtTest>

using tariff::DeclarationElements;

class tst_DeclarationElements : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("numbered") << "1:品牌类型;2:出口享惠情况;3:品种"
                                  << QStringList{"品牌类型", "出口享惠情况", "品种"};
        QTest::newRow("full-width colon and separator") << "1：品牌类型；2：用途"
                                                        << QStringList{"品牌类型", "用途"};
        QTest::newRow("full-width separator inside a name") << "1:外观（颜色；形状）;2:GTIN"
                                                             << QStringList{"外观（颜色；形状）", "GTIN"};
        QTest::newRow("trailing and empty elements") << "1:品名;;2:用途;" << QStringList{"品名", "用途"};
        QTest::newRow("without numbers") << "品名;用途" << QStringList{"品名", "用途"};
        QTest::newRow("blanks around") << "  1 : 品名 ; 2 : 用途  " << QStringList{"品名", "用途"};
        QTest::newRow("none") << "无" << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("only separators") << ";;；" << QStringList{};
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        QCOMPARE(DeclarationElements::parse(text), names);
    }

    void templateLineJoinsTheNames()
    {
        const QString line = DeclarationElements::templateLine(
            DeclarationElements::parse(QStringLiteral("1:品牌类型;2:出口享惠情况;3:GTIN")));
        QCOMPARE(line, QStringLiteral("品牌类型|出口享惠情况|GTIN"));
        QVERIFY(DeclarationElements::templateLine({}).isEmpty());
    }
};

KIV_TEST_APPLESS_MAIN(tst_DeclarationElements)
#include "tst_declarationelements.moc"
