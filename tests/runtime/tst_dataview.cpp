#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"

#include "TestDatabase.h"
#include "TestEnv.h"
#include "support/TestMain.h"

#include <QSignalSpy>
#include <QTest>

using namespace runtime;

namespace {

ColumnDefinition column(const char *name, ColumnType type, const char *heading = "", bool updatable = false)
{
    ColumnDefinition c;
    c.name = QString::fromLatin1(name);
    c.type = type;
    c.width = type == ColumnType::String ? 13 : 0;
    c.heading = QString::fromUtf8(heading);
    c.updatable = updatable;
    return c;
}

// A chapter list like the options dialog's: code, name, flag, plus a number and a handle.
DataViewDefinition chapterDefinition()
{
    DataViewDefinition d;
    d.name = QStringLiteral("d_test");
    d.columns = {column("code", ColumnType::String, "代码", true),
                 column("name", ColumnType::String, "商品大类名称", true),
                 column("flag", ColumnType::String, "显示", true),
                 column("tsl", ColumnType::Number),
                 column("handle", ColumnType::Long)};
    d.presentation = Presentation::Grid;
    d.shownColumns = {QStringLiteral("code"), QStringLiteral("name"), QStringLiteral("flag")};
    d.query = QStringLiteral("SELECT dbo.list_hscode.code, dbo.list_hscode.name, dbo.list_hscode.flag, "
                             "dbo.list_hscode.tsl, 0 as handle FROM dbo.list_hscode "
                             "WHERE Left(code,2) IN ('01','02','03') ORDER BY code");
    d.updateTable = QStringLiteral("list_hscode");
    d.keyColumns = {QStringLiteral("code")};
    return d;
}

QVector<QVector<QVariant>> sampleRows()
{
    return {{"01", "活动物", "Y", 0.0, 0},
            {"0101", "马", "N", 0.13, 0},
            {"02", "肉", QVariant(), 9.0, 0},
            {"0201", "其他肉", "Y", 10.0, 0},
            {"03", QVariant(), "N", QVariant(), 0}};
}

QStringList columnValues(const DataView &view, const QString &name)
{
    QStringList values;
    for (long r = 1; r <= view.rowCount(); ++r)
        values.append(view.isNull(r, name) ? QStringLiteral("<null>") : view.itemString(r, name));
    return values;
}

// Every row found by stepping find(expression, r + 1, n) from the first row.
QList<long> stepAll(const DataView &view, const QString &expression)
{
    QList<long> found;
    const long n = view.rowCount();
    long r = view.find(expression, 1, n);
    while (r > 0) {
        found.append(r);
        if (r + 1 > n)
            break;
        r = view.find(expression, r + 1, n);
    }
    return found;
}

} // namespace

class TestDataView : public QObject
{
    Q_OBJECT
private slots:
    void itemsAndConversions();
    void changeFlags();
    void findForwardsBackwardsAndClipping();
    void findInvalidAndCache();
    void findEqualsRowByRowSearch();
    void findByTextFollowsEveryChange();
    void currentRowAndScrolling();
    void selection();
    void sortIsStableAndTyped();
    void sortKeepsFlagsAndSelection();
    void setSortRejectsBadCriteria();
    void describeAndModify();
    void modifyErrorsChangeNothing();
    void sharedData();
    void redrawOff();

