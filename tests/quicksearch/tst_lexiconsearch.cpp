#include "core/quicksearch/GoodsRanking.h"
#include "core/quicksearch/Lexicon.h"
#include "core/quicksearch/ResultModel.h"
#include "core/quicksearch/SearchIndex.h"
#include "support/TestMain.h"

#include <QTemporaryDir>
#include <QTest>

using quicksearch::CodeList;
using quicksearch::DictionaryLine;
using quicksearch::IndexRow;
using quicksearch::Lexicon;
using quicksearch::SearchIndex;

namespace {

QList<DictionaryLine> linesOf(const QStringList &texts)
{
    QList<DictionaryLine> lines;
    for (const QString &text : texts)
        lines.append({int(lines.size()) + 1, text});
    return lines;
}

// Names of the bundled tariff where the goods and their parts share words.
SearchIndex sampleIndex(std::shared_ptr<const Lexicon> lexicon)
{
    const auto hs = [](const char *code, const char *name) {
        return IndexRow{CodeList::Customs, QString::fromLatin1(code), QString::fromUtf8(name), {}, {}};
    };
    return SearchIndex::build(
        {hs("7003190002", "手机或平板电脑盖板（包括前盖、后盖）用原板玻璃"),
         hs("9006610001", "照相手机用闪光灯组件"), hs("8517130000", "智能手机"),
         hs("2939300000", "咖啡因及其盐"), hs("0901110000", "未浸除咖啡碱的未焙炒咖啡"),
         hs("8516711000", "滴液式咖啡机"), hs("4013100000", "汽车用橡胶内胎，轮胎用"),
         hs("4011709000", "其他新的充气橡胶轮胎"), hs("8205400090", "其他螺丝刀"),
         hs("7318159090", "其他螺钉及螺栓"), hs("8507600090", "其他锂离子蓄电池"),
         hs("8421219900", "其他净化装置"), hs("3304910090", "其他粉状化妆品,不论是否压紧"),
         hs("8517629400", "无线耳机"), hs("8518300000", "耳机、耳塞机"),
         hs("8471309000", "其他便携式自动数据处理设备"), hs("8473302000", "笔记本电脑用显示模块")},
        {}, std::move(lexicon));
}

std::shared_ptr<const Lexicon> sampleLexicon()
{
    return Lexicon::make(linesOf({"手机 4789", "咖啡 600", "轮胎 311", "螺丝 47", "电池 900", "蓝牙 158",
                                  "耳机 270", "化装 30", "净化 200", "装置 800", "化妆品 458", "笔记本 930",
                                  "电脑 3427"}),
                         linesOf({"螺丝\t螺钉", "充电宝\t锂离子蓄电池", "laptop\t便携式自动数据处理设备",
                                  "笔记本电脑\t便携式自动数据处理设备"}));
}

} // namespace

class tst_LexiconSearch : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_index = sampleIndex(sampleLexicon()); }
    void goodsBeforeTheirParts_data();
    void goodsBeforeTheirParts();
    void goodsScore_data();
    void goodsScore();
    void badDictionaryLinesAreNamed_data();
    void badDictionaryLinesAreNamed();
    void unreadableFilesAreNamedAndSearchStillWorks_data();
    void unreadableFilesAreNamedAndSearchStillWorks();
    void namesMappedToEachOtherDoNotLoop();
    void segmentsTheMostProbableWay();
    void badInputIsHarmless_data();
    void badInputIsHarmless();
    void theLineSaysWhy();
    void theHeadingMostLinesShareFirst();
    void theWordsAsTypedFirst_data();
    void theWordsAsTypedFirst();
    void aNoteHoldingTheWholeInputBeforePartialNames_data();
    void aNoteHoldingTheWholeInputBeforePartialNames();

private:
    SearchIndex m_index;
};

void tst_LexiconSearch::goodsBeforeTheirParts_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("reason");
    QTest::newRow("手机: the phone before its glass and flash") << "手机" << "8517130000" << "";
    QTest::newRow("咖啡: the beans before caffeine and the machine") << "咖啡" << "0901110000" << "";
    QTest::newRow("轮胎: the tyre before the tube used with it") << "轮胎" << "4011709000" << "";
    QTest::newRow("螺丝: screws (everyday name) before the screwdriver")
        << "螺丝" << "7318159090" << "螺丝 → 螺钉";
    QTest::newRow("everyday name") << "充电宝" << "8507600090" << "充电宝 → 锂离子蓄电池";
    QTest::newRow("english everyday name, any case") << "LapTop" << "8471309000"
                                                     << "laptop → 便携式自动数据处理设备";
    QTest::newRow("everyday name before the part named like it") << "笔记本电脑" << "8471309000"
                                                                 << "笔记本电脑 → 便携式自动数据处理设备";
    QTest::newRow("a word no name holds is split: 锂 + 电池") << "锂电池" << "8507600090" << "";
    QTest::newRow("words without blanks: 蓝牙 + 耳机, the head kept") << "蓝牙耳机" << "8517629400" << "";
    QTest::newRow("sound-alike before 化装 inside 净化装置") << "化装品" << "3304910090" << "按读音：化妆品";
    QTest::newRow("parts asked for: the parts first") << "手机用" << "7003190002" << "";
}

