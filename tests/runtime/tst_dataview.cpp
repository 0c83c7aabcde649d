#include "DataViewRows.h"

#include "support/TestMain.h"

#include <QSignalSpy>
#include <QTest>

// A data view in memory: items and their conversions, change flags, find, the current row, selection.
class TestDataView : public QObject
{
    Q_OBJECT
private slots:
    void itemsAndConversions();
    void changeFlags();
    void manyItemsOfAColumnAtOnce();
    void findForwardsBackwardsAndClipping();
    void findInvalidAndCache();
    void findEqualsRowByRowSearch();
    void findByTextFollowsEveryChange();
    void currentRowAndScrolling();
    void selection();
};

void TestDataView::itemsAndConversions()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows(sampleRows());
    QCOMPARE(view.rowCount(), 5);
    QCOMPARE(view.columnCount(), 5);
    QCOMPARE(view.columnNumber("NAME"), 2);
    QCOMPARE(view.columnNumber("nosuch"), 0);
    QCOMPARE(view.item(2, "Name").toString(), QString("马"));
    QCOMPARE(view.item(2, 1).toString(), QString("0101"));
    QVERIFY(!view.item(0, 1).isValid());
    QVERIFY(!view.item(6, 1).isValid());
    QVERIFY(!view.item(1, 6).isValid());
    QVERIFY(!view.item(1, "nosuch").isValid());
    QVERIFY(view.isNull(5, "name"));
    QCOMPARE(view.itemString(5, "name"), QString());
    QCOMPARE(view.itemString(2, "tsl"), QString("0.13"));
    QCOMPARE(view.itemString(3, "tsl"), QString("9"));
    QCOMPARE(view.itemNumber(5, "tsl"), 0.0);
    QCOMPARE(view.itemNumber(4, "tsl"), 10.0);

    // setItem converts to the column's type and refuses what does not fit.
    QCOMPARE(view.setItem(1, "tsl", "12.5"), 1);
    QCOMPARE(view.item(1, "tsl").typeId(), int(QMetaType::Double));
    QCOMPARE(view.itemNumber(1, "tsl"), 12.5);
    QCOMPARE(view.setItem(1, "tsl", "abc"), -1);
    QCOMPARE(view.itemNumber(1, "tsl"), 12.5);
    QCOMPARE(view.setItem(1, "handle", 42.0), 1);
    QCOMPARE(view.item(1, "handle").typeId(), int(QMetaType::Int));
    QCOMPARE(view.item(1, "handle").toInt(), 42);
    QCOMPARE(view.setItem(1, "handle", 1e12), -1);
    QCOMPARE(view.setItem(1, "name", 7), 1);
    QCOMPARE(view.item(1, "name").typeId(), int(QMetaType::QString));
    QCOMPARE(view.setItem(1, "name", QVariant()), 1);
    QVERIFY(view.isNull(1, "name"));
    QCOMPARE(view.setItem(0, "name", "x"), -1);
    QCOMPARE(view.setItem(6, "name", "x"), -1);
    QCOMPARE(view.setItem(1, "nosuch", "x"), -1);
    QCOMPARE(view.setItem(1, 0, "x"), -1);
}