    void retrieveConvertsTypes();
    void retrieveFailures();
    void updateWritesOnlyModifiedRowsByOriginalKey();
    void updateFailureKeepsFlags();
    void updateFailsOnTrigger();
    void updateKeepsFlagsOnRequest();

private:
    bool openDatabase(TestEnv &env, Transaction &transaction, const QString &extraSql = QString());
    QString m_file;
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

void TestDataView::sortIsStableAndTyped()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows({{"b", "1", "Y", 10.0, 5},
                   {"a", "2", "N", 9.0, 4},
                   {"B", "3", "Y", QVariant(), 3},
                   {"10", "4", QVariant(), 9.0, 2},
                   {"9", "5", "N", 100.0, 1},
                   {"b", "6", "Y", 9.0, 0}});
    QSignalSpy reset(&view, &DataView::rowsReset);
    // Text by code point: digits, upper case, lower case; equal keys keep their order.
    QCOMPARE(view.setSort("code A"), 1);
    QCOMPARE(view.sort(), 1);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(columnValues(view, "code"), (QStringList{"10", "9", "B", "a", "b", "b"}));
    QCOMPARE(columnValues(view, "name"), (QStringList{"4", "5", "3", "2", "1", "6"}));
    // Numbers numerically, nulls first; ties stay in their current order.
    QCOMPARE(view.setSort("tsl a"), 1);
    view.sort();
    QCOMPARE(columnValues(view, "tsl"), (QStringList{"<null>", "9", "9", "9", "10", "100"}));
    QCOMPARE(columnValues(view, "name"), (QStringList{"3", "4", "2", "6", "1", "5"}));
    // Descending puts nulls last, and ties still keep their order.
    view.setSort("tsl D");
    view.sort();
    QCOMPARE(columnValues(view, "tsl"), (QStringList{"100", "10", "9", "9", "9", "<null>"}));
    QCOMPARE(columnValues(view, "name"), (QStringList{"5", "1", "4", "2", "6", "3"}));
    // Several keys; the default direction is ascending.
    QCOMPARE(view.setSort("flag, handle D"), 1);
    view.sort();
    QCOMPARE(columnValues(view, "flag"), (QStringList{"<null>", "N", "N", "Y", "Y", "Y"}));
    QCOMPARE(columnValues(view, "handle"), (QStringList{"2", "4", "1", "5", "3", "0"}));
    QCOMPARE(view.sortCriteria(), QString("flag, handle D"));
    view.setSort("#5 A");
    view.sort();
    QCOMPARE(columnValues(view, "handle"), (QStringList{"0", "1", "2", "3", "4", "5"}));
}

void TestDataView::sortKeepsFlagsAndSelection()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows(sampleRows());
    view.setItem(2, "flag", "Y"); // row "0101"
    view.selectRow(4, true);      // row "0201"
    view.scrollToRow(5);
    view.setSort("code D");
    view.sort();
    QCOMPARE(columnValues(view, "code"), (QStringList{"03", "0201", "02", "0101", "01"}));
    QCOMPARE(view.rowStatus(4), ItemStatus::DataModified);
    QCOMPARE(view.itemStatus(4, 3), ItemStatus::DataModified);
    QCOMPARE(view.rowStatus(2), ItemStatus::NotModified);
    QCOMPARE(view.modifiedCount(), 1);
    QVERIFY(view.isSelected(2));
    QVERIFY(!view.isSelected(4));
    QVERIFY(view.currentRow() >= 1 && view.currentRow() <= 5);
}

void TestDataView::setSortRejectsBadCriteria()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows(sampleRows());
    QCOMPARE(view.setSort("name D"), 1);
    QCOMPARE(view.setSort("colour A"), -1);
    QCOMPARE(view.setSort("code X"), -1);
    QCOMPARE(view.setSort("code A D"), -1);
    QCOMPARE(view.setSort("#9 A"), -1);
    QCOMPARE(view.sortCriteria(), QString("name D"));
    view.sort();
    QCOMPARE(view.itemString(1, "name"), QString("马"));
    QCOMPARE(view.setSort(""), 1);
    QCOMPARE(view.sort(), 1);
    QCOMPARE(view.itemString(1, "name"), QString("马")); // no criteria: order unchanged
}

