#include "core/quicksearch/RecentCodes.h"
#include "support/TestMain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using quicksearch::CodeList;
using quicksearch::RecentCodes;

namespace {
QStringList describe(const RecentCodes &recent)
{
    QStringList items;
    for (const RecentCodes::Entry &entry : recent.entries())
        items.append(quicksearch::codeListKey(entry.list) + u':' + entry.code);
    return items;
}
} // namespace

class tst_RecentCodes : public QObject
{
    Q_OBJECT
private slots:
    void keepsNewestFirstOnce_data();
    void keepsNewestFirstOnce();
    void survivesARestart();
    void readsOnlyWhatItCan_data();
    void readsOnlyWhatItCan();
};

void tst_RecentCodes::keepsNewestFirstOnce_data()
{
    QTest::addColumn<QStringList>("added"); // "hs:code" or "jmw:code", oldest first
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("newest first") << QStringList{"hs:01", "hs:0101", "jmw:02"}
                                  << QStringList{"jmw:02", "hs:0101", "hs:01"};
    QTest::newRow("again moves to the front") << QStringList{"hs:01", "hs:0101", "hs:01"}
                                              << QStringList{"hs:01", "hs:0101"};
    QTest::newRow("same code in both lists") << QStringList{"hs:0101", "jmw:0101"}
                                             << QStringList{"jmw:0101", "hs:0101"};
    QTest::newRow("not codes are ignored") << QStringList{"hs:01", "hs:", "hs:01,02", "hs:a b", "jmw:马"}
                                           << QStringList{"hs:01"};
    QStringList many, newest;
    for (int i = 1; i <= 25; ++i)
        many.append(QStringLiteral("hs:%1").arg(i, 4, 10, QLatin1Char('0')));
    for (int i = 25; i > 5; --i)
        newest.append(QStringLiteral("hs:%1").arg(i, 4, 10, QLatin1Char('0')));
    QTest::newRow("the oldest beyond 20 go") << many << newest;
}

void tst_RecentCodes::keepsNewestFirstOnce()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, expected);
    RecentCodes recent;
    for (const QString &item : added) {
        const qsizetype colon = item.indexOf(u':');
        recent.add(*quicksearch::codeListFromKey(item.left(colon)), item.mid(colon + 1));
    }
    QCOMPARE(describe(recent), expected);
}

void tst_RecentCodes::survivesARestart()
{
    QTemporaryDir dir;
    const QString profile = dir.filePath(QStringLiteral("velquor_kiv.ini"));
    QFile file(profile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[data]\r\nHGDETAIL=N\r\n");
    file.close();

    RecentCodes recent;
    recent.add(CodeList::Customs, QStringLiteral("0101210010"));
    recent.add(CodeList::ForeignTrade, QStringLiteral("0101"));
    QCOMPARE(recent.save(profile), 1);

    const RecentCodes loaded = RecentCodes::load(profile);
    QCOMPARE(describe(loaded), (QStringList{"jmw:0101", "hs:0101210010"}));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("[data]\r\nHGDETAIL=N\r\n"));
    QVERIFY(RecentCodes::load(dir.filePath(QStringLiteral("missing.ini"))).isEmpty());
}

void tst_RecentCodes::readsOnlyWhatItCan_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("written by hand") << QByteArray(" hs:0101 , JMW:02 ") << QStringList{"hs:0101", "jmw:02"};
    QTest::newRow("broken entries") << QByteArray("hs:0101,xx:12,jmw:,:3,0102,jmw:0102,hs:0101")
                                    << QStringList{"hs:0101", "jmw:0102"};
    QTest::newRow("empty") << QByteArray("") << QStringList();
}

void tst_RecentCodes::readsOnlyWhatItCan()
{
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString profile = dir.filePath(QStringLiteral("velquor_kiv.ini"));
    QFile file(profile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[QuickSearch]\r\nRecent=" + stored + "\r\n");
    file.close();
    QCOMPARE(describe(RecentCodes::load(profile)), expected);
}

KIV_TEST_GUILESS_MAIN(tst_RecentCodes)
#include "tst_recentcodes.moc"