// setItems writes, converts, flags and announces as setItem does row by row; a bad row or
// value leaves every row as it was.
void TestDataView::manyItemsOfAColumnAtOnce()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows(sampleRows());
    const int handle = view.columnNumber("handle");
    const int tsl = view.columnNumber("tsl");
    QSignalSpy changed(&view, &DataView::itemChanged);
    QCOMPARE(view.setItems(handle, {1, 3, 4}, {11.0, "12", 13}), 1);
    QCOMPARE(view.item(3, handle).typeId(), int(QMetaType::Int));
    QCOMPARE(view.itemNumber(3, "handle"), 12.0);
    QCOMPARE(view.itemNumber(4, "handle"), 13.0);
    QCOMPARE(changed.count(), 3);
    QCOMPARE(view.modifiedCount(), 3);
    QCOMPARE(view.itemStatus(4, handle), ItemStatus::DataModified);
    QCOMPARE(view.rowStatus(2), ItemStatus::NotModified);
    for (const auto &[rows, values] : {std::pair<QVector<long>, QVector<QVariant>>{{2, 6}, {1, 2}},
                                       {{2, 0}, {1, 2}},
                                       {{2, 5}, {1, 1e12}},
                                       {{2}, {1, 2}}}) {
        QCOMPARE(view.setItems(handle, rows, values), -1);
        QCOMPARE(view.rowStatus(2), ItemStatus::NotModified);
        QCOMPARE(view.rowStatus(5), ItemStatus::NotModified);
    }
    QCOMPARE(view.setItems(tsl, {2}, {"abc"}), -1);
    QCOMPARE(view.setItems(99, {2}, {1}), -1);
    QCOMPARE(changed.count(), 3);
}

void TestDataView::changeFlags()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows(sampleRows());
    QSignalSpy changed(&view, &DataView::itemChanged);
    QCOMPARE(view.modifiedCount(), 0);
    QCOMPARE(view.rowStatus(2), ItemStatus::NotModified);

    QCOMPARE(view.setItem(2, "flag", "Y"), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toLongLong(), 2);
    QCOMPARE(changed.at(0).at(1).toInt(), 3);
    QCOMPARE(view.rowStatus(2), ItemStatus::DataModified);
    QCOMPARE(view.itemStatus(2, 3), ItemStatus::DataModified);
    QCOMPARE(view.itemStatus(2, 1), ItemStatus::NotModified);
    QCOMPARE(view.rowStatus(1), ItemStatus::NotModified);
    QCOMPARE(view.setItem(2, "name", "驴"), 1);
    QCOMPARE(view.setItem(4, "handle", 3), 1);
    QCOMPARE(view.modifiedCount(), 2);
    QCOMPARE(view.itemStatus(99, 1), ItemStatus::NotModified);
    QCOMPARE(view.rowStatus(0), ItemStatus::NotModified);

    QCOMPARE(view.resetUpdate(), 1);
    QCOMPARE(view.modifiedCount(), 0);
    QCOMPARE(view.rowStatus(2), ItemStatus::NotModified);
    QCOMPARE(view.itemString(2, "flag"), QString("Y")); // the values stay

    view.setItem(1, "flag", "N");
    view.loadRows(sampleRows());
    QCOMPARE(view.modifiedCount(), 0);
}

void TestDataView::findForwardsBackwardsAndClipping()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows(sampleRows());
    QCOMPARE(view.find("flag = 'Y'", 1, 5), 1);
    QCOMPARE(view.find("flag = 'Y'", 2, 5), 4);
    QCOMPARE(view.find("flag = 'Y'", 5, 5), 0);
    QCOMPARE(view.find("flag = 'Y'", 5, 1), 4);  // backwards from the end
    QCOMPARE(view.find("flag = 'Y'", 3, 1), 1);
    QCOMPARE(view.find("flag = 'Y'", 3, 2), 0);  // only rows 3 and 2
    QCOMPARE(view.find("flag = 'Y'", 0, 100), 1); // clipped to the rows
    QCOMPARE(view.find("flag = 'Y'", 100, 0), 4);
    QCOMPARE(view.find("flag = 'Y'", -5, 0), 0);  // nothing left of row 1
    QCOMPARE(view.find("flag = 'Y'", 6, 100), 0); // nothing beyond the last row
    QCOMPARE(view.find("code = '0201'", 1, 5), 4);
    QCOMPARE(view.find("code = '0'", 1, 5), 0);
    QCOMPARE(stepAll(view, "name like '%肉%'"), (QList<long>{3, 4}));
    QCOMPARE(stepAll(view, "code like '0%'"), (QList<long>{1, 2, 3, 4, 5}));
    QCOMPARE(stepAll(view, "tsl > 5 and not (flag = 'N')"), (QList<long>{3, 4}));

    DataView empty;
    empty.setDefinition(chapterDefinition());
    QCOMPARE(empty.find("code = '01'", 1, 0), 0);
}

