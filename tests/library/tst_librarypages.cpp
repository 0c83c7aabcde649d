#include "LibraryProgram.h"

#include "support/TestMain.h"

#include <QSet>
#include <QtTest>

// A library longer than a page: the first page is there as the window opens, the others follow
// while the user works, and each comes through the filter and the sort there are.
namespace {

// Part numbers P-00000 ... in order, every seventh on the unloaded chapter's code.
QString manyItems(int count)
{
    QString sql = QStringLiteral("INSERT INTO item(part_no, name, model, code, changed_at, version) VALUES ");
    for (int i = 0; i < count; ++i)
        sql += QStringLiteral("%1('P-%2', '商品%2', '型号%2', '%3', '2026-12-01 10:00:00', 1)")
                   .arg(i ? QStringLiteral(", ") : QString())
                   .arg(i, 5, 10, QLatin1Char('0'))
                   .arg(i % 7 ? QStringLiteral("8471300000") : QStringLiteral("8517130000"));
    return sql + u';';
}

} // namespace

class tst_LibraryPages : public QObject
{
    Q_OBJECT
private slots:
    void laterPagesFollowTheFilterAndTheSort_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("descending");
        QTest::newRow("one page and one more") << 2001 << QString() << false;
        QTest::newRow("several pages") << 12345 << QString() << false;
        // On every page: P-00234, P-01234 ... P-02340 ... P-12340.
        QTest::newRow("typed before the rest came") << 12345 << QStringLiteral("234") << false;
        QTest::newRow("sorted down before the rest came") << 7003 << QString() << true;
    }
    void laterPagesFollowTheFilterAndTheSort()
    {
        QFETCH(int, count);
        QFETCH(QString, filter);
        QFETCH(bool, descending);
        int expected = 0;
        for (int i = 0; i < count; ++i)
            expected += QString::number(i).rightJustified(5, u'0').contains(filter) ? 1 : 0;
        Program p;
        QVERIFY(p.startWith({}));
        QVERIFY(library::ItemStore(p.transaction.get()).ensureTable());
        QVERIFY(TestDatabase::exec(p.file, manyItems(count)));
        // Opened, before the program waits for anything: the first page, and the window says it
        // reads on.
        p.feature->open();
        ui::w_library *w = p.library = ui::w_library::openInstance();
        QVERIFY(w);
        QCOMPARE(w->model()->totalCount(), 2000);
        QVERIFY(w->st_count->text().startsWith(QStringLiteral("正在读取")));
        QVERIFY(!w->cb_export->isEnabled());
        if (!filter.isEmpty())
            QTest::keyClicks(w->sle_filter, filter);
        if (descending)
            w->tv_items->sortByColumn(library::ItemListModel::PartNumber, Qt::DescendingOrder);
        QTRY_COMPARE_WITH_TIMEOUT(w->model()->totalCount(), count, 20000);
        QTRY_VERIFY(!w->st_count->text().startsWith(QStringLiteral("正在读取")));
        QCOMPARE(w->model()->rowCount(), expected);
        QVERIFY(w->cb_export->isEnabled());
        const QStringList parts = p.shownParts();
        QStringList sorted = parts;
        std::sort(sorted.begin(), sorted.end());
        if (descending)
            std::reverse(sorted.begin(), sorted.end());
        QCOMPARE(parts, sorted);
        QCOMPARE(QSet<QString>(parts.cbegin(), parts.cend()).size(), parts.size()); // none twice
        for (const QString &part : parts)
            QVERIFY2(part.contains(filter), qPrintable(part));
    }

    void aChangeWhileReadingStartsTheListAgain()
    {
        Program p;
        QVERIFY(p.startWith({}));
        QVERIFY(library::ItemStore(p.transaction.get()).ensureTable());
        QVERIFY(TestDatabase::exec(p.file, manyItems(9000)));
        QVERIFY(p.openLibrary());
        // Deleted by a colleague meanwhile, then the list read again (重新复核 reads it anew).
        QVERIFY(TestDatabase::exec(p.file, QStringLiteral("DELETE FROM item WHERE part_no >= 'P-08000';")));
        p.library->reload();
        QTRY_VERIFY_WITH_TIMEOUT(!p.library->st_count->text().startsWith(QStringLiteral("正在读取")), 20000);
        QCOMPARE(p.library->model()->totalCount(), 8000);
        QCOMPARE(p.shownParts().last(), QStringLiteral("P-07999"));
    }
};

KIV_TEST_MAIN(tst_LibraryPages)
#include "tst_librarypages.moc"