void tst_LexiconSearch::goodsBeforeTheirParts()
{
    QFETCH(QString, input);
    QFETCH(QString, first);
    QFETCH(QString, reason);
    const quicksearch::Answer answer = m_index.search(input, 5);
    QVERIFY2(!answer.hits.isEmpty(), qPrintable(input));
    QCOMPARE(m_index.row(answer.hits.front().row).code, first);
    QCOMPARE(answer.hits.front().reason, reason);
    QVERIFY(!answer.hits.front().nameSpans.isEmpty());
}

void tst_LexiconSearch::goodsScore_data()
{
    QTest::addColumn<QString>("better");
    QTest::addColumn<QString>("worse");
    QTest::addColumn<QString>("word");
    QTest::newRow("head before modifier") << "未焙炒咖啡" << "咖啡因及其盐" << "咖啡";
    QTest::newRow("the goods before 用 after") << "智能手机" << "照相手机用闪光灯组件" << "手机";
    QTest::newRow("用 before the word is no part") << "航空器用新的充气橡胶轮胎" << "轮胎翻新用胎面" << "轮胎";
    QTest::newRow("零件 marks a part") << "其他螺钉及螺栓" << "螺钉零件" << "螺钉";
    QTest::newRow("用于…的 around the word") << "木螺钉" << "用于木螺钉的垫圈" << "木螺钉";
    QTest::newRow("first phrase before a later one") << "轮胎，其他" << "其他，轮胎" << "轮胎";
    QTest::newRow("食用 is an adjective, not used-for") << "鱼，食用" << "鱼用饲料" << "鱼";
    QTest::newRow("a thing fitted with the word") << "活塞引擎" << "装有活塞引擎的摩托车" << "引擎";
    QTest::newRow("inside brackets only explains") << "柴油发动机" << "小轿车（柴油发动机,排量≤1升）" << "发动机";
}

void tst_LexiconSearch::goodsScore()
{
    QFETCH(QString, better);
    QFETCH(QString, worse);
    QFETCH(QString, word);
    QVERIFY2(quicksearch::goodsScore(better, word, false) > quicksearch::goodsScore(worse, word, false),
             qPrintable(better + QStringLiteral(" / ") + worse));
    QCOMPARE(quicksearch::goodsScore(QStringLiteral("其他"), word, false), 0);
}

void tst_LexiconSearch::badDictionaryLinesAreNamed_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("problem");
    QTest::newRow("one field") << "手机 智能手机" << "第 2 行：应为两栏";
    QTest::newRow("three fields") << "手机\t智能手机\t电话" << "第 2 行：应为两栏";
    QTest::newRow("empty name") << "\t智能手机" << "第 2 行：俗名或税则用语为空";
    QTest::newRow("empty term") << "手机\t | " << "第 2 行：俗名或税则用语为空";
    QTest::newRow("maps to itself") << "手机\t手机" << "第 2 行：“手机”对应它自己";
    QTest::newRow("given twice, folded") << "LAPTOP\t电脑" << "第 2 行：“laptop”与第 1 行重复";
}

void tst_LexiconSearch::badDictionaryLinesAreNamed()
{
    QFETCH(QString, line);
    QFETCH(QString, problem);
    const auto lexicon = Lexicon::make({}, linesOf({"laptop\t便携式自动数据处理设备", line, "充电宝\t锂离子蓄电池"}));
    QCOMPARE(lexicon->problems.size(), 1);
    QVERIFY2(lexicon->problems.front().startsWith(QStringLiteral("搜索词典 everyday_names.txt ") + problem),
             qPrintable(lexicon->problems.front()));
    QCOMPARE(lexicon->everyday.size(), 2); // the good lines around it are used
    QCOMPARE(lexicon->everyday.termsOf(QStringLiteral("充电宝")), QStringList{QStringLiteral("锂离子蓄电池")});
}