void TestDataView::describeAndModify()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows(sampleRows());
    QSignalSpy attributes(&view, &DataView::attributesChanged);
    QCOMPARE(view.describe("code.Tag"), QString("?"));
    QCOMPARE(view.describe("CODE.tag"), QString("?"));
    QCOMPARE(view.modify("code.Tag='A' name.Tag=\"D\""), QString());
    QCOMPARE(attributes.count(), 1);
    QCOMPARE(view.describe("code.Tag"), QString("A"));
    QCOMPARE(view.describe("Name.TAG"), QString("D"));
    QCOMPARE(view.describe("code.Tag name.Tag"), QString("A\nD"));
    QCOMPARE(view.modify("code.Tag=''"), QString());
    QCOMPARE(view.describe("code.Tag"), QString());
    QCOMPARE(view.modify("code.tag=plain"), QString());
    QCOMPARE(view.describe("code.Tag"), QString("plain"));
    QCOMPARE(view.modify("code.tag='a ~'quoted~' ~~ value'"), QString());
    QCOMPARE(view.describe("code.Tag"), QString("a 'quoted' ~ value"));

    // Headings, names, geometry and visibility.
    QCOMPARE(view.describe("code_t.Text"), QString("代码"));
    QCOMPARE(view.modify("code_t.Text='编码'"), QString());
    QCOMPARE(view.describe("code_t.text"), QString("编码"));
    QCOMPARE(view.describe("code.Name"), QString("code"));
    QCOMPARE(view.describe("code_t.Name"), QString("code_t"));
    QCOMPARE(view.describe("code.Visible"), QString("1"));
    QCOMPARE(view.describe("tsl.Visible"), QString("0"));
    QCOMPARE(view.describe("tsl.ColType"), QString("number"));
    QCOMPARE(view.describe("code.ColType"), QString("char(13)"));
    bool ok = false;
    const int nameX = view.describe("name.x").toInt(&ok);
    QVERIFY(ok);
    QVERIFY(nameX > view.describe("code.x").toInt()); // a grid puts columns side by side
    QCOMPARE(view.modify("code.x=100 code.y = '20' name.Visible='0'"), QString());
    QCOMPARE(view.describe("code.x code.y name.visible"), QString("100\n20\n0"));
    // An attribute bound to an expression keeps its initial value.
    QCOMPARE(view.modify("code.x =\"1~tLong(Describe(~\"name.x~\"))\""), QString());
    QCOMPARE(view.describe("code.x"), QString("1"));

    // The view itself.
    QCOMPARE(view.describe("datawindow.table.select"), chapterDefinition().query);
    QCOMPARE(view.describe("DataWindow.Table.UpdateTable"), QString("list_hscode"));
    QCOMPARE(view.describe("datawindow.column.count"), QString("5"));
    view.setSort("code D");
    QCOMPARE(view.describe("datawindow.table.sort"), QString("code D"));
    QCOMPARE(view.modify("datawindow.table.select='SELECT 1'"), QString());
    QCOMPARE(view.definition().query, QString("SELECT 1"));

    // Unknown objects and attributes describe as "!"; nothing after them is described.
    QCOMPARE(view.describe("P_SortName.x"), QString("!"));
    QCOMPARE(view.describe("code.nosuch"), QString("!"));
    QCOMPARE(view.describe("code.Tag P_SortName.x name.Tag"), QString("plain\n!").replace("plain", view.describe("code.Tag")));
    QCOMPARE(view.describe("code"), QString("!"));
    QCOMPARE(view.describe(""), QString("!"));
    QCOMPARE(view.rowCount(), 5);
}

