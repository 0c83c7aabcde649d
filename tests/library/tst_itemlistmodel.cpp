#include "core/library/ItemListModel.h"
#include "support/TestMain.h"

#include <QSignalSpy>
#include <QtTest>

using library::Item;
using library::ItemListModel;

namespace {

Item item(const QString &part, const QString &name, const QString &model, const QString &code,
          const QString &changes = {})
{
    Item it;
    it.partNumber = part;
    it.name = name;
    it.model = model;
    it.code = code;
    it.reviewChanges = changes;
    it.version = 1;
    return it;
}

// Four items: two phones, a laptop whose rate changed and a charger whose code was removed.
void fill(ItemListModel &model)
{
    const QHash<QString, QString> names{{"8517130000", "智能手机"}, {"8471300000", "便携式自动数据处理设备"},
                                        {"8504403090", "其他稳压电源"}};
    model.setItems({item("P-200", "手机 A", "黑色 128G", "8517130000"),
                    item("P-100", "手机 B", "白色", "8517130000"),
                    item("L-7", "笔记本电脑", "14寸 X1", "8471300000", "最惠国税率: 0% → 5%"),
                    item("C-3", "充电器", "65W", "8504403099", "编码已删除: 8504403099\n可考虑: 8504403090")},
                   names);
}

QStringList shownParts(const ItemListModel &model)
{
    QStringList parts;
    for (int row = 0; row < model.rowCount(); ++row)
        parts << model.itemAt(row)->partNumber;
    return parts;
}

} // namespace

class tst_ItemListModel : public QObject
{
    Q_OBJECT
private slots:
    void filterKeepsItemsHoldingEveryWord_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("onlyReview");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("nothing typed: all, by part number") << "" << false << QStringList{"C-3", "L-7", "P-100", "P-200"};
        QTest::newRow("part number, case ignored") << "p-1" << false << QStringList{"P-100"};
        QTest::newRow("name") << "手机" << false << QStringList{"P-100", "P-200"};
        QTest::newRow("model") << "128g" << false << QStringList{"P-200"};
        QTest::newRow("code digits") << "847130" << false << QStringList{"L-7"};
        QTest::newRow("the code's tariff name") << "数据处理" << false << QStringList{"L-7"};
        QTest::newRow("the state") << "待复核" << false << QStringList{"C-3", "L-7"};
        QTest::newRow("two words, both held") << "手机 白色" << false << QStringList{"P-100"};
        QTest::newRow("two words, one not held") << "手机 笔记本" << false << QStringList{};
        QTest::newRow("blanks around words") << "  65w  " << false << QStringList{"C-3"};
        QTest::newRow("only review") << "" << true << QStringList{"C-3", "L-7"};
        QTest::newRow("only review and a word") << "电脑" << true << QStringList{"L-7"};
        QTest::newRow("only review, word of an item not waiting") << "手机" << true << QStringList{};
    }
    void filterKeepsItemsHoldingEveryWord()
    {
        QFETCH(QString, filter);
        QFETCH(bool, onlyReview);
        QFETCH(QStringList, shown);
        ItemListModel model;
        fill(model);
        model.setFilterText(filter);
        model.setOnlyReview(onlyReview);
        QCOMPARE(shownParts(model), shown);
        QCOMPARE(model.totalCount(), 4);
        QCOMPARE(model.reviewCount(), 2);
    }

    void sortsByAColumn_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("part number, descending") << int(ItemListModel::PartNumber) << int(Qt::DescendingOrder)
                                                 << QStringList{"P-200", "P-100", "L-7", "C-3"};
        QTest::newRow("code, ascending") << int(ItemListModel::Code) << int(Qt::AscendingOrder)
                                         << QStringList{"L-7", "C-3", "P-100", "P-200"};
        // 笔记本 (bi), 充电器 (chong), 手机 (shou): pinyin order; equal names keep the part-number order.
        QTest::newRow("name in pinyin order") << int(ItemListModel::Name) << int(Qt::AscendingOrder)
                                              << QStringList{"L-7", "C-3", "P-200", "P-100"};
        // 待复核 (dai) before 正常 (zheng); among equal states by part number.
        QTest::newRow("state") << int(ItemListModel::State) << int(Qt::AscendingOrder)
                               << QStringList{"C-3", "L-7", "P-100", "P-200"};
        QTest::newRow("state, descending") << int(ItemListModel::State) << int(Qt::DescendingOrder)
                                           << QStringList{"P-100", "P-200", "L-7", "C-3"};
    }
    void sortsByAColumn()
    {
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(QStringList, shown);
        ItemListModel model;
        fill(model);
        model.sort(column, Qt::SortOrder(order));
        QCOMPARE(shownParts(model), shown);
        // The order stays while filtering and after an item changes.
        model.setFilterText(QStringLiteral("手机"));
        QStringList phones = shown;
        phones.removeIf([](const QString &p) { return !p.startsWith(u'P'); });
        QCOMPARE(shownParts(model), phones);
    }

    void showsTheStateAndTheTariffName()
    {
        ItemListModel model;
        fill(model);
        const int laptop = model.rowOf(QStringLiteral("L-7"));
        QCOMPARE(model.index(laptop, ItemListModel::TariffName).data().toString(), QStringLiteral("便携式自动数据处理设备"));
        QCOMPARE(model.index(laptop, ItemListModel::State).data().toString(), QStringLiteral("待复核：最惠国税率: 0% → 5%"));
        const int charger = model.rowOf(QStringLiteral("C-3"));
        QCOMPARE(model.index(charger, ItemListModel::TariffName).data().toString(), QString()); // removed code
        QCOMPARE(model.index(charger, ItemListModel::State).data().toString(),
                 QStringLiteral("待复核：编码已删除: 8504403099；可考虑: 8504403090"));
        QCOMPARE(model.index(model.rowOf(QStringLiteral("P-100")), ItemListModel::State).data().toString(),
                 QStringLiteral("正常"));
        QCOMPARE(model.index(0, ItemListModel::PartNumber).data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("料号：C-3"));
        QCOMPARE(model.headerData(ItemListModel::TariffName, Qt::Horizontal).toString(), QStringLiteral("税则名称"));
    }

    void putAndRemoveKeepTheFilter()
    {
        ItemListModel model;
        fill(model);
        model.setFilterText(QStringLiteral("手机"));
        Item changed = item("P-100", "旧手机", "白色", "8517130000");
        model.putItem(changed, QStringLiteral("智能手机"));
        QCOMPARE(model.itemAt(model.rowOf(QStringLiteral("P-100")))->name, QStringLiteral("旧手机"));
        model.putItem(item("P-300", "平板电脑", "", "8471300000"), QStringLiteral("便携式自动数据处理设备"));
        QCOMPARE(shownParts(model), (QStringList{"P-100", "P-200"})); // the new one is not a phone
        QCOMPARE(model.totalCount(), 5);
        model.removeItem(QStringLiteral("P-200"));
        QCOMPARE(shownParts(model), QStringList{"P-100"});
        QCOMPARE(model.rowOf(QStringLiteral("P-200")), -1);
        QCOMPARE(model.itemAt(1), nullptr);
    }
};

KIV_TEST_GUILESS_MAIN(tst_ItemListModel)
#include "tst_itemlistmodel.moc"