void tst_LexiconSearch::unreadableFilesAreNamedAndSearchStillWorks_data()
{
    QTest::addColumn<QByteArray>("content"); // of everyday_names.txt; words.txt is missing
    QTest::addColumn<QString>("problem");
    QTest::newRow("empty") << QByteArray() << "搜索词典 everyday_names.txt 是空的，未使用。";
    QTest::newRow("notes only") << QByteArray("# nothing\n\n") << "搜索词典 everyday_names.txt 是空的，未使用。";
    QTest::newRow("not UTF-8") << QByteArray("\xca\xd6\xbb\xfa\t\xd6\xc7\xc4\xdc")
                               << "搜索词典 everyday_names.txt 不是 UTF-8 编码的文本，未使用。";
}

void tst_LexiconSearch::unreadableFilesAreNamedAndSearchStillWorks()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(Lexicon::everydayNamesFile()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    const auto lexicon = Lexicon::load(dir.path());
    QCOMPARE(lexicon->problems, (QStringList{QStringLiteral("找不到搜索词典 words.txt。"), problem}));
    const SearchIndex index = sampleIndex(lexicon);
    const quicksearch::Answer answer = index.search(QStringLiteral("手机"), 3);
    QVERIFY(!answer.hits.isEmpty());
    QCOMPARE(index.row(answer.hits.front().row).code, QStringLiteral("8517130000"));
}

void tst_LexiconSearch::namesMappedToEachOtherDoNotLoop()
{
    const auto lexicon = Lexicon::make({}, linesOf({"螺丝\t螺钉", "螺钉\t螺丝"}));
    QVERIFY(lexicon->problems.isEmpty());
    const SearchIndex index = sampleIndex(lexicon);
    QStringList codes;
    for (const auto &hit : index.search(QStringLiteral("螺钉")).hits)
        codes.append(index.row(hit.row).code);
    QCOMPARE(codes, (QStringList{QStringLiteral("7318159090"), QStringLiteral("8205400090")}));
}

void tst_LexiconSearch::segmentsTheMostProbableWay()
{
    const auto lexicon = sampleLexicon();
    QCOMPARE(lexicon->words.segment(u"蓝牙耳机"), (QStringList{QStringLiteral("蓝牙"), QStringLiteral("耳机")}));
    QCOMPARE(lexicon->words.segment(u"笔记本电脑"), QStringList{QStringLiteral("笔记本电脑")}); // an everyday name
    QCOMPARE(lexicon->words.segment(u"净化装置"), (QStringList{QStringLiteral("净化"), QStringLiteral("装置")}));
    QCOMPARE(lexicon->words.segment(u"锂x"), (QStringList{QStringLiteral("锂"), QStringLiteral("x")}));
    QVERIFY(lexicon->words.segment(u"").isEmpty());
}

void tst_LexiconSearch::badInputIsHarmless_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("most"); // matches at most
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blanks") << "   " << 0;
    QTest::newRow("punctuation") << "，。！" << 0;
    QTest::newRow("regular expression characters") << ".*[(手机" << 17;
    QTest::newRow("full-width") << "ｌａｐｔｏｐ" << 1;
    QTest::newRow("dictionary words, no tariff match") << "蓝牙" << 0;
    QTest::newRow("one character: no explosion") << "机" << 17;
    QTest::newRow("10,000 characters") << QString(10000, u'机') << 17;
}

void tst_LexiconSearch::badInputIsHarmless()
{
    QFETCH(QString, input);
    QFETCH(int, most);
    const quicksearch::Answer answer = m_index.search(input);
    QVERIFY2(answer.total <= most, qPrintable(QString::number(answer.total)));
    QCOMPARE(answer.hits.size(), answer.total);
}

void tst_LexiconSearch::theLineSaysWhy()
{
    quicksearch::ResultModel model;
    model.setAnswer(m_index, m_index.search(QStringLiteral("化装品"), 1));
    QCOMPARE(model.rowCount(), 1);
    const QModelIndex first = model.index(0, 0);
    QCOMPARE(first.data(quicksearch::ResultModel::ReasonRole).toString(), QStringLiteral("按读音：化妆品"));
    QVERIFY(first.data(Qt::AccessibleTextRole).toString().endsWith(QStringLiteral("（按读音：化妆品）")));
}

