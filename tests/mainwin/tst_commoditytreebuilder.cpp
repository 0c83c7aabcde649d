#include "core/catalog/CommodityTreeBuilder.h"

#include "core/data/dataviews.h"
#include "core/runtime/DataView.h"
#include "core/runtime/TreeModel.h"
#include "support/TestMain.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using runtime::DataView;
using runtime::TreeItem;
using runtime::TreeModel;
using runtime::TreeNavigation;

namespace {
// Rows of the foreign-trade detail view: jmw_code, m_flag, name, unit, flag, handle.
void load(DataView &view, const QList<QVariant> &codes, const QList<QVariant> &names = {})
{
    view.setDefinition(d_detail_wmats());
    QVector<QVector<QVariant>> rows;
    for (int i = 0; i < codes.size(); ++i) {
        const QVariant name = i < names.size() ? names.at(i) : QVariant(QStringLiteral("n%1").arg(i));
        rows.append({codes.at(i), QVariant(), name, QVariant(), QVariant(), QVariant::fromValue<qint32>(0)});
    }
    view.loadRows(rows);
}

QString dataOf(const TreeModel &model, long handle)
{
    TreeItem item;
    return model.getItem(handle, item) == 1 ? item.data.toString() : QStringLiteral("<none>");
}

QString parentCode(const TreeModel &model, long handle)
{
    return dataOf(model, model.findItem(TreeNavigation::Parent, handle));
}

long handleOf(const DataView &view, long row)
{
    return view.item(row, QStringLiteral("handle")).toLongLong();
}
} // namespace

class tst_CommodityTreeBuilder : public QObject
{
    Q_OBJECT
private slots:
    void emptyViewGivesOnlyTheRoot()
    {
        DataView view;
        load(view, {});
        TreeModel model;
        QAbstractItemModelTester tester(&model);
        const long root = CommodityTreeBuilder::build(view, model, CommodityTreeBuilder::foreignTrade());
        QVERIFY(root > 0);
        QCOMPARE(model.itemCount(), 1);
        TreeItem item;
        QCOMPARE(model.getItem(root, item), 1);
        QCOMPARE(item.label, QStringLiteral("外经贸局商品树"));
        QCOMPARE(CommodityTreeBuilder::customs().rootLabel, QStringLiteral("海关商品树"));
        QCOMPARE(CommodityTreeBuilder::customs().codeColumn, QStringLiteral("code"));
        QCOMPARE(item.data.toString(), QStringLiteral("0"));
        QCOMPARE(item.pictureIndex, 1);
        QCOMPARE(item.selectedPictureIndex, 6);
    }

    void completeLevelsNestByLength()
    {
        DataView view;
        load(view, {"01", "0101", "010121", "01012100", "0101210010", "0102", "02", "0201"});
        TreeModel model;
        QAbstractItemModelTester tester(&model);
        const long root = CommodityTreeBuilder::build(view, model, CommodityTreeBuilder::foreignTrade());
        QCOMPARE(model.itemCount(), 9);
        QCOMPARE(parentCode(model, handleOf(view, 1)), QStringLiteral("0"));
        QCOMPARE(parentCode(model, handleOf(view, 2)), QStringLiteral("01"));
        QCOMPARE(parentCode(model, handleOf(view, 3)), QStringLiteral("0101"));
        QCOMPARE(parentCode(model, handleOf(view, 4)), QStringLiteral("010121"));
        QCOMPARE(parentCode(model, handleOf(view, 5)), QStringLiteral("01012100"));
        QCOMPARE(parentCode(model, handleOf(view, 6)), QStringLiteral("01")); // back to the chapter
        QCOMPARE(parentCode(model, handleOf(view, 7)), QStringLiteral("0"));
        QCOMPARE(parentCode(model, handleOf(view, 8)), QStringLiteral("02"));
        QCOMPARE(model.childCount(root), 2);
    }

    void codesThatSkipALevelGoUnderTheirOwnPrefix()
    {
        // The bundled customs list: 10-digit codes right after their 6-digit subheading.
        DataView view;
        load(view, {"01", "0101", "010121", "0101210010", "0101210090", "010129", "0101290010"});
        TreeModel model;
        CommodityTreeBuilder::build(view, model, CommodityTreeBuilder::foreignTrade());
        QCOMPARE(parentCode(model, handleOf(view, 4)), QStringLiteral("010121"));
        QCOMPARE(parentCode(model, handleOf(view, 5)), QStringLiteral("010121"));
        // Not under the first subheading met: under its own.
        QCOMPARE(parentCode(model, handleOf(view, 7)), QStringLiteral("010129"));
    }