void TestDataView::modifyErrorsChangeNothing()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows(sampleRows());
    QCOMPARE(view.modify("code.Tag='A' code.x=10"), QString());
    QSignalSpy attributes(&view, &DataView::attributesChanged);
    const QStringList failing = {
        "P_SortName.Visible='1'",
        "P_SortName.FileName='.\\bmp\\orderup.bmp'",
        "P_SortName.x =\"1~tLong(Describe(~\"code.x~\"))\"",
        "P_SortName.y =\"1~tLong(Describe(~\"code.y~\"))+8\"",
        "code.Tag='D' P_SortName.Visible='1'", // all or nothing
        "code.Tag='D' code.x='wide'",
        "code.Tag='D' code.Visible='yes'",
        "code.Tag='D' code.Name='other'",
        "code.Tag='D' code.nosuch='1'",
        "code.Tag='D' datawindow.table.updatetable='x'",
        "code.Tag='D",
        "code.Tag",
        "code.Tag 'D'",
        "Tag='D'",
        ".Tag='D'",
        "code.='D'",
        "code.Tag=",
    };
    for (const QString &modification : failing) {
        const QString error = view.modify(modification);
        QVERIFY2(!error.isEmpty(), qPrintable(modification));
        QCOMPARE(view.describe("code.Tag"), QString("A"));
        QCOMPARE(view.describe("code.x"), QString("10"));
        QCOMPARE(view.describe("code.Visible"), QString("1"));
        QCOMPARE(view.describe("code.Name"), QString("code"));
    }
    QVERIFY(view.modify("P_SortName.Visible='1'").contains("P_SortName"));
    QCOMPARE(attributes.count(), 0);
    QCOMPARE(view.modify(""), QString()); // nothing to do is no error
    QCOMPARE(view.modify("   "), QString());
}

void TestDataView::sharedData()
{
    DataView primary;
    primary.setDefinition(chapterDefinition());
    primary.loadRows(sampleRows());
    DataView secondary;
    DataViewDefinition form = chapterDefinition();
    form.presentation = Presentation::Form;
    secondary.setDefinition(form);
    QSignalSpy secondaryReset(&secondary, &DataView::rowsReset);
    QSignalSpy secondaryChanged(&secondary, &DataView::itemChanged);
    QCOMPARE(secondary.shareData(&primary), 1);
    QCOMPARE(secondaryReset.count(), 1);
    QCOMPARE(secondary.rowCount(), 5);
    QCOMPARE(secondary.itemString(2, "code"), QString("0101"));

    // Same rows and flags both ways; each notifies its own presentations.
    secondary.setItem(2, "flag", "Y");
    QCOMPARE(primary.itemString(2, "flag"), QString("Y"));
    QCOMPARE(primary.rowStatus(2), ItemStatus::DataModified);
    QCOMPARE(secondaryChanged.count(), 1);
    QSignalSpy primaryChanged(&primary, &DataView::itemChanged);
    primary.setItem(3, "name", "鱼");
    QCOMPARE(secondary.itemString(3, "name"), QString("鱼"));
    QCOMPARE(primaryChanged.count(), 1);
    QCOMPARE(secondaryChanged.count(), 2);
    primary.resetUpdate();
    QCOMPARE(secondary.modifiedCount(), 0);

    // Current row, selection and attributes stay each view's own.
    primary.scrollToRow(4);
    QCOMPARE(secondary.currentRow(), 1);
    secondary.selectRow(2, true);
    QVERIFY(!primary.isSelected(2));
    secondary.modify("code.Tag='A'");
    QCOMPARE(primary.describe("code.Tag"), QString("?"));

    // Sorting or loading in one shows in the other.
    primary.setSort("code D");
    primary.sort();
    QCOMPARE(secondary.itemString(1, "code"), QString("03"));
    QVERIFY(secondary.isSelected(4)); // the selected row "0101" moved from 2 to 4
    primary.loadRows({{"09", "x", "Y", 1.0, 0}});
    QCOMPARE(secondary.rowCount(), 1);
    QCOMPARE(secondary.currentRow(), 1);

    // Views whose columns differ cannot share.
    DataView other;
    DataViewDefinition fewer = chapterDefinition();
    fewer.columns.removeLast();
    other.setDefinition(fewer);
    QCOMPARE(other.shareData(&primary), -1);
    DataViewDefinition retyped = chapterDefinition();
    retyped.columns[3].type = ColumnType::String;
    other.setDefinition(retyped);
    QCOMPARE(other.shareData(&primary), -1);
    QCOMPARE(other.shareData(&other), -1);
    QCOMPARE(other.shareData(nullptr), -1);
    QCOMPARE(other.shareDataOff(), -1);

    // Ending the sharing leaves the secondary empty and the primary with its rows.
    QCOMPARE(secondary.shareDataOff(), 1);
    QCOMPARE(secondary.rowCount(), 0);
    QCOMPARE(secondary.currentRow(), 0);
    QCOMPARE(primary.rowCount(), 1);
    primary.setItem(1, "name", "y");
    QCOMPARE(secondary.rowCount(), 0);

    // The primary can end it for every view that shares its rows.
    DataView third;
    third.setDefinition(form);
    QCOMPARE(third.shareData(&primary), 1);
    QCOMPARE(primary.shareDataOff(), 1);
    QCOMPARE(third.rowCount(), 0);
    QCOMPARE(primary.rowCount(), 1);

    // A secondary outlives its primary with the rows it shows.
    auto *shortLived = new DataView;
    shortLived->setDefinition(form);
    shortLived->loadRows(sampleRows());
    QCOMPARE(third.shareData(shortLived), 1);
    delete shortLived;
    QCOMPARE(third.rowCount(), 5);
    QCOMPARE(third.setItem(1, "name", "z"), 1);
}

