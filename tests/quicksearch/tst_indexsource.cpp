#include "core/quicksearch/IndexTaking.h"
#include "core/quicksearch/SearchIndex.h"

#include "core/data/dataviews.h"
#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/session/globals.h"

#include "TestDatabase.h"
#include "support/TestMain.h"

#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <optional>

using quicksearch::CodeList;
using quicksearch::IndexSource;
using quicksearch::IndexTaking;

namespace {
// count rows inserted with codes prefix + a zero-padded number.
QString numbered(const char *table, const QString &columns, const QString &prefix, int count, const QString &rest)
{
    return QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < %1) "
                          "INSERT INTO %2(%3) SELECT '%4' || printf('%06d', i)%5 FROM n")
        .arg(count)
        .arg(QLatin1String(table), columns, prefix, rest);
}
} // namespace

class tst_IndexSource : public QObject
{
    Q_OBJECT
private slots:
    void stepsTakeEveryRowOnce_data()
    {
        QTest::addColumn<int>("elements");
        QTest::addColumn<int>("unchosen");
        QTest::newRow("less than a step each") << 10 << 5;
        QTest::newRow("exactly one step each") << 500 << 2000;
        QTest::newRow("several steps and a part") << 1234 << 4321;
    }

    void stepsTakeEveryRowOnce()
    {
        // However the rows fall into steps, each is taken once, as one query would give them.
        QFETCH(int, elements);
        QFETCH(int, unchosen);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("k.db"));
        QVERIFY(TestDatabase::create(file));
        const QStringList statements{
            QStringLiteral("INSERT INTO list_hscode(code, name, flag) VALUES ('01', 'chosen', 'Y'), ('02', 'other', NULL),"
                           " ('0101', 'horses', NULL)"),
            numbered("list_hscode", QStringLiteral("code, name"), QStringLiteral("02"), unchosen,
                     QStringLiteral(", 'n' || i")),
            QStringLiteral("INSERT INTO list_jmwcode(jmw_code, name, flag) VALUES ('84', 'chosen', 'Y'), ('85', 'other', 'N'),"
                           " ('8501', 'motors', NULL), ('8401', 'reactors', NULL)"),
            numbered("tariff_line", QStringLiteral("code, declaration_elements"), QStringLiteral("0101"), elements,
                     QStringLiteral(", 'e' || i")),
            QStringLiteral("INSERT INTO tariff_line(code) VALUES ('0199999999')"),
        };
        for (const QString &sql : statements)
            QVERIFY2(TestDatabase::exec(file, sql), qPrintable(sql));

        runtime::Transaction transaction;
        QVERIFY(TestDatabase::connect(transaction, file));
        sqlca = &transaction;
        runtime::DataView customs;
        customs.setDefinition(d_detail_hgats());
        customs.setTransObject(&transaction);
        QCOMPARE(customs.retrieve(), 2L);
        runtime::DataView foreignTrade;
        foreignTrade.setDefinition(d_detail_wmats());
        foreignTrade.setTransObject(&transaction);
        QCOMPARE(foreignTrade.retrieve(), 2L);

