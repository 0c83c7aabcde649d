#include "core/quicksearch/SearchIndex.h"
#include "support/TestMain.h"

#include <QTest>

#include <thread>

using quicksearch::Answer;
using quicksearch::CodeList;
using quicksearch::IndexRow;
using quicksearch::SearchIndex;

namespace {

// Rows of the bundled database, a few with notes of a user.
SearchIndex sampleIndex()
{
    const auto hs = [](const char *code, const char *name, const char *elements = "", const char *notes = "") {
        return IndexRow{CodeList::Customs, QString::fromUtf8(code), QString::fromUtf8(name),
                        QString::fromUtf8(elements), QString::fromUtf8(notes)};
    };
    const auto jmw = [](const char *code, const char *name) {
        return IndexRow{CodeList::ForeignTrade, QString::fromUtf8(code), QString::fromUtf8(name), {}, {}};
    };
    return SearchIndex::build(
        {
            hs("0101210010", "改良种用濒危野马", "1:品牌类型;2:出口享惠情况;3:是否改良种用;4:品种"),
            jmw("010121", "Horses; live, pure-bred breeding animals"),
            hs("01", "活动物"),
            hs("0101", "Horses, asses, mules and hinnies; live"),
            hs("010121", "Horses; live, pure-bred breeding animals"),
            hs("010129", "Horses; live, other than pure-bred breeding animals"),
            hs("0101290090", "非改良种用其他马"),
            hs("0102909090", "非改良种用其他牛", "", "品种 客户常用"),
            jmw("01", "活动物"),
            jmw("0101", "Horses, asses, mules and hinnies; live"),
            hs("0902", "Tea"),
            hs("3304", "Beauty or make-up preparations and preparations for the care of the skin"),
            hs("3304910090", "其他粉状化妆品,不论是否压紧"),
            hs("4104499090", "其他牛马皮革"),
            hs("7226919900", "其他"),
            hs("840110", "Nuclear reactors"),
            hs("9202900090", "其他弦乐器"),
            hs("9209300000", "乐器用的弦"),
            hs("5402340000", "聚丙烯长丝变形纱线"),
            hs("9602001000", "\xF0\xA0\x80\x80鞍具"), // U+20000, two QString units
        },
        {{CodeList::Customs, QStringLiteral("8471"), QStringLiteral("Automatic data processing machines"), {}, {}},
         {CodeList::Customs, QStringLiteral("8471300000"), QStringLiteral("便携式自动数据处理设备"), {}, {}}});
}

QString kindName(quicksearch::MatchKind kind)
{
    static const char *const names[] = {"ExactCode", "CodePrefix", "NameEqual", "NameStart", "NameWords",
                                        "Pinyin", "English", "DeclarationElements", "Notes", "NearestCode"};
    return QString::fromLatin1(names[int(kind)]);
}

// "hs:0101210010 ExactCode", with the marked parts of the name when there are any: "[濒危]".
QStringList describe(const SearchIndex &index, const Answer &answer)
{
    QStringList hits;
    for (const quicksearch::Hit &hit : answer.hits) {
        const IndexRow &row = index.row(hit.row);
        QString text = quicksearch::codeListKey(row.list) + u':' + row.code + u' ' + kindName(hit.kind);
        for (const quicksearch::Span &span : hit.nameSpans)
            text += QStringLiteral(" [") + row.name.mid(span.start, span.length) + u']';
        hits.append(text);
    }
    return hits;
}

} // namespace

class tst_SearchIndex : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_index = sampleIndex(); }
    void finds_data();
    void finds();
    void commonestReadingFirst_data();
    void commonestReadingFirst();
    void badInputIsHarmless_data();
    void badInputIsHarmless();
    void limitKeepsTheTotal();
    void emptyIndexAnswersNothing();
    void searchesFromSeveralThreads();

private:
    SearchIndex m_index;
};