void TestDataView::redrawOff()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows(sampleRows());
    QSignalSpy reset(&view, &DataView::rowsReset);
    QSignalSpy changed(&view, &DataView::itemChanged);
    view.setRedraw(false);
    QVERIFY(!view.redraw());
    view.setItem(1, "flag", "N");
    view.setSort("code D");
    view.sort();
    QCOMPARE(reset.count(), 0);
    QCOMPARE(changed.count(), 0);
    view.setRedraw(true);
    QCOMPARE(reset.count(), 1); // one repaint for everything that happened
    view.setRedraw(false);
    view.setRedraw(true);
    QCOMPARE(reset.count(), 1);
    view.setItem(1, "flag", "Y");
    QCOMPARE(changed.count(), 1);
}

// ---- with a database

bool TestDataView::openDatabase(TestEnv &env, Transaction &transaction, const QString &extraSql)
{
    m_file = env.path(QStringLiteral("test.db"));
    if (!TestDatabase::create(m_file))
        return false;
    const QString rows = QStringLiteral(
        "INSERT INTO list_hscode (code, name, flag, tsl) VALUES ('01', '活动物', 'Y', 0);"
        "INSERT INTO list_hscode (code, name, flag, tsl) VALUES ('0101', '马', 'N', 0.13);"
        "INSERT INTO list_hscode (code, name, flag, tsl) VALUES ('02', '肉', 'N', 9);"
        "INSERT INTO list_hscode (code, name, flag, tsl) VALUES ('03', NULL, 'Y', NULL);"
        "INSERT INTO list_hscode (code, name, flag, tsl) VALUES ('04', '乳品', 'Y', 13);"
        "CREATE TABLE update_log (code TEXT);"
        "CREATE TRIGGER log_updates AFTER UPDATE ON list_hscode "
        "BEGIN INSERT INTO update_log VALUES (new.code); END;");
    if (!TestDatabase::exec(m_file, rows + extraSql))
        return false;
    transaction.dbms = QStringLiteral("ODBC");
    transaction.dbParm = "Connectstring='" + TestEnv::directConnectString(m_file) + "'";
    transaction.autoCommit = false;
    if (transaction.connect() != 0) {
        qWarning("connect: %s", qPrintable(transaction.sqlErrText()));
        return false;
    }
    return true;
}