void TestDataView::findInvalidAndCache()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows(sampleRows());
    QVERIFY(view.find("name = 'it's'", 1, 5) < 0);
    QVERIFY(view.find("", 1, 5) < 0);
    QVERIFY(view.find("jmw_code = '01'", 1, 5) < 0);
    QVERIFY(view.find(QString(5000, u'('), 1, 5) < 0);
    // Alternating expressions gives each its own result.
    QCOMPARE(view.find("code = '02'", 1, 5), 3);
    QCOMPARE(view.find("code = '03'", 1, 5), 5);
    QCOMPARE(view.find("code = '02'", 1, 5), 3);
    // The parsed expression follows the definition: a new definition without "flag".
    QCOMPARE(view.find("flag = 'Y'", 1, 5), 1);
    DataViewDefinition other = chapterDefinition();
    other.columns.removeAt(2);
    view.setDefinition(other);
    view.loadRows({{"01", "x", 1.0, 0}});
    QVERIFY(view.find("flag = 'Y'", 1, 1) < 0);
    DataView empty;
    empty.setDefinition(chapterDefinition());
    QVERIFY(empty.find("code = ", 1, 0) < 0); // invalid even without rows
}

void TestDataView::findEqualsRowByRowSearch()
{
    // Thousands of rows, stepped forwards and backwards: each step must agree with a plain
    // row-by-row check of the same condition.
    DataView view;
    view.setDefinition(chapterDefinition());
    QVector<QVector<QVariant>> rows;
    for (int i = 0; i < 3000; ++i) {
        rows.append({QString::number(i), i % 7 == 0 ? QStringLiteral("其他%1").arg(i) : QStringLiteral("马%1").arg(i),
                     i % 3 == 0 ? QVariant("Y") : QVariant(), double(i % 10), i});
    }
    view.loadRows(rows);
    QList<long> expected;
    for (int i = 0; i < rows.size(); ++i) {
        if (i % 7 == 0 && i % 3 == 0)
            expected.append(i + 1);
    }
    const QString expression = "(Name like '%其他%') And (flag = 'Y')";
    QCOMPARE(stepAll(view, expression), expected);
    QList<long> backwards;
    for (long r = view.find(expression, 3000, 1); r > 0; r = r > 1 ? view.find(expression, r - 1, 1) : 0)
        backwards.prepend(r);
    QCOMPARE(backwards, expected);
    QCOMPARE(stepAll(view, "code = '2999'"), QList<long>{3000});
}

