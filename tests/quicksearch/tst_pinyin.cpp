#include "core/quicksearch/Pinyin.h"
#include "support/TestMain.h"

#include <QTest>

using quicksearch::Pinyin;

namespace {
QString syllables(const QList<Pinyin::Reading> &readings)
{
    QStringList parts;
    for (const Pinyin::Reading &reading : readings)
        parts.append(reading.syllable);
    return parts.join(u' ');
}
} // namespace

class tst_Pinyin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void readsNames_data();
    void readsNames();
    void readingsKeepPositions();
    void learningInOneCallReadsAsOneByOne();
};

void tst_Pinyin::initTestCase()
{
    QVERIFY2(Pinyin().isValid(), "ICU has no Han-Latin transliteration");
}

void tst_Pinyin::readsNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    // Plain ICU readings, tones and the umlaut taken off.
    QTest::newRow("plain") << "化妆品" << "hua zhuang pin";
    QTest::newRow("name of a line") << "改良种用濒危野马" << "gai liang zhong yong bin wei ye ma";
    QTest::newRow("umlaut") << "绿茶" << "lu cha";
    QTest::newRow("ICU right for 重量") << "重量" << "zhong liang";
    QTest::newRow("ICU right for 导弹") << "导弹" << "dao dan";
    // The table's corrections, alone and inside longer names.
    QTest::newRow("乐器") << "乐器" << "yue qi";
    QTest::newRow("弦乐器") << "其他弦乐器" << "qi ta xian yue qi";
    QTest::newRow("娱乐 stays le") << "娱乐" << "yu le";
    QTest::newRow("长丝") << "聚酯长丝" << "ju zhi chang si";
    QTest::newRow("生长 stays zhang") << "生长激素" << "sheng zhang ji su";
    QTest::newRow("银行") << "银行" << "yin hang";
    QTest::newRow("调节") << "调节器" << "tiao jie qi";
    QTest::newRow("人参") << "人参" << "ren shen";
    QTest::newRow("参数") << "参数" << "can shu";
    QTest::newRow("弹簧") << "弹簧" << "tan huang";
    QTest::newRow("着色") << "着色剂" << "zhuo se ji";
    QTest::newRow("重复") << "重复" << "chong fu";
    QTest::newRow("还原") << "还原铁" << "huan yuan tie";
    QTest::newRow("地板") << "地板" << "di ban";
    QTest::newRow("薄膜") << "薄膜" << "bo mo";
    QTest::newRow("模具") << "模具" << "mu ju";
    QTest::newRow("粘合") << "粘合剂" << "nian he ji";
    QTest::newRow("only non-Chinese") << "Horses; live" << "";
}

void tst_Pinyin::readsNames()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    Pinyin pinyin;
    QCOMPARE(syllables(pinyin.readingsOf(text)), expected);
}

void tst_Pinyin::readingsKeepPositions()
{
    Pinyin pinyin;
    const QList<Pinyin::Reading> mixed = pinyin.readingsOf(QStringLiteral("USB接口（乐器）"));
    QCOMPARE(mixed.size(), 4);
    QCOMPARE(mixed[0], (Pinyin::Reading{3, 1, "jie"}));
    QCOMPARE(mixed[2], (Pinyin::Reading{6, 1, "yue"}));
    // A character outside the BMP takes two units; the next one's place must not slip.
    const QList<Pinyin::Reading> wide = pinyin.readingsOf(QString::fromUcs4(U"\U00020000马"));
    QVERIFY(!wide.isEmpty());
    QCOMPARE(wide.back(), (Pinyin::Reading{2, 1, "ma"}));
    QCOMPARE(Pinyin::tableReading(QStringLiteral("乐器")), QStringLiteral("yue qi"));
    QVERIFY(Pinyin::tableReading(QStringLiteral("马")).isEmpty());
}

void tst_Pinyin::learningInOneCallReadsAsOneByOne()
{
    const QString text = QStringLiteral("化妆品长丝乐器濒危野马其他牛羊鸡鸭鹅驴骡蜂猛禽绵羊山羊一二〇");
    Pinyin batch;
    batch.learn({text, QStringLiteral("Tea 绿茶")});
    Pinyin single;
    for (QChar c : text)
        QCOMPARE(batch.syllableOf(c.unicode()), single.syllableOf(c.unicode()));
    QVERIFY(!batch.syllableOf(U'茶').isEmpty());
    QVERIFY(batch.syllableOf(U'A').isEmpty());
}

KIV_TEST_GUILESS_MAIN(tst_Pinyin)
#include "tst_pinyin.moc"