void tst_LexiconSearch::theHeadingMostLinesShareFirst()
{
    const auto hs = [](const char *code, const char *name) {
        return IndexRow{CodeList::Customs, QString::fromLatin1(code), QString::fromUtf8(name), {}, {}};
    };
    // Equal names but for their metal: the heading with two of them before the earlier code.
    const SearchIndex index = SearchIndex::build(
        {hs("7318160000", "钢制螺母"), hs("7415331000", "铜制螺母"), hs("7415339000", "黄铜制螺母")}, {},
        sampleLexicon());
    QStringList codes;
    for (const auto &hit : index.search(QStringLiteral("螺母")).hits)
        codes.append(index.row(hit.row).code);
    QCOMPARE(codes, (QStringList{QStringLiteral("7415331000"), QStringLiteral("7415339000"),
                                 QStringLiteral("7318160000")}));
    // Without a lexicon the order is the code's, as before.
    const SearchIndex plain = SearchIndex::build(
        {hs("7318160000", "钢制螺母"), hs("7415331000", "铜制螺母"), hs("7415339000", "黄铜制螺母")}, {});
    QCOMPARE(plain.row(plain.search(QStringLiteral("螺母")).hits.front().row).code, QStringLiteral("7318160000"));
}

// What the user typed, as typed, before what is found only through its parts or a wider term:
// a name holding the words themselves before one holding an everyday name's term, a note or
// keyword holding the whole input before names holding only some of its characters.
void tst_LexiconSearch::theWordsAsTypedFirst_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("first");
    QTest::newRow("the name holds the words: 铁钉 before 铆钉 (钉)") << "铁钉" << "7317000000";
    QTest::newRow("'及用' and '代用品' are not 'used for'") << "醋" << "2209000000";
    QTest::newRow("a keyword whole before names holding some characters") << "特选种马" << "0101210090";
    QTest::newRow("a note's words whole before sound and parts") << "客户甲" << "0101210090";
}

void tst_LexiconSearch::theWordsAsTypedFirst()
{
    QFETCH(QString, input);
    QFETCH(QString, first);
    const auto hs = [](const char *code, const char *name) {
        return IndexRow{CodeList::Customs, QString::fromLatin1(code), QString::fromUtf8(name), {}, {}};
    };
    IndexRow noted = hs("0101210090", "");
    noted.notes = QStringLiteral("客户甲的马，需核对证书 特选种马");
    noted.removed = true;
    const SearchIndex index = SearchIndex::build(
        {hs("7317000000", "铁钉、图钉、平头钉及类似品"), hs("7318230000", "铆钉"), hs("7318110000", "方头螺钉"),
         hs("2209000000", "醋及用醋酸制得的醋代用品"), hs("2001100000", "用醋或醋酸制作的黄瓜及小黄瓜"),
         hs("010121", "改良种用马"), hs("0101210010", "改良种用濒危野马"), noted},
        {}, Lexicon::make(linesOf({"铁钉 342", "醋 500", "黄瓜 300", "种 900", "马 900"}),
                          linesOf({"铁钉\t钉"})));
    const quicksearch::Answer answer = index.search(input, 5);
    QVERIFY2(!answer.hits.isEmpty(), qPrintable(input));
    QCOMPARE(index.row(answer.hits.front().row).code, first);
}

void tst_LexiconSearch::aNoteHoldingTheWholeInputBeforePartialNames_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("keyword against parts of a name") << "特选种马" << "0101210090" << "0101210010";
    QTest::newRow("note words against parts of names") << "手机电池" << "8517130001" << "";
    QTest::newRow("keyword against a sound-alike name") << "化装品" << "3304990001" << "3304910090";
}

void tst_LexiconSearch::aNoteHoldingTheWholeInputBeforePartialNames()
{
    QFETCH(QString, input);
    QFETCH(QString, first);
    QFETCH(QString, second);
    const auto hs = [](const char *code, const char *name, const char *notes = "", bool removed = false) {
        return IndexRow{CodeList::Customs, QString::fromLatin1(code), QString::fromUtf8(name), {},
                        QString::fromUtf8(notes), removed};
    };
    const SearchIndex index = SearchIndex::build(
        {hs("0101210010", "改良种用马"), hs("0101210090", "", "客户甲的马，需核对证书 特选种马", true),
         hs("8517130000", "智能手机"), hs("8507600090", "其他锂离子蓄电池"),
         hs("8517130001", "", "问过的手机电池，归入哪里", true), hs("3304910090", "其他粉状化妆品,不论是否压紧"),
         hs("3304990001", "", "化装品", true)},
        {}, sampleLexicon());
    const quicksearch::Answer answer = index.search(input, 5);
    QVERIFY2(answer.hits.size() >= 2, qPrintable(input));
    QCOMPARE(index.row(answer.hits.at(0).row).code, first);
    QCOMPARE(answer.hits.at(0).kind, quicksearch::MatchKind::Notes);
    if (!second.isEmpty())
        QCOMPARE(index.row(answer.hits.at(1).row).code, second);
}

KIV_TEST_GUILESS_MAIN(tst_LexiconSearch)
#include "tst_lexiconsearch.moc"