void TestDataView::retrieveConvertsTypes()
{
    TestEnv env;
    Transaction transaction;
    QVERIFY(openDatabase(env, transaction));
    DataView view;
    view.setDefinition(chapterDefinition());
    view.setTransObject(&transaction);
    QCOMPARE(view.transObject(), &transaction);
    QSignalSpy reset(&view, &DataView::rowsReset);
    QCOMPARE(view.retrieve(), 4); // chapters 01, 02, 03 and the heading 0101
    QCOMPARE(reset.count(), 1);
    QCOMPARE(view.currentRow(), 1);
    QCOMPARE(columnValues(view, "code"), (QStringList{"01", "0101", "02", "03"}));
    QCOMPARE(view.item(2, "code").typeId(), int(QMetaType::QString));
    QCOMPARE(view.item(2, "name").toString(), QString("马"));
    QCOMPARE(view.item(2, "tsl").typeId(), int(QMetaType::Double));
    QCOMPARE(view.itemNumber(2, "tsl"), 0.13);
    QCOMPARE(view.item(3, "tsl").toDouble(), 9.0);
    QCOMPARE(view.item(1, "handle").typeId(), int(QMetaType::Int));
    QCOMPARE(view.item(1, "handle").toInt(), 0);
    QVERIFY(view.isNull(4, "name"));
    QVERIFY(view.isNull(4, "tsl"));
    QCOMPARE(view.modifiedCount(), 0);
    QCOMPARE(view.find("code = '02'", 1, view.rowCount()), 3);
}

void TestDataView::retrieveFailures()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows(sampleRows());
    QCOMPARE(view.retrieve(), -1); // no transaction
    QCOMPARE(view.rowCount(), 0);

    TestEnv env;
    Transaction transaction;
    view.setTransObject(&transaction);
    view.loadRows(sampleRows());
    QCOMPARE(view.retrieve(), -1); // not connected
    QCOMPARE(view.rowCount(), 0);

    QVERIFY(openDatabase(env, transaction));
    DataViewDefinition broken = chapterDefinition();
    broken.query = QStringLiteral("SELECT code, name, flag, tsl, 0 FROM no_such_table");
    view.setDefinition(broken);
    view.loadRows(sampleRows());
    QCOMPARE(view.retrieve(), -1);
    QCOMPARE(view.rowCount(), 0);
    QCOMPARE(view.currentRow(), 0);
    QCOMPARE(transaction.sqlCode(), -1);
    QCOMPARE(view.update(), 1); // nothing to write
}

void TestDataView::updateWritesOnlyModifiedRowsByOriginalKey()
{
    TestEnv env;
    Transaction transaction;
    QVERIFY(openDatabase(env, transaction));
    DataView view;
    view.setDefinition(chapterDefinition());
    view.setTransObject(&transaction);
    QCOMPARE(view.retrieve(), 4);

    view.setItem(2, "flag", "Y");             // 0101
    view.setItem(3, "code", "05");            // 02 gets a new key
    view.setItem(3, "name", "鱼");
    view.setItem(4, "tsl", 99.0);             // not updatable: no statement
    view.setItem(1, "handle", 7);             // computed: no statement
    QCOMPARE(view.update(), 1);
    QCOMPARE(view.modifiedCount(), 0);

    // Not committed by the view: another connection still sees the old rows.
    QCOMPARE(TestDatabase::column(m_file, "SELECT flag FROM list_hscode WHERE code='0101'"), QStringList{"N"});
    QCOMPARE(transaction.commit(), 0);
    QCOMPARE(TestDatabase::column(m_file, "SELECT code FROM update_log ORDER BY code"),
             (QStringList{"0101", "05"}));
    QCOMPARE(TestDatabase::column(m_file, "SELECT flag FROM list_hscode WHERE code='0101'"), QStringList{"Y"});
    QCOMPARE(TestDatabase::column(m_file, "SELECT name FROM list_hscode WHERE code='05'"), QStringList{"鱼"});
    QCOMPARE(TestDatabase::column(m_file, "SELECT count(*) FROM list_hscode WHERE code='02'"), QStringList{"0"});
    QCOMPARE(TestDatabase::column(m_file, "SELECT tsl FROM list_hscode WHERE code='03'"), QStringList{"<null>"});

    // After the reset the new key is the original one.
    view.setItem(3, "flag", "Y");
    QCOMPARE(view.update(), 1);
    QCOMPARE(transaction.commit(), 0);
    QCOMPARE(TestDatabase::column(m_file, "SELECT flag FROM list_hscode WHERE code='05'"), QStringList{"Y"});
}

