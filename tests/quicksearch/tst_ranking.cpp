#include "core/quicksearch/Ranking.h"
#include "support/TestMain.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using quicksearch::MatchKind;
using quicksearch::RankedMatch;

Q_DECLARE_METATYPE(RankedMatch)

namespace {
RankedMatch match(MatchKind kind, int coverage, int codeOrder, int codeLength = 10, int frequency = 0)
{
    return {codeOrder, kind, coverage, codeLength, codeOrder, frequency};
}
} // namespace

class tst_Ranking : public QObject
{
    Q_OBJECT
private slots:
    void firstRanksBeforeSecond_data();
    void firstRanksBeforeSecond();
    void isAStrictWeakOrdering_data();
    void isAStrictWeakOrdering();
    void rankHitsPlacesTheBestInOrder_data();
    void rankHitsPlacesTheBestInOrder();
};

void tst_Ranking::firstRanksBeforeSecond_data()
{
    QTest::addColumn<RankedMatch>("first");
    QTest::addColumn<RankedMatch>("second");
    QTest::newRow("exact code before its prefixes") << match(MatchKind::ExactCode, 0, 9, 4)
                                                     << match(MatchKind::CodePrefix, 0, 1, 6);
    QTest::newRow("shorter prefix before earlier code") << match(MatchKind::CodePrefix, 0, 50, 4)
                                                         << match(MatchKind::CodePrefix, 0, 2, 10);
    QTest::newRow("code prefix before a name") << match(MatchKind::CodePrefix, 0, 9)
                                                << match(MatchKind::NameEqual, 10000, 1);
    QTest::newRow("equal before start") << match(MatchKind::NameEqual, 10000, 9)
                                         << match(MatchKind::NameStart, 10000, 1);
    QTest::newRow("start before words, whatever they cover")
        << match(MatchKind::NameStart, 1000, 9) << match(MatchKind::NameWords, 9000, 1);
    QTest::newRow("pinyin covering more before words") << match(MatchKind::Pinyin, 6000, 9)
                                                        << match(MatchKind::NameWords, 5000, 1);
    QTest::newRow("english covering more before pinyin") << match(MatchKind::English, 7000, 9)
                                                          << match(MatchKind::Pinyin, 6000, 1);
    QTest::newRow("shared rank, same cover: code order") << match(MatchKind::Pinyin, 5000, 3)
                                                          << match(MatchKind::English, 5000, 4);
    QTest::newRow("commoner pinyin reading before more cover")
        << match(MatchKind::Pinyin, 2000, 9, 10, 40) << match(MatchKind::Pinyin, 8000, 1, 10, 4);
    QTest::newRow("commoner english reading before more covering pinyin")
        << match(MatchKind::English, 1000, 9, 10, 40) << match(MatchKind::Pinyin, 9000, 1, 10, 4);
    QTest::newRow("same reading count: more cover") << match(MatchKind::Pinyin, 8000, 9, 10, 4)
                                                     << match(MatchKind::English, 2000, 1, 10, 4);
    QTest::newRow("a common reading never lifts a worse rank")
        << match(MatchKind::NameStart, 1000, 9, 10, 1) << match(MatchKind::NameWords, 9000, 1, 10, 500);
    QTest::newRow("shorter prefix before a counted reading")
        << match(MatchKind::CodePrefix, 0, 9, 4) << match(MatchKind::CodePrefix, 0, 1, 6, 50);
    QTest::newRow("any name match before elements") << match(MatchKind::English, 1, 9)
                                                     << match(MatchKind::DeclarationElements, 0, 1);
    QTest::newRow("elements before notes") << match(MatchKind::DeclarationElements, 0, 9)
                                            << match(MatchKind::Notes, 0, 1);
    QTest::newRow("equal in all but code order") << match(MatchKind::NameWords, 5000, 3)
                                                  << match(MatchKind::NameWords, 5000, 4);
}

void tst_Ranking::firstRanksBeforeSecond()
{
    QFETCH(RankedMatch, first);
    QFETCH(RankedMatch, second);
    QVERIFY(quicksearch::ranksBefore(first, second));
    QVERIFY(!quicksearch::ranksBefore(second, first));
    QVERIFY(!quicksearch::ranksBefore(first, first));
}

void tst_Ranking::isAStrictWeakOrdering_data()
{
    QTest::addColumn<QList<int>>("kinds"); // MatchKind values to draw from
    QTest::newRow("the shared rank") << QList<int>{int(MatchKind::NameWords), int(MatchKind::Pinyin),
                                                   int(MatchKind::English)};
    QTest::newRow("every kind") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
}

// Irreflexive, transitive, and "neither before the other" transitive too: what std::sort needs.
void tst_Ranking::isAStrictWeakOrdering()
{
    QFETCH(QList<int>, kinds);
    QRandomGenerator random(11);
    std::vector<RankedMatch> m;
    for (int i = 0; i < 60; ++i)
        m.push_back({int(random.bounded(3)), MatchKind(kinds[random.bounded(int(kinds.size()))]),
                     int(random.bounded(3)) * 5000, 4 + int(random.bounded(2)) * 6, int(random.bounded(3)),
                     int(random.bounded(3)) * 20});
    const auto before = quicksearch::ranksBefore;
    const auto tied = [&](const RankedMatch &x, const RankedMatch &y) { return !before(x, y) && !before(y, x); };
    for (const RankedMatch &a : m) {
        QVERIFY(!before(a, a));
        for (const RankedMatch &b : m) {
            for (const RankedMatch &c : m) {
                if (before(a, b) && before(b, c))
                    QVERIFY(before(a, c));
                if (tied(a, b) && tied(b, c))
                    QVERIFY(tied(a, c));
            }
        }
    }
}

void tst_Ranking::rankHitsPlacesTheBestInOrder_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("placed");
    QTest::newRow("many, small limit") << 2000 << 25 << 25;
    QTest::newRow("limit beyond the matches") << 30 << 200 << 30;
    QTest::newRow("no limit") << 30 << 0 << 0;
    QTest::newRow("negative limit") << 30 << -5 << 0;
    QTest::newRow("no matches") << 0 << 200 << 0;
}

void tst_Ranking::rankHitsPlacesTheBestInOrder()
{
    QFETCH(int, count);
    QFETCH(int, limit);
    QFETCH(int, placed);
    QRandomGenerator random(7);
    const MatchKind kinds[] = {MatchKind::ExactCode, MatchKind::CodePrefix, MatchKind::NameStart,
                               MatchKind::Pinyin, MatchKind::English, MatchKind::Notes};
    std::vector<RankedMatch> matches;
    for (int i = 0; i < count; ++i)
        matches.push_back({i, kinds[random.bounded(6)], int(random.bounded(4)) * 2500, 2 + int(random.bounded(5)) * 2,
                           int(random.bounded(count))});
    std::vector<RankedMatch> sorted = matches;
    std::sort(sorted.begin(), sorted.end(), quicksearch::ranksBefore);
    QCOMPARE(quicksearch::rankHits(matches, limit), placed);
    for (int i = 0; i < placed; ++i)
        QCOMPARE(matches[size_t(i)].row, sorted[size_t(i)].row);
}

KIV_TEST_GUILESS_MAIN(tst_Ranking)
#include "tst_ranking.moc"
