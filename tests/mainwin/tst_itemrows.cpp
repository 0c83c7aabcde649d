#include "core/catalog/CommodityTreeBuilder.h"
#include "core/catalog/ItemRows.h"

#include "core/data/dataviews.h"
#include "core/runtime/DataView.h"
#include "core/runtime/FindExpression.h"
#include "core/runtime/TreeModel.h"
#include "support/TestMain.h"

#include <QtTest>

using runtime::DataView;
using runtime::TreeItem;
using runtime::TreeModel;
using runtime::TreeNavigation;

namespace {
// Rows of the foreign-trade detail view: jmw_code, m_flag, name, unit, flag, handle.
void load(DataView &view, const QStringList &codes)
{
    view.setDefinition(d_detail_wmats());
    QVector<QVector<QVariant>> rows;
    for (int i = 0; i < codes.size(); ++i) {
        const QVariant code = codes.at(i) == QLatin1String("<null>") ? QVariant() : QVariant(codes.at(i));
        rows.append({code, QVariant(), QStringLiteral("n%1").arg(i), QVariant(), QVariant(),
                     QVariant::fromValue<qint32>(0)});
    }
    view.loadRows(rows);
}

// Every item, parents before children.
QList<long> allItems(const TreeModel &model)
{
    QList<long> items;
    QList<long> pending{model.findItem(TreeNavigation::Root, 0)};
    while (!pending.isEmpty()) {
        const long h = pending.takeFirst();
        items.append(h);
        for (long c = model.findItem(TreeNavigation::Child, h); c > 0; c = model.findItem(TreeNavigation::Next, c))
            pending.append(c);
    }
    return items;
}
} // namespace

class tst_ItemRows : public QObject
{
    Q_OBJECT
private slots:
    void rowOfAnItemIsTheFirstRowWithItsCode_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("change");
        const QStringList plain{"01", "0101", "010121", "02", "0201", "0202"};
        const QStringList repeated{"01", "0101", "0101", "010110", "02", "<null>", "", "0", "0201", "0201"};
        for (const QString &change : {QStringLiteral("none"), QStringLiteral("rows sorted"),
                                      QStringLiteral("code edited"), QStringLiteral("item given other data"),
                                      QStringLiteral("name edited")}) {
            QTest::addRow("plain codes, %s", qPrintable(change)) << plain << change;
            QTest::addRow("repeated, empty and root codes, %s", qPrintable(change)) << repeated << change;
        }
    }

    void rowOfAnItemIsTheFirstRowWithItsCode()
    {
        // Whatever happened to the rows or items since the build, the answer is the search's.
        QFETCH(QStringList, codes);
        QFETCH(QString, change);
        DataView view;
        load(view, codes);
        TreeModel model;
        QVERIFY(CommodityTreeBuilder::build(view, model, CommodityTreeBuilder::foreignTrade()) > 0);
        QCOMPARE(model.dataRowsVersion(), view.rowsVersion()); // the noted rows are in use
        const QList<long> items = allItems(model);
        QCOMPARE(items.size(), model.itemCount());
        if (change == QLatin1String("rows sorted")) {
            QCOMPARE(view.setSort(QStringLiteral("name D")), 1);
            QCOMPARE(view.sort(), 1);
        } else if (change == QLatin1String("code edited")) {
            QCOMPARE(view.setItem(view.rowCount(), QStringLiteral("jmw_code"), QStringLiteral("0101")), 1);
        } else if (change == QLatin1String("name edited")) {
            QCOMPARE(view.setItem(1, QStringLiteral("name"), QStringLiteral("x")), 1);
        } else if (change == QLatin1String("item given other data")) {
            TreeItem item;
            QCOMPARE(model.getItem(items.at(1), item), 1);
            item.data = QStringLiteral("0202");
            QCOMPARE(model.setItem(items.at(1), item), 1);
            QCOMPARE(model.dataRow(items.at(1)), -1);
        }
        for (long handle : items) {
            TreeItem item;
            QCOMPARE(model.getItem(handle, item), 1);
            const QString code = item.data.toString();
            const long expected = view.find(QStringLiteral("jmw_code=") + runtime::quotedLiteral(code), 1, view.rowCount());
            QCOMPARE(ItemRows::rowOf(model, view, handle, QStringLiteral("jmw_code"), code), expected);
        }
    }

    void deletingAllItemsForgetsTheRows()
    {
        DataView view;
        load(view, {"01", "0101"});
        TreeModel model;
        QVERIFY(CommodityTreeBuilder::build(view, model, CommodityTreeBuilder::foreignTrade()) > 0);
        QVERIFY(model.dataRowsVersion() != 0);
        QCOMPARE(model.deleteAllItems(), 1);
        QCOMPARE(model.dataRowsVersion(), quint64(0));
    }
};

KIV_TEST_MAIN(tst_ItemRows)
#include "tst_itemrows.moc"