void TestDataView::findByTextFollowsEveryChange()
{
    // "column = 'text'" is answered from an index; "c = 't' and c = 't'" is tested row by
    // row. Both must give the same row for every range, before and after the rows change.
    DataView view;
    view.setDefinition(chapterDefinition());
    QVector<QVector<QVariant>> rows;
    for (int i = 0; i < 60; ++i)
        rows.append({QString::number(i % 9), i % 5 == 0 ? QVariant() : QVariant(i % 4 ? "Y" : ""), "N", double(i), i});
    view.loadRows(rows);
    const auto agreeEverywhere = [&view](const QString &column, const QString &text) {
        const QString indexed = QStringLiteral("%1 = '%2'").arg(column, text);
        const QString scanned = QStringLiteral("%1 and '%2' = %3").arg(indexed, text, column);
        const long n = view.rowCount();
        for (long a = -1; a <= n + 2; a += 3) {
            for (long b = -1; b <= n + 2; b += 4) {
                if (view.find(indexed, a, b) != view.find(scanned, a, b)) {
                    qWarning("%s differs from %ld to %ld", qPrintable(indexed), a, b);
                    return false;
                }
            }
        }
        return true;
    };
    QCOMPARE(view.find("code = '4'", 1, 60), 5);
    QCOMPARE(view.find("'4' = code", 60, 1), 59);   // the text may stand on either side
    QCOMPARE(view.find("code = '4'", 6, 13), 0);
    QCOMPARE(view.find("name = ''", 1, 60), 5);      // an empty text, but never a null
    QVERIFY(agreeEverywhere("code", "4"));
    QVERIFY(agreeEverywhere("name", ""));

    view.setItem(5, "code", "x");                    // an edit moves the row out of "4"
    QCOMPARE(view.find("code = '4'", 1, 60), 14);
    QCOMPARE(view.find("code = 'x'", 1, 60), 5);
    QVERIFY(agreeEverywhere("code", "4"));

    QCOMPARE(view.setSort("code D, handle A"), 1);
    view.sort();                                     // the rows move: the index follows
    QCOMPARE(view.itemString(view.find("code = '4'", 1, 60), "handle"), QStringLiteral("13"));
    QVERIFY(agreeEverywhere("code", "4"));

    DataView secondary;                              // an edit through a view sharing the rows
    secondary.setDefinition(chapterDefinition());
    QCOMPARE(secondary.shareData(&view), 1);
    const long row = view.find("code = 'x'", 1, 60);
    secondary.setItem(row, "code", "y");
    QCOMPARE(view.find("code = 'x'", 1, 60), 0);
    QCOMPARE(view.find("code = 'y'", 1, 60), row);

    view.loadRows({{"7", "a", "Y", 1.0, 0}});
    QCOMPARE(view.find("code = '4'", 1, 1), 0);
    QCOMPARE(view.find("code = '7'", 1, 1), 1);

    // A column holding numbers compares a text as a number: "9" finds 9.0 and "09" too.
    view.loadRows(sampleRows());
    QCOMPARE(view.find("tsl = '9'", 1, 5), 3);
    QCOMPARE(view.find("tsl = '09'", 1, 5), 3);
    QVERIFY(agreeEverywhere("tsl", "10"));
}

void TestDataView::currentRowAndScrolling()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    QCOMPARE(view.currentRow(), 0);
    QSignalSpy moved(&view, &DataView::currentRowChanged);
    view.loadRows(sampleRows());
    QCOMPARE(view.currentRow(), 1);
    QCOMPARE(view.scrollToRow(4), 1);
    QCOMPARE(view.currentRow(), 4);
    view.scrollToRow(0);
    QCOMPARE(view.currentRow(), 1);
    view.scrollToRow(-3);
    QCOMPARE(view.currentRow(), 1);
    view.scrollToRow(99);
    QCOMPARE(view.currentRow(), 5);
    QCOMPARE(moved.count(), 4); // 1, 4, 1, 5
    QCOMPARE(moved.last().at(0).toLongLong(), 5);
    view.loadRows({{"01", "a", "Y", 1.0, 0}, {"02", "b", "Y", 1.0, 0}});
    QCOMPARE(view.currentRow(), 1);
    view.loadRows({});
    QCOMPARE(view.currentRow(), 0);
    view.scrollToRow(3);
    QCOMPARE(view.currentRow(), 0);
}

void TestDataView::selection()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows(sampleRows());
    QSignalSpy changed(&view, &DataView::selectionChanged);
    QCOMPARE(view.selectRow(2, true), 1);
    QVERIFY(view.isSelected(2));
    QVERIFY(!view.isSelected(1));
    QCOMPARE(view.selectRow(0, true), 1);
    for (long r = 1; r <= 5; ++r)
        QVERIFY(view.isSelected(r));
    QCOMPARE(view.selectRow(0, false), 1);
    for (long r = 1; r <= 5; ++r)
        QVERIFY(!view.isSelected(r));
    QCOMPARE(changed.count(), 3);
    QCOMPARE(view.selectRow(6, true), -1);
    QCOMPARE(view.selectRow(-1, true), -1);
    QVERIFY(!view.isSelected(0));
    QVERIFY(!view.isSelected(6));
    view.selectRow(3, true);
    view.loadRows(sampleRows());
    QVERIFY(!view.isSelected(3));
}

KIV_TEST_GUILESS_MAIN(TestDataView)
#include "tst_dataview.moc"