    void labelsPicturesAndHandles()
    {
        DataView view;
        load(view, {"01", "0101", "010121", "01012100", "0101210010"},
             {QStringLiteral("活动物"), QVariant(), QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("马")});
        TreeModel model;
        CommodityTreeBuilder::build(view, model, CommodityTreeBuilder::foreignTrade());
        const int expectedPictures[] = {2, 3, 4, 5, 6};
        for (long row = 1; row <= view.rowCount(); ++row) {
            TreeItem item;
            QCOMPARE(model.getItem(handleOf(view, row), item), 1);
            QCOMPARE(item.data.toString(), view.itemString(row, QStringLiteral("jmw_code")));
            QCOMPARE(item.pictureIndex, expectedPictures[row - 1]);
            QCOMPARE(item.selectedPictureIndex, 6);
        }
        TreeItem item;
        model.getItem(handleOf(view, 1), item);
        QCOMPARE(item.label, QStringLiteral("[01]活动物"));
        model.getItem(handleOf(view, 2), item);
        QCOMPARE(item.label, QStringLiteral("[0101]*未知名称"));
    }

    // The labels are made from the rows when shown: they stay right when the rows are sorted or
    // a name changes after the build, a repeated code's item keeps its own row's name, and the
    // tree's display data and getItem say the same.
    void labelsFollowTheRows_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("labels"); // of the rows' items, in the rows' first order
        const QStringList built{QStringLiteral("[01]活动物"), QStringLiteral("[0101]马"), QStringLiteral("[0101]驴"),
                                QStringLiteral("[0102]牛")};
        QTest::newRow("as built") << QString() << built;
        QTest::newRow("rows sorted by name, descending") << QStringLiteral("sort") << built;
        QStringList renamed = built;
        renamed[3] = QStringLiteral("[0102]家牛");
        QTest::newRow("a name changed afterwards") << QStringLiteral("rename") << renamed;
        QTest::newRow("the rows gone") << QStringLiteral("gone")
                                       << QStringList{QStringLiteral("[01]*未知名称"), QStringLiteral("[0101]马"),
                                                      QStringLiteral("[0101]驴"), QStringLiteral("[0102]*未知名称")};
    }

    void labelsFollowTheRows()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, labels);
        DataView view;
        load(view, {"01", "0101", "0101", "0102"},
             {QStringLiteral("活动物"), QStringLiteral("马"), QStringLiteral("驴"), QStringLiteral("牛")});
        TreeModel model;
        QAbstractItemModelTester tester(&model);
        CommodityTreeBuilder::build(view, model, CommodityTreeBuilder::foreignTrade());
        QList<long> handles;
        for (long row = 1; row <= view.rowCount(); ++row)
            handles.append(handleOf(view, row));
        if (change == QLatin1String("sort")) {
            QCOMPARE(view.setSort(QStringLiteral("name D")), 1);
            QCOMPARE(view.sort(), 1);
            QCOMPARE(view.itemString(1, QStringLiteral("name")), QStringLiteral("驴"));
        } else if (change == QLatin1String("rename")) {
            QCOMPARE(view.setItem(4, QStringLiteral("name"), QStringLiteral("家牛")), 1);
        } else if (change == QLatin1String("gone")) {
            view.loadRows({});
        }
        for (int i = 0; i < handles.size(); ++i) {
            TreeItem item;
            QCOMPARE(model.getItem(handles.at(i), item), 1);
            QCOMPARE(item.label, labels.at(i));
            QCOMPARE(model.data(model.index(handles.at(i)), Qt::DisplayRole).toString(), labels.at(i));
            QCOMPARE(model.label(handles.at(i)), labels.at(i));
        }
        // A label given to an item is kept, whatever the rows say.
        TreeItem item;
        model.getItem(handles.at(1), item);
        item.label = QStringLiteral("[0101]自定");
        QCOMPARE(model.setItem(handles.at(1), item), 1);
        view.loadRows({});
        QCOMPARE(model.label(handles.at(1)), QStringLiteral("[0101]自定"));
    }

    void rowsWithoutCodeAreSkipped()
    {
        DataView view;
        load(view, {"01", QVariant(), "", "0101"});
        TreeModel model;
        CommodityTreeBuilder::build(view, model, CommodityTreeBuilder::foreignTrade());
        QCOMPARE(model.itemCount(), 3);
        QCOMPARE(handleOf(view, 2), 0L);
        QCOMPARE(handleOf(view, 3), 0L);
        QCOMPARE(parentCode(model, handleOf(view, 4)), QStringLiteral("01"));
    }

    void oddCodesFindAPlace()
    {
        // One-character codes, codes without a chapter, codes longer than ten digits.
        DataView view;
        load(view, {"1", "01", "0101210010123", "99", "9901"});
        TreeModel model;
        QAbstractItemModelTester tester(&model);
        CommodityTreeBuilder::build(view, model, CommodityTreeBuilder::foreignTrade());
        QCOMPARE(model.itemCount(), 6);
        QCOMPARE(parentCode(model, handleOf(view, 1)), QStringLiteral("0"));
        QCOMPARE(parentCode(model, handleOf(view, 3)), QStringLiteral("01"));
        QCOMPARE(parentCode(model, handleOf(view, 5)), QStringLiteral("99"));
        TreeItem item;
        model.getItem(handleOf(view, 3), item);
        QCOMPARE(item.pictureIndex, 6);
        model.getItem(handleOf(view, 1), item);
        QCOMPARE(item.pictureIndex, 1);
    }

    void rebuildRewritesEveryHandle()
    {
        DataView view;
        load(view, {"01", "0101", "02"});
        TreeModel model;
        CommodityTreeBuilder::build(view, model, CommodityTreeBuilder::foreignTrade());
        const long first = handleOf(view, 2);
        CommodityTreeBuilder::build(view, model, CommodityTreeBuilder::foreignTrade());
        QCOMPARE(model.itemCount(), 4);
        QVERIFY(handleOf(view, 2) != first);
        for (long row = 1; row <= view.rowCount(); ++row)
            QCOMPARE(dataOf(model, handleOf(view, row)), view.itemString(row, QStringLiteral("jmw_code")));
        QVERIFY(!model.isValidHandle(first));
    }

    void entriesFromRowsAreTheTreesEntries_data()
    {
        QTest::addColumn<QList<QVariant>>("codes");
        QTest::addColumn<QList<QVariant>>("names");
        QTest::newRow("complete levels") << QList<QVariant>{"01", "0101", "010121", "0102", "02", "0201"}
                                         << QList<QVariant>{};
        QTest::newRow("a short code before a longer sibling's child")
            << QList<QVariant>{"1", "10", "101", "12345", "2"} << QList<QVariant>{};
        QTest::newRow("repeated and missing codes")
            << QList<QVariant>{"01", "0101", "0101", QVariant(), "", "010110", "02"} << QList<QVariant>{};
        QTest::newRow("names missing or with brackets")
            << QList<QVariant>{"01", "0]1", "0101"} << QList<QVariant>{QVariant(), "a]b", "[x]y"};
    }

    void entriesFromRowsAreTheTreesEntries()
    {
        // What the search index takes from the rows is what the tree holds, in the tree's order.
        QFETCH(QList<QVariant>, codes);
        QFETCH(QList<QVariant>, names);
        DataView view;
        load(view, codes, names);
        TreeModel model;
        QVERIFY(CommodityTreeBuilder::build(view, model, CommodityTreeBuilder::foreignTrade()) > 0);
        QStringList fromTree;
        for (const TreeCodes::Entry &entry : TreeCodes::entries(model))
            fromTree << entry.code + QLatin1Char('|') + entry.name;
        QStringList fromRows;
        for (const TreeCodes::Entry &entry : CommodityTreeBuilder::entries(view.rowsSnapshot(), 0, 2))
            fromRows << entry.code + QLatin1Char('|') + entry.name;
        QCOMPARE(fromRows, fromTree);
        QCOMPARE(fromRows.size(), model.itemCount() - 1);
    }
};

KIV_TEST_GUILESS_MAIN(tst_CommodityTreeBuilder)
#include "tst_commoditytreebuilder.moc"
