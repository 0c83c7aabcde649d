#include "core/runtime/DataView.h"
#include "core/runtime/DataViewModel.h"
#include "support/TestMain.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace runtime;

namespace {

ColumnDefinition column(const char *name, ColumnType type, const char *heading, bool updatable = false)
{
    ColumnDefinition c;
    c.name = QString::fromLatin1(name);
    c.type = type;
    c.heading = QString::fromUtf8(heading);
    c.updatable = updatable;
    return c;
}

DataViewDefinition optionDefinition()
{
    DataViewDefinition d;
    d.name = QStringLiteral("d_option_test");
    d.columns = {column("code", ColumnType::String, "代码", true),
                 column("name", ColumnType::String, "商品大类名称", true),
                 column("flag", ColumnType::String, "显示", true),
                 column("tsl", ColumnType::Number, "")};
    d.presentation = Presentation::Grid;
    d.shownColumns = {QStringLiteral("code"), QStringLiteral("name"), QStringLiteral("flag")};
    d.updateTable = QStringLiteral("list_hscode");
    d.keyColumns = {QStringLiteral("code")};
    return d;
}

QVector<QVector<QVariant>> chapters()
{
    return {{"01", "活动物", "Y", 0.5}, {"02", "肉", "N", 1.0}, {"03", "鱼", QVariant(), 2.0}};
}

} // namespace

class TestDataViewModel : public QObject
{
    Q_OBJECT
private slots:
    void columnsAndHeadings();
    void checkBoxColumn();
    void editing();
    void followsTheView();
    void attributesChangeColumns();
    void redrawOffKeepsTheModelConsistent();
    void inATableView();
};

