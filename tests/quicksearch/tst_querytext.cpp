#include "core/quicksearch/QueryText.h"
#include "support/TestMain.h"

#include <QTest>

using quicksearch::QueryText;

class tst_QueryText : public QObject
{
    Q_OBJECT
private slots:
    void splitsCodeAndWords_data();
    void splitsCodeAndWords();
    void hugeInputIsCut_data();
    void hugeInputIsCut();
    void foldingKeepsPositions_data();
    void foldingKeepsPositions();
};

void tst_QueryText::splitsCodeAndWords_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("dotted code") << "0101.21" << "010121" << QStringList();
    QTest::newRow("code in groups") << "0101 21 00 10" << "0101210010" << QStringList();
    QTest::newRow("dashed code") << "8471-30" << "847130" << QStringList();
    QTest::newRow("full-width digits") << "０１０１．２１" << "010121" << QStringList();
    QTest::newRow("code and word") << "8471 笔记本" << "8471" << QStringList{"笔记本"};
    QTest::newRow("full-width letters") << "ＡＢ" << "" << QStringList{"ab"};
    QTest::newRow("blanks and case") << "  Nucl \t React  " << "" << QStringList{"nucl", "react"};
    QTest::newRow("newline splits") << "牛\n其他" << "" << QStringList{"牛", "其他"};
    QTest::newRow("ideographic space") << "牛　其他" << "" << QStringList{"牛", "其他"};
    QTest::newRow("ascii word split at punctuation") << "non-alloy" << "" << QStringList{"non", "alloy"};
    QTest::newRow("brackets trimmed") << "（其他）" << "" << QStringList{"其他"};
    QTest::newRow("inner punctuation kept") << "马（濒危" << "" << QStringList{"马(濒危"};
    QTest::newRow("letters with digits") << "5G 模组" << "" << QStringList{"5g", "模组"};
    QTest::newRow("empty") << "" << "" << QStringList();
    QTest::newRow("blanks only") << " \t\n " << "" << QStringList();
    QTest::newRow("percent") << "%" << "" << QStringList();
    QTest::newRow("underscore") << "_" << "" << QStringList();
    QTest::newRow("quote") << "'" << "" << QStringList();
    QTest::newRow("regex characters") << ".*[(\\" << "" << QStringList();
    QTest::newRow("dot and dash only") << ". - .." << "" << QStringList();
    QTest::newRow("plus between codes") << "8471+8473" << "" << QStringList{"8471", "8473"};
}

void tst_QueryText::splitsCodeAndWords()
{
    QFETCH(QString, input);
    QFETCH(QString, code);
    QFETCH(QStringList, words);
    const QueryText query = QueryText::parse(input);
    QCOMPARE(query.code(), code);
    QCOMPARE(query.words(), words);
    QCOMPARE(query.isEmpty(), code.isEmpty() && words.isEmpty());
}

void tst_QueryText::hugeInputIsCut_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("10,000 Chinese characters") << QString(10000, u'马');
    QTest::newRow("10,000 digits") << QString(10000, u'1');
    QTest::newRow("pair at the cut") << QString(QueryText::kMaxLength - 1, u'a') + QString::fromUcs4(U"\U00020000x");
    QTest::newRow("compatibility characters that grow") << QString(5000, u'㎏');
}

void tst_QueryText::hugeInputIsCut()
{
    QFETCH(QString, input);
    const QueryText query = QueryText::parse(input);
    const QString kept = query.code() + query.words().join(QString());
    QVERIFY(!kept.isEmpty());
    QVERIFY(kept.size() <= QueryText::kMaxLength);
    QVERIFY(!kept.back().isHighSurrogate());
}

void tst_QueryText::foldingKeepsPositions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("folded from the first character") << QStringLiteral("ＡＢ（马）Ｘ光机") << QStringLiteral("ab(马)x光机");
    QTest::newRow("folded after an unchanged start") << QStringLiteral("马匹Ｘ光机") << QStringLiteral("马匹x光机");
    QTest::newRow("folded at the end only") << QStringLiteral("活马Ａ") << QStringLiteral("活马a");
    QTest::newRow("nothing to fold") << QStringLiteral("改良种用马") << QStringLiteral("改良种用马");
    QTest::newRow("empty") << QString() << QString();
}

void tst_QueryText::foldingKeepsPositions()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const QString folded = QueryText::fold(name);
    QCOMPARE(folded, expected);
    QCOMPARE(folded.size(), name.size());
    if (name == expected && !name.isEmpty())
        QCOMPARE(folded.constData(), name.constData()); // shared with the input, not copied
}

KIV_TEST_GUILESS_MAIN(tst_QueryText)
#include "tst_querytext.moc"
