#include "DataViewRows.h"

#include "support/TestMain.h"

#include <QSignalSpy>
#include <QTest>

// A data view's order and shape: sort, describe and modify, rows shared between views, redraw.
class TestDataViewStructure : public QObject
{
    Q_OBJECT
private slots:
    void sortIsStableAndTyped();
    void sortKeepsFlagsAndSelection();
    void setSortRejectsBadCriteria();
    void describeAndModify();
    void modifyErrorsChangeNothing();
    void sharedData();
    void redrawOff();
};

void TestDataViewStructure::sortIsStableAndTyped()
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

void TestDataViewStructure::sortKeepsFlagsAndSelection()
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

void TestDataViewStructure::setSortRejectsBadCriteria()
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

void TestDataViewStructure::describeAndModify()
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

void TestDataViewStructure::modifyErrorsChangeNothing()
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

void TestDataViewStructure::sharedData()
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

void TestDataViewStructure::redrawOff()
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

KIV_TEST_GUILESS_MAIN(TestDataViewStructure)
#include "tst_dataviewstructure.moc"