void tst_SearchIndex::finds_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("first"); // the first hits, in order
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("notice");

    QTest::newRow("whole code") << "0101210010" << QStringList{"hs:0101210010 ExactCode"} << 1 << "";
    QTest::newRow("dotted code, both lists, then below")
        << "0101.21" << QStringList{"hs:010121 ExactCode", "jmw:010121 ExactCode", "hs:0101210010 CodePrefix"} << 3
        << "";
    QTest::newRow("full-width code") << "０１０１２１" << QStringList{"hs:010121 ExactCode", "jmw:010121 ExactCode"}
                                      << 3 << "";
    QTest::newRow("prefixes: higher levels first")
        << "0101"
        << QStringList{"hs:0101 ExactCode", "jmw:0101 ExactCode", "hs:010121 CodePrefix", "jmw:010121 CodePrefix",
                       "hs:010129 CodePrefix", "hs:0101210010 CodePrefix", "hs:0101290090 CodePrefix"}
        << 7 << "";
    QTest::newRow("code that does not exist")
        << "0101299999" << QStringList{"hs:010129 NearestCode"} << 1
        << "0101299999 不存在，最接近: [010129] Horses; live, other than pure-bred breeding animals";
    QTest::newRow("nearest in both lists") << "0199" << QStringList{"hs:01 NearestCode", "jmw:01 NearestCode"} << 2
                                           << "0199 不存在，最接近: [01] 活动物";
    QTest::newRow("code of a chapter not chosen") << "8471.30" << QStringList() << 0 << "847130 在未选择的章节中";
    QTest::newRow("no prefix at all") << "77" << QStringList() << 0 << "77 不存在";
    QTest::newRow("equal, start, then words; more covered first")
        << "其他"
        << QStringList{"hs:7226919900 NameEqual [其他]", "hs:9202900090 NameStart [其他]",
                       "hs:4104499090 NameStart [其他]", "hs:3304910090 NameStart [其他]",
                       "hs:0101290090 NameWords [其他]", "hs:0102909090 NameWords [其他]"}
        << 6 << "";
    QTest::newRow("words in any order, more covered first")
        << "牛 其他" << QStringList{"hs:4104499090 NameWords [其他牛]", "hs:0102909090 NameWords [其他牛]"} << 2 << "";
    QTest::newRow("code and words need both")
        << "0101 马" << QStringList{"hs:0101210010 NameWords [马]", "hs:0101290090 NameWords [马]"} << 2 << "";
    QTest::newRow("pinyin initials") << "hzp" << QStringList{"hs:3304910090 Pinyin [化妆品]"} << 1 << "";
    QTest::newRow("pinyin, last syllable partial") << "huaz" << QStringList{"hs:3304910090 Pinyin [化妆]"} << 1 << "";
    QTest::newRow("pinyin from a syllable inside the name")
        << "zhuangpin" << QStringList{"hs:3304910090 Pinyin [妆品]"} << 1 << "";
    QTest::newRow("pinyin never inside a syllable") << "uang" << QStringList() << 0 << "";
    QTest::newRow("initials must be contiguous") << "hp" << QStringList() << 0 << "";
    QTest::newRow("word readings of the table")
        << "yueqi" << QStringList{"hs:9202900090 Pinyin [乐器]", "hs:9209300000 Pinyin [乐器]"} << 2 << "";
    QTest::newRow("ICU's wrong reading finds nothing") << "leqi" << QStringList() << 0 << "";
    // 乐器用的弦 and 聚丙烯长丝变形纱线 lie one after the other in the index.
    QTest::newRow("pinyin never runs into the next name") << "xianju" << QStringList() << 0 << "";
    QTest::newRow("initials never run into the next name") << "dxj" << QStringList() << 0 << "";
    QTest::newRow("a character of two units") << "heanju" << QStringList{"hs:9602001000 Pinyin [\U00020000鞍具]"} << 1 << "";
    QTest::newRow("initials over a character of two units") << "haj" << QStringList{"hs:9602001000 Pinyin [\U00020000鞍具]"} << 1 << "";
    QTest::newRow("after a character of two units") << "anju" << QStringList{"hs:9602001000 Pinyin [鞍具]"} << 1 << "";
    QTest::newRow("长丝 as changsi") << "changsi" << QStringList{"hs:5402340000 Pinyin [长丝]"} << 1 << "";
    QTest::newRow("english word prefixes in any order")
        << "react NUCL" << QStringList{"hs:840110 English [Nucl] [react]"} << 1 << "";
    QTest::newRow("english and pinyin together by cover")
        << "ma"
        << QStringList{"hs:4104499090 Pinyin [马]", "hs:0101210010 Pinyin [马]", "hs:0101290090 Pinyin [马]",
                       "hs:3304 English [ma]"}
        << 4 << "";
    QTest::newRow("tea is not inside other syllables") << "tea" << QStringList{"hs:0902 English [Tea]"} << 1 << "";
    QTest::newRow("declaration elements below names")
        << "改良种用"
        << QStringList{"hs:0101210010 NameStart [改良种用]", "hs:0101290090 NameWords [改良种用]",
                       "hs:0102909090 NameWords [改良种用]"}
        << 3 << "";
    QTest::newRow("elements above notes") << "品种"
                                          << QStringList{"hs:0101210010 DeclarationElements", "hs:0102909090 Notes"}
                                          << 2 << "";
    QTest::newRow("notes") << "客户常用" << QStringList{"hs:0102909090 Notes"} << 1 << "";
    QTest::newRow("traditional characters") << "濒危野馬" << QStringList{"hs:0101210010 NameWords [濒危野马]"} << 1
                                            << "";
}

void tst_SearchIndex::finds()
{
    QFETCH(QString, input);
    QFETCH(QStringList, first);
    QFETCH(int, total);
    QFETCH(QString, notice);
    const Answer answer = m_index.search(input);
    QCOMPARE(describe(m_index, answer).mid(0, first.size()), first);
    QCOMPARE(answer.total, total);
    QCOMPARE(answer.notice, notice);
}