void TestDataViewModel::columnsAndHeadings()
{
    DataView view;
    view.setDefinition(optionDefinition());
    view.loadRows(chapters());
    DataViewModel model(&view);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 3);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("代码"));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("商品大类名称"));
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QString("显示"));
    QCOMPARE(model.headerData(1, Qt::Vertical).toInt(), 2);
    QCOMPARE(model.viewColumn(2), 3);
    QCOMPARE(model.viewColumn(3), 0);
    QCOMPARE(model.modelColumn("FLAG"), 2);
    QCOMPARE(model.modelColumn("tsl"), -1);
    QCOMPARE(model.data(model.index(1, 1)).toString(), QString("肉"));
    QCOMPARE(model.data(model.index(2, 2)).toString(), QString());
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

    // Without shown columns every column is shown; numbers are right-aligned text.
    DataViewDefinition all = optionDefinition();
    all.shownColumns.clear();
    DataView allView;
    allView.setDefinition(all);
    allView.loadRows(chapters());
    DataViewModel allModel(&allView);
    QAbstractItemModelTester allTester(&allModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(allModel.columnCount(), 4);
    QCOMPARE(allModel.headerData(3, Qt::Horizontal).toString(), QString("tsl")); // no heading: the name
    QCOMPARE(allModel.data(allModel.index(0, 3)).toString(), QString("0.5"));
    QVERIFY(allModel.data(allModel.index(0, 3), Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
}

void TestDataViewModel::checkBoxColumn()
{
    DataView view;
    view.setDefinition(optionDefinition());
    view.loadRows(chapters());
    DataViewModel model(&view);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setCheckBox("flag", "Y", "N");
    QVERIFY(model.isCheckBox(2));
    QVERIFY(!model.isCheckBox(0));
    const QModelIndex first = model.index(0, 2);
    QVERIFY(model.flags(first) & Qt::ItemIsUserCheckable);
    QCOMPARE(model.data(first, Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(model.data(model.index(1, 2), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(model.data(model.index(2, 2), Qt::CheckStateRole).toInt(), int(Qt::Unchecked)); // null
    QVERIFY(!model.data(first, Qt::DisplayRole).isValid()); // the box alone, no "Y"
    QVERIFY(!model.data(model.index(0, 0), Qt::CheckStateRole).isValid());

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.setData(first, Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(view.itemString(1, "flag"), QString("N"));
    QCOMPARE(view.itemStatus(1, 3), ItemStatus::DataModified);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), first);
    QVERIFY(model.setData(model.index(2, 2), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(view.itemString(3, "flag"), QString("Y"));
    QCOMPARE(model.data(model.index(2, 2), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    // Check state on a plain column does nothing.
    QVERIFY(!model.setData(model.index(0, 1), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(view.itemString(1, "name"), QString("活动物"));
}

void TestDataViewModel::editing()
{
    DataView view;
    view.setDefinition(optionDefinition());
    view.loadRows(chapters());
    DataViewModel model(&view);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QModelIndex name = model.index(1, 1);
    QVERIFY(!model.setData(name, "牛肉")); // read-only by default
    QCOMPARE(view.itemString(2, "name"), QString("肉"));
    model.setColumnEditable("name", true);
    QVERIFY(model.flags(name) & Qt::ItemIsEditable);
    QVERIFY(model.setData(name, "牛肉"));
    QCOMPARE(view.itemString(2, "name"), QString("牛肉"));
    QCOMPARE(model.data(name, Qt::EditRole).toString(), QString("牛肉"));
    QCOMPARE(view.rowStatus(2), ItemStatus::DataModified);
}

void TestDataViewModel::followsTheView()
{
    DataView view;
    view.setDefinition(optionDefinition());
    DataViewModel model(&view);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 0);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    view.loadRows(chapters());
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.rowCount(), 3);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    view.setItem(2, "name", "羊肉");
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), model.index(1, 1));
    QCOMPARE(model.data(model.index(1, 1)).toString(), QString("羊肉"));
    view.setItem(2, "tsl", 5.0); // not shown: no signal
    QCOMPARE(changed.count(), 1);

    view.setSort("code D");
    view.sort();
    QCOMPARE(reset.count(), 2);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString("03"));

    // A view that shares these rows drives its own model.
    DataView secondary;
    secondary.setDefinition(optionDefinition());
    DataViewModel secondaryModel(&secondary);
    QAbstractItemModelTester secondaryTester(&secondaryModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(secondary.shareData(&view), 1);
    QCOMPARE(secondaryModel.rowCount(), 3);
    QSignalSpy secondaryChanged(&secondaryModel, &QAbstractItemModel::dataChanged);
    view.setItem(1, "code", "09");
    QCOMPARE(secondaryChanged.count(), 1);
    QCOMPARE(secondaryModel.data(secondaryModel.index(0, 0)).toString(), QString("09"));

    view.loadRows({});
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(secondaryModel.rowCount(), 0);
}

void TestDataViewModel::attributesChangeColumns()
{
    DataView view;
    view.setDefinition(optionDefinition());
    view.loadRows(chapters());
    DataViewModel model(&view);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy header(&model, &QAbstractItemModel::headerDataChanged);
    QCOMPARE(view.modify("name_t.Text='名称'"), QString());
    QCOMPARE(header.count(), 1);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("名称"));
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QCOMPARE(view.modify("name.Visible='0'"), QString());
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("显示"));
    QCOMPARE(view.modify("name.Visible='1'"), QString());
    QCOMPARE(model.columnCount(), 3);
    // A failed modification changes nothing the model shows.
    QVERIFY(!view.modify("name.Visible='0' P_SortName.Visible='1'").isEmpty());
    QCOMPARE(model.columnCount(), 3);
}

void TestDataViewModel::redrawOffKeepsTheModelConsistent()
{
    DataView view;
    view.setDefinition(optionDefinition());
    view.loadRows(chapters());
    DataViewModel model(&view);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    view.setRedraw(false);
    view.loadRows({{"01", "a", "Y", 1.0}});
    // Until redrawing resumes the model keeps the row count it announced.
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(!model.data(model.index(2, 0)).isValid());
    QVERIFY(!model.setData(model.index(2, 2), Qt::Checked, Qt::CheckStateRole));
    view.setRedraw(true);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString("a"));
}

void TestDataViewModel::inATableView()
{
    DataView view;
    view.setDefinition(optionDefinition());
    view.loadRows(chapters());
    QTableView table;
    auto *model = new DataViewModel(&view, &table);
    model->setCheckBox("flag", "Y", "N");
    table.setModel(model);
    table.resize(400, 200);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    // A click on the check box of row 2 checks the chapter.
    const QModelIndex flag = model->index(1, 2);
    table.scrollTo(flag);
    const QRect cell = table.visualRect(flag);
    QStyleOptionViewItem option;
    option.initFrom(&table);
    option.rect = cell;
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = table.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &table);
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, box.center());
    QCOMPARE(view.itemString(2, "flag"), QString("Y"));
    // A view destroyed before its model leaves the model empty.
    auto *shortLived = new DataView;
    shortLived->setDefinition(optionDefinition());
    shortLived->loadRows(chapters());
    DataViewModel orphan(shortLived);
    QAbstractItemModelTester tester(&orphan, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(orphan.rowCount(), 3);
    delete shortLived;
    QVERIFY(!orphan.view());
    QCOMPARE(orphan.rowCount(), 0);
    QCOMPARE(orphan.columnCount(), 0);
}

KIV_TEST_MAIN(TestDataViewModel)
#include "tst_dataviewmodel.moc"
