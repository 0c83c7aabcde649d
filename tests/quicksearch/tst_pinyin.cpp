#include "core/quicksearch/IcuTransliterator.h"
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
    void readsNames_data();
    void readsNames();
    void readingsKeepPositions();
    void tableReadsAsIcu_data();
    void tableReadsAsIcu();
};

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
    QCOMPARE(syllables(Pinyin::readingsOf(text)), expected);
}

void tst_Pinyin::readingsKeepPositions()
{
    const QList<Pinyin::Reading> mixed = Pinyin::readingsOf(QStringLiteral("USB接口（乐器）"));
    QCOMPARE(mixed.size(), 4);
    QCOMPARE(mixed[0], (Pinyin::Reading{3, 1, "jie"}));
    QCOMPARE(mixed[2], (Pinyin::Reading{6, 1, "yue"}));
    // A character outside the BMP takes two units; the next one's place must not slip.
    const QList<Pinyin::Reading> wide = Pinyin::readingsOf(QString::fromUcs4(U"\U00020000马"));
    QVERIFY(!wide.isEmpty());
    QCOMPARE(wide.back(), (Pinyin::Reading{2, 1, "ma"}));
    QCOMPARE(Pinyin::tableReading(QStringLiteral("乐器")), QStringLiteral("yue qi"));
    QVERIFY(Pinyin::tableReading(QStringLiteral("马")).isEmpty());
}

void tst_Pinyin::tableReadsAsIcu_data()
{
    QTest::addColumn<uint>("first");
    QTest::addColumn<uint>("last");
    QTest::newRow("radicals and Kangxi radicals") << 0x2E80u << 0x2FDFu;
    QTest::newRow("extension A") << 0x3400u << 0x4DBFu;
    QTest::newRow("unified ideographs") << 0x4E00u << 0x9FFFu;
    QTest::newRow("compatibility ideographs") << 0xF900u << 0xFAFFu;
    QTest::newRow("extension B, start") << 0x20000u << 0x20FFFu;
    QTest::newRow("extensions C to F") << 0x2A700u << 0x2EBEFu;
}

// The table the build made gives each character the syllable ICU's own Han-Latin reading gives
// it, a character every few code points across each block.
void tst_Pinyin::tableReadsAsIcu()
{
    QFETCH(uint, first);
    QFETCH(uint, last);
    const quicksearch::IcuTransliterator icu(QStringLiteral("Han-Latin; Latin-ASCII"));
    QVERIFY2(icu.isValid(), "ICU has no Han-Latin transliteration");
    QList<char32_t> characters;
    QString batch;
    for (char32_t c = first; c <= last; c += 7) {
        if (QChar::script(c) != QChar::Script_Han)
            continue;
        characters.append(c);
        batch += QString::fromUcs4(&c, 1) + u'\n';
    }
    const QStringList lines = icu.transliterate(batch).split(u'\n');
    QCOMPARE(lines.size(), characters.size() + 1);
    int read = 0;
    for (qsizetype i = 0; i < characters.size(); ++i) {
        QString expected;
        for (QChar ch : lines[i]) {
            if (ch.unicode() < 0x80 && ch.isLetter())
                expected.append(ch.toLower());
            else if (!expected.isEmpty())
                break;
        }
        read += expected.isEmpty() ? 0 : 1;
        QVERIFY2(Pinyin::syllableOf(characters[i]) == expected,
                 qPrintable(QStringLiteral("U+%1: %2, ICU %3")
                                .arg(uint(characters[i]), 0, 16)
                                .arg(Pinyin::syllableOf(characters[i]), expected)));
    }
    QVERIFY(characters.size() > 10);
    // Every block has readings (a block of empty table entries agrees with ICU's gaps alone).
    QVERIFY(read * 20 > characters.size());
}

KIV_TEST_GUILESS_MAIN(tst_Pinyin)
#include "tst_pinyin.moc"
