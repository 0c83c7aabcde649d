#include "core/find/FindExpressionBuilder.h"
#include "support/TestMain.h"

#include <QtTest>

using kiv::FindExpressionBuilder;

class tst_findexpressionbuilder : public QObject
{
    Q_OBJECT
private slots:
    void exactExpressions()
    {
        QCOMPARE(FindExpressionBuilder::nameSearch(QStringLiteral("马"), QStringLiteral("C")),
                 QStringLiteral("Name= '马'"));
        QCOMPARE(FindExpressionBuilder::codeSearch(QStringLiteral("Code"), QStringLiteral("0101"), QStringLiteral("C")),
                 QStringLiteral("Code= '0101'"));
        QCOMPARE(FindExpressionBuilder::codeSearch(QStringLiteral("jmw_code"), QStringLiteral(" 01 "),
                                                   QStringLiteral("C")),
                 QStringLiteral("jmw_code= ' 01 '"));
        // The "+" means nothing in an exact search.
        QCOMPARE(FindExpressionBuilder::nameSearch(QStringLiteral("a+b"), QStringLiteral("C")),
                 QStringLiteral("Name= 'a+b'"));
    }

    void partsOfAName_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one term") << "a" << " (Name like '%a%')";
        QTest::newRow("three terms") << "a+b+c" << "(Name like '%a%') And(Name like '%b%') And (Name like '%c%')";
        QTest::newRow("trailing plus") << "a+" << "(Name like '%a%') And (Name like '%%')";
        QTest::newRow("leading plus") << "+a" << " (Name like '%+a%')";
        QTest::newRow("doubled plus") << "a++b" << "(Name like '%a%') And (Name like '%+b%')";
        QTest::newRow("only plus") << "+" << " (Name like '%+%')";
        QTest::newRow("wildcards kept") << "5%_x" << " (Name like '%5%_x%')";
    }
    void partsOfAName()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(FindExpressionBuilder::nameSearch(input, QStringLiteral("M")), expected);
    }

    void partsOfACode()
    {
        QCOMPARE(FindExpressionBuilder::codeSearch(QStringLiteral("Code"), QStringLiteral("01+02"), QStringLiteral("M")),
                 QStringLiteral(" (Code like '%01%') And (Code like '%02%')"));
        QCOMPARE(FindExpressionBuilder::codeSearch(QStringLiteral("jmw_code"), QStringLiteral("01"), QStringLiteral("X")),
                 QStringLiteral(" (jmw_code like '%01%')"));
        QCOMPARE(FindExpressionBuilder::codeSearch(QStringLiteral("Code"), QStringLiteral("1+2+"), QStringLiteral("M")),
                 QStringLiteral(" (Code like '%1%') And (Code like '%2%') And (Code like '%%')"));
    }

    void quotesAndTildesAreEscaped()
    {
        QCOMPARE(FindExpressionBuilder::escapeLiteral(QStringLiteral("a'b~c")), QStringLiteral("a~'b~~c"));
        QCOMPARE(FindExpressionBuilder::nameSearch(QStringLiteral("O'Neil"), QStringLiteral("C")),
                 QStringLiteral("Name= 'O~'Neil'"));
        QCOMPARE(FindExpressionBuilder::nameSearch(QStringLiteral("it's+~"), QStringLiteral("M")),
                 QStringLiteral("(Name like '%it~'s%') And (Name like '%~~%')"));
        QCOMPARE(FindExpressionBuilder::codeEquals(QStringLiteral("code"), QStringLiteral("01'")),
                 QStringLiteral("code='01~''"));
    }
};

KIV_TEST_GUILESS_MAIN(tst_findexpressionbuilder)
#include "tst_findexpressionbuilder.moc"