void TestDataView::updateFailureKeepsFlags()
{
    TestEnv env;
    Transaction transaction;
    QVERIFY(openDatabase(env, transaction));
    DataView view;
    view.setDefinition(chapterDefinition());
    view.setTransObject(&transaction);
    QCOMPARE(view.retrieve(), 4);
    QCOMPARE(transaction.execute("DELETE FROM list_hscode WHERE code = '0101'"), 0);

    view.setItem(2, "flag", "Y"); // its row is gone: the update finds no row
    view.setItem(4, "flag", "N"); // would succeed, but the update stops first
    QCOMPARE(view.update(), -1);
    QCOMPARE(view.modifiedCount(), 2);
    QCOMPARE(view.itemStatus(2, 3), ItemStatus::DataModified);
    QCOMPARE(view.itemStatus(4, 3), ItemStatus::DataModified);
    QCOMPARE(transaction.commit(), 0);
    QCOMPARE(TestDatabase::column(m_file, "SELECT code FROM update_log"), QStringList{});
    QCOMPARE(TestDatabase::column(m_file, "SELECT flag FROM list_hscode WHERE code='03'"), QStringList{"Y"});

    // Without a connection nothing is tried.
    QCOMPARE(transaction.disconnect(), 0);
    QCOMPARE(view.update(), -1);
    QCOMPARE(view.modifiedCount(), 2);

    // A view without an update table cannot write its changes.
    DataView readOnly;
    DataViewDefinition definition = chapterDefinition();
    definition.updateTable.clear();
    readOnly.setDefinition(definition);
    readOnly.setTransObject(&transaction);
    QCOMPARE(transaction.connect(), 0);
    QCOMPARE(readOnly.retrieve(), 3);
    readOnly.setItem(1, "flag", "N");
    QCOMPARE(readOnly.update(), -1);
    QCOMPARE(readOnly.modifiedCount(), 1);
}

void TestDataView::updateFailsOnTrigger()
{
    TestEnv env;
    Transaction transaction;
    QVERIFY(openDatabase(env, transaction,
                         "CREATE TRIGGER refuse BEFORE UPDATE ON list_hscode WHEN new.flag = 'X' "
                         "BEGIN SELECT RAISE(ABORT,'no'); END;"));
    DataView view;
    view.setDefinition(chapterDefinition());
    view.setTransObject(&transaction);
    QCOMPARE(view.retrieve(), 4);
    view.setItem(1, "flag", "X");
    QCOMPARE(view.update(), -1);
    QCOMPARE(view.modifiedCount(), 1);
    QCOMPARE(view.itemStatus(1, 3), ItemStatus::DataModified);
    QCOMPARE(transaction.sqlCode(), -1);
    QVERIFY(!transaction.sqlErrText().isEmpty());
    // Once the value is acceptable the same changes go through.
    view.setItem(1, "flag", "N");
    QCOMPARE(view.update(), 1);
    QCOMPARE(transaction.commit(), 0);
    QCOMPARE(TestDatabase::column(m_file, "SELECT flag FROM list_hscode WHERE code='01'"), QStringList{"N"});
}

void TestDataView::updateKeepsFlagsOnRequest()
{
    TestEnv env;
    Transaction transaction;
    QVERIFY(openDatabase(env, transaction));
    DataView view;
    view.setDefinition(chapterDefinition());
    view.setTransObject(&transaction);
    QCOMPARE(view.retrieve(), 4);
    view.setItem(4, "flag", "N");
    QCOMPARE(view.update(false), 1);
    QCOMPARE(view.modifiedCount(), 1);
    QCOMPARE(view.itemStatus(4, 3), ItemStatus::DataModified);
    QCOMPARE(view.resetUpdate(), 1);
    QCOMPARE(view.modifiedCount(), 0);
    QCOMPARE(transaction.commit(), 0);
    QCOMPARE(TestDatabase::column(m_file, "SELECT flag FROM list_hscode WHERE code='03'"), QStringList{"N"});
}

KIV_TEST_GUILESS_MAIN(TestDataView)
#include "tst_dataview.moc"