void tst_SearchIndex::commonestReadingFirst_data()
{
    QTest::addColumn<QStringList>("names"); // customs lines
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("first"); // the first hit's kind and marked text
    const QStringList oats = {"滚压或制片的燕麦", "滚压或制片的大麦", "滚压或制片的玉米", "滚压或制片的其他谷物"};
    const QStringList cosmetics = {"其他粉状化妆品,不论是否压紧", "包装标注含量以重量计的其他唇用化妆品",
                                   "包装标注含量以重量计的其他眼用化妆品", "指（趾）甲化妆品", "其他美容品或化妆品",
                                   "施敷脂粉或化妆品用粉扑及粉拍"};
    QTest::newRow("hzp: 化妆品 in more names than 或制片") << oats + cosmetics << "hzp" << "Pinyin [化妆品]";
    QTest::newRow("hzp: 或制片 where it is the commoner") << oats + cosmetics.mid(0, 2) << "hzp" << "Pinyin [或制片]";
    QTest::newRow("huaz: the partial syllable too") << oats + cosmetics << "huaz" << "Pinyin [化妆]";
}

void tst_SearchIndex::commonestReadingFirst()
{
    QFETCH(QStringList, names);
    QFETCH(QString, input);
    QFETCH(QString, first);
    QList<IndexRow> rows;
    for (qsizetype i = 0; i < names.size(); ++i)
        rows.append({CodeList::Customs, QStringLiteral("11041%1").arg(i, 5, 10, QChar(u'0')), names[i], {}, {}});
    const SearchIndex index = SearchIndex::build(rows, {});
    const QStringList hits = describe(index, index.search(input, 1));
    QCOMPARE(hits.size(), 1);
    QCOMPARE(hits.front().section(u' ', 1), first);
}

void tst_SearchIndex::badInputIsHarmless_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("nothing");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("blanks") << "  \t " << true;
    QTest::newRow("newline") << "\n" << true;
    QTest::newRow("punctuation only") << "，。、；！" << true;
    for (const char *sign : {"%", "_", "'", "~", "+", "*", ".*[(\\", "%马%", "马_", "'; DROP TABLE list_hscode; --"})
        QTest::newRow(sign) << QString::fromUtf8(sign) << (QByteArray(sign) != "%马%" && QByteArray(sign) != "马_");
    QTest::newRow("10,000 characters") << QString(10000, u'马') << true;
    QTest::newRow("10,000 letters") << QString(10000, u'a') << true;
    QTest::newRow("10,000 blanks and signs") << QString(5000, u' ') + QString(5000, u'*') << true;
    QTest::newRow("full-width letters") << "ＴＥＡ" << false;
    QTest::newRow("code and words") << "8471 笔记本" << false;
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u'马' << false;
    QTest::newRow("traditional without a match") << "電腦" << true;
}

void tst_SearchIndex::badInputIsHarmless()
{
    QFETCH(QString, input);
    QFETCH(bool, nothing);
    const Answer answer = m_index.search(input);
    QCOMPARE(answer.total == 0 && answer.notice.isEmpty(), nothing);
    QVERIFY(answer.hits.size() <= answer.total);
    for (const quicksearch::Hit &hit : answer.hits) {
        QVERIFY(hit.row >= 0 && hit.row < m_index.rowCount());
        for (const quicksearch::Span &span : hit.nameSpans)
            QVERIFY(span.start >= 0 && span.length > 0
                    && span.start + span.length <= m_index.row(hit.row).name.size());
    }
}

void tst_SearchIndex::limitKeepsTheTotal()
{
    const Answer two = m_index.search(QStringLiteral("其他"), 2);
    QCOMPARE(describe(m_index, two),
             (QStringList{"hs:7226919900 NameEqual [其他]", "hs:9202900090 NameStart [其他]"}));
    QCOMPARE(two.total, 6);
    QCOMPARE(m_index.search(QStringLiteral("其他"), 0).hits.size(), 0);
}

void tst_SearchIndex::emptyIndexAnswersNothing()
{
    const SearchIndex none;
    QCOMPARE(none.search(QStringLiteral("马")).total, 0);
    QVERIFY(none.search(QStringLiteral("0101")).notice.isEmpty());
    QCOMPARE(none.rowCount(), 0);
    QVERIFY(none.row(3).code.isEmpty());
    const SearchIndex noRows = SearchIndex::build({}, {});
    QCOMPARE(noRows.search(QStringLiteral("0101")).notice, QStringLiteral("0101 不存在"));
    QVERIFY(m_index.row(-1).code.isEmpty());
}

void tst_SearchIndex::searchesFromSeveralThreads()
{
    const QStringList inputs = {"马", "濒危野馬", "hzp", "0101", "nucl", "品种"};
    QList<QStringList> expected;
    for (const QString &input : inputs)
        expected.append(describe(m_index, m_index.search(input)));
    std::vector<std::thread> threads;
    std::atomic<int> wrong = 0;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 50; ++round) {
                const int i = (round + t) % int(inputs.size());
                if (describe(m_index, m_index.search(inputs[i])) != expected[i])
                    ++wrong;
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    QCOMPARE(wrong.load(), 0);
}

KIV_TEST_GUILESS_MAIN(tst_SearchIndex)
#include "tst_searchindex.moc"