        // While an edition is written through the connection by a worker, the taking waits for
        // it, and never runs a statement of its own in the worker's transaction.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("lending thread")));
        transaction.lend();
        QSemaphore checked;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            checked.tryAcquire(1, 2000); // a taking that does not wait is blocked until then
            transaction.execute(QStringLiteral("INSERT INTO user_note(list, code, note, changed_at, version) "
                                               "VALUES ('hs', '0101', '种马', 'now', 1)"));
            transaction.giveBack();
        }));
        worker->start();
        std::optional<IndexSource::Taken> taken;
        new IndexTaking(customs, foreignTrade, [] { return sqlca; }, [&](IndexSource::Taken t) { taken = std::move(t); }, this);
        QTest::qWait(100);
        QVERIFY(!taken.has_value());
        checked.release();
        QVERIFY(worker->wait(10000));
        QTRY_VERIFY(taken.has_value());
        sqlca = nullptr;
        QVERIFY2(taken->notes.values().contains(QStringLiteral("种马")), "the note written during the loan");

        QCOMPARE(taken->elements.size(), qsizetype(elements));
        QCOMPARE(taken->elements.value(QStringLiteral("0101%1").arg(elements - 1, 6, 10, QLatin1Char('0'))),
                 QStringLiteral("e%1").arg(elements - 1));
        QVERIFY(taken->listsRead);
        QStringList unchosenCodes;
        for (const auto &[list, row] : taken->unchosen)
            unchosenCodes << quicksearch::codeListKey(list) + QLatin1Char(':') + row.first;
        QStringList expected;
        for (const QString &code : TestDatabase::column(file, QStringLiteral("SELECT code FROM list_hscode WHERE "
                                                                             "substr(code, 1, 2) <> '01' ORDER BY code")))
            expected << quicksearch::codeListKey(CodeList::Customs) + QLatin1Char(':') + code;
        expected << quicksearch::codeListKey(CodeList::ForeignTrade) + QStringLiteral(":85")
                 << quicksearch::codeListKey(CodeList::ForeignTrade) + QStringLiteral(":8501");
        QCOMPARE(unchosenCodes.size(), unchosen + 3);
        QCOMPARE(unchosenCodes, expected);

        // The chosen rows come from the views, the others from the steps.
        const IndexSource::Input input = IndexSource::assemble(*taken);
        QCOMPARE(input.rows.size(), 4);
        QCOMPARE(input.unchosenRows.size(), unchosen + 3);
        QCOMPARE(input.rows.at(1).code, QStringLiteral("0101"));
        QCOMPARE(input.rows.at(1).declarationElements, QString());
    }

    void theIndexKeepsTheNamesItReadsAfterTheViewsChangeOrGo()
    {
        // The index refers to the lists' codes and names instead of copying them: a change of
        // the views, a new retrieval or their end must leave what it finds and shows intact.
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("k.db"));
        QVERIFY(TestDatabase::create(file));
        QVERIFY(TestDatabase::exec(file, QStringLiteral(
            "INSERT INTO list_hscode(code, name, flag) VALUES ('01', '活动物', 'Y'), ('0101', '马、驴、骡', NULL),"
            " ('0101210010', '改良种用濒危野马', NULL), ('0102', '牛', NULL)")));
        runtime::Transaction transaction;
        QVERIFY(TestDatabase::connect(transaction, file));
        auto customs = std::make_unique<runtime::DataView>();
        customs->setDefinition(d_detail_hgats());
        customs->setTransObject(&transaction);
        QCOMPARE(customs->retrieve(), 4L);
        auto foreignTrade = std::make_unique<runtime::DataView>();
        foreignTrade->setDefinition(d_detail_wmats());
        foreignTrade->setTransObject(&transaction);
        QCOMPARE(foreignTrade->retrieve(), 0L);

        IndexSource::Taken taken = IndexSource::begin(*customs, *foreignTrade);
        taken.listsRead = true;
        IndexSource::Input input = IndexSource::assemble(taken);
        taken = {};
        const quicksearch::SearchIndex index = quicksearch::SearchIndex::build(
            std::move(input.rows), std::move(input.unchosenRows), {}, std::move(input.kept));

        // The view's own name changes, its rows are read again, then it goes.
        QCOMPARE(customs->setItem(3, QStringLiteral("name"), QStringLiteral("另一个名称，更长一些以免原处放下")), 1);
        QVERIFY(TestDatabase::exec(file, QStringLiteral("UPDATE list_hscode SET name = '羊' WHERE code = '0102'")));
        QCOMPARE(customs->retrieve(), 4L);
        customs.reset();
        foreignTrade.reset();

        const quicksearch::Answer answer = index.search(QStringLiteral("野马"));
        QCOMPARE(answer.hits.size(), qsizetype(1));
        const quicksearch::IndexRow found = index.row(answer.hits.front().row);
        QCOMPARE(found.code, QStringLiteral("0101210010"));
        QCOMPARE(found.name, QStringLiteral("改良种用濒危野马"));
        QCOMPARE(index.row(index.search(QStringLiteral("0102")).hits.front().row).name, QStringLiteral("牛"));
    }
};

KIV_TEST_MAIN(tst_IndexSource)
#include "tst_indexsource.moc"
