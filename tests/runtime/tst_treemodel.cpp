#include "core/runtime/TreeModel.h"
#include "support/TestMain.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using runtime::TreeItem;
using runtime::TreeModel;
using runtime::TreeNavigation;

namespace {

TreeItem item(const QString &label, const QVariant &data = QVariant())
{
    TreeItem record;
    record.label = label;
    record.data = data.isValid() ? data : QVariant(label);
    return record;
}

QString labelOf(const TreeModel &model, long handle)
{
    TreeItem record;
    return model.getItem(handle, record) == 1 ? record.label : QStringLiteral("<none>");
}

// The labels of the children of a parent, read through the handle navigation.
QStringList childLabels(const TreeModel &model, long parent)
{
    QStringList labels;
    for (long h = model.findItem(TreeNavigation::Child, parent); h != -1; h = model.findItem(TreeNavigation::Next, h))
        labels << labelOf(model, h);
    return labels;
}

// Codes shaped like a tariff: chapters, headings, subheadings, 8 and 10 digits, in code order.
QStringList tariffCodes(int count)
{
    QStringList codes;
    codes.reserve(count);
    for (int chapter = 1; chapter <= 99; ++chapter) {
        const QString c = QStringLiteral("%1").arg(chapter, 2, 10, QLatin1Char('0'));
        codes << c;
        for (int heading = 1; heading <= 20; ++heading) {
            const QString h = c + QStringLiteral("%1").arg(heading, 2, 10, QLatin1Char('0'));
            codes << h;
            for (int sub = 1; sub <= 9; ++sub) {
                const QString s = h + QStringLiteral("%1").arg(sub * 10, 2, 10, QLatin1Char('0'));
                codes << s;
                for (int e = 1; e <= 3; ++e) {
                    const QString eight = s + QStringLiteral("%1").arg(e * 10, 2, 10, QLatin1Char('0'));
                    codes << eight;
                    for (int t = 0; t < 4; ++t)
                        codes << eight + QStringLiteral("%1").arg(t * 10, 2, 10, QLatin1Char('0'));
                    if (codes.size() >= count)
                        return codes.mid(0, count);
                }
            }
        }
    }
    return codes.mid(0, count);
}

// Builds a tree from codes the way the tree builder does: every code under its prefix.
QHash<QString, long> buildTariff(TreeModel &model, const QStringList &codes)
{
    QHash<QString, long> handles;
    handles.reserve(codes.size());
    TreeItem record;
    record.pictureIndex = 1;
    record.selectedPictureIndex = 6;
    for (const QString &code : codes) {
        record.label = QLatin1Char('[') + code + QLatin1Char(']');
        record.data = code;
        const long parent = code.size() == 2 ? 0 : handles.value(code.left(code.size() - 2), -1);
        handles.insert(code, model.insertItemLast(parent, record));
    }
    return handles;
}

} // namespace

class TestTreeModel : public QObject
{
    Q_OBJECT

private slots:
    void insertsAndReadsItems();
    void failuresAnswerMinusOne();
    void navigatesByHandle();
    void deletesItemsWithTheirDescendants();
    void deleteAllInvalidatesEveryHandle();
    void mapsHandlesToIndexesAndBack();
    void bulkUpdateIsOneReset();
    void tracksCurrentAndExpanded();
    void buildsBigTreesCorrectly_data();
    void buildsBigTreesCorrectly();
    void madeLabelsComeFromTheMaker();
};

void TestTreeModel::insertsAndReadsItems()
{
    TreeModel model;
    QAbstractItemModelTester tester(&model);

    TreeItem root = item(QStringLiteral("root"), QStringLiteral("0"));
    root.pictureIndex = 1;
    root.selectedPictureIndex = 6;
    root.statePictureIndex = 3;
    root.bold = true;
    root.handle = 999; // ignored on insert
    const long r = model.insertItemFirst(0, root);
    QVERIFY(r > 0);

    const long b = model.insertItemLast(r, item(QStringLiteral("b")));
    const long d = model.insertItemLast(r, item(QStringLiteral("d")));
    const long a = model.insertItemFirst(r, item(QStringLiteral("a")));
    const long c = model.insertItemSort(r, item(QStringLiteral("C")));
    const long e = model.insertItemAfter(r, d, item(QStringLiteral("e")));
    const long top = model.insertItemFirst(0, item(QStringLiteral("top")));
    QCOMPARE(QSet<long>({r, a, b, c, d, e, top}).size(), 7);
    QCOMPARE(childLabels(model, r), QStringList({"a", "b", "C", "d", "e"}));
    QCOMPARE(childLabels(model, 0), QStringList({"top", "root"}));
    QCOMPARE(model.itemCount(), 7);
    QCOMPARE(model.childCount(r), 5);
    QCOMPARE(model.childCount(0), 2);

    TreeItem read;
    QCOMPARE(model.getItem(r, read), 1);
    QCOMPARE(read.label, QStringLiteral("root"));
    QCOMPARE(read.data, QVariant(QStringLiteral("0")));
    QCOMPARE(read.pictureIndex, 1);
    QCOMPARE(read.selectedPictureIndex, 6);
    QCOMPARE(read.statePictureIndex, 3);
    QVERIFY(read.bold);
    QCOMPARE(read.handle, r);
    QVERIFY(read.hasChildren);

    // The record is written whole; the view sees the change.
    QSignalSpy changed(&model, &TreeModel::dataChanged);
    read.label = QStringLiteral("renamed");
    read.statePictureIndex = 4;
    QCOMPARE(model.setItem(r, read), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), model.index(r));
    QCOMPARE(model.data(model.index(r)).toString(), QStringLiteral("renamed"));
    QCOMPARE(model.data(model.index(r), TreeModel::StatePictureIndexRole).toInt(), 4);
    QCOMPARE(model.data(model.index(r), Qt::AccessibleTextRole).toString(), QStringLiteral("renamed"));
    QCOMPARE(model.data(model.index(a), TreeModel::ItemDataRole).toString(), QStringLiteral("a"));
    QCOMPARE(model.data(model.index(a), TreeModel::HandleRole).toLongLong(), qlonglong(a));
}

void TestTreeModel::failuresAnswerMinusOne()
{
    TreeModel model;
    QAbstractItemModelTester tester(&model);
    TreeItem read;
    QCOMPARE(model.findItem(TreeNavigation::Root, 0), -1L);
    QCOMPARE(model.findItem(TreeNavigation::Child, 0), -1L);
    QCOMPARE(model.findItem(TreeNavigation::Current, 0), -1L);

    const long r = model.insertItemLast(0, item(QStringLiteral("r")));
    for (long bad : {0L, -1L, -7L, r + 1, r + 100000}) {
        QCOMPARE(model.getItem(bad, read), -1);
        QCOMPARE(model.setItem(bad, item(QStringLiteral("x"))), -1);
        QCOMPARE(model.deleteItem(bad), -1);
        QCOMPARE(model.findItem(TreeNavigation::Next, bad), -1L);
        QCOMPARE(model.findItem(TreeNavigation::Parent, bad), -1L);
        QVERIFY(!model.index(bad).isValid());
        if (bad != 0) {
            QCOMPARE(model.insertItemLast(bad, item(QStringLiteral("x"))), -1L);
            QCOMPARE(model.insertItemFirst(bad, item(QStringLiteral("x"))), -1L);
            QCOMPARE(model.insertItemSort(bad, item(QStringLiteral("x"))), -1L);
            QCOMPARE(model.findItem(TreeNavigation::Child, bad), -1L);
        }
    }
    // A failed read leaves the caller's record as it was.
    TreeItem previous = item(QStringLiteral("previous"));
    QCOMPARE(model.getItem(0, previous), -1);
    QCOMPARE(previous.label, QStringLiteral("previous"));

    // insertItemAfter needs a sibling under that very parent.
    const long child = model.insertItemLast(r, item(QStringLiteral("c")));
    QCOMPARE(model.insertItemAfter(0, child, item(QStringLiteral("x"))), -1L);
    QCOMPARE(model.itemCount(), 2);
}

void TestTreeModel::navigatesByHandle()
{
    TreeModel model;
    QAbstractItemModelTester tester(&model);
    const long r1 = model.insertItemLast(0, item(QStringLiteral("r1")));
    const long r2 = model.insertItemLast(0, item(QStringLiteral("r2")));
    const long a = model.insertItemLast(r1, item(QStringLiteral("a")));
    const long b = model.insertItemLast(r1, item(QStringLiteral("b")));
    const long b1 = model.insertItemLast(b, item(QStringLiteral("b1")));

    QCOMPARE(model.findItem(TreeNavigation::Root, 12345), r1);
    QCOMPARE(model.findItem(TreeNavigation::Child, 0), r1);
    QCOMPARE(model.findItem(TreeNavigation::Child, r1), a);
    QCOMPARE(model.findItem(TreeNavigation::Child, a), -1L);
    QCOMPARE(model.findItem(TreeNavigation::Next, a), b);
    QCOMPARE(model.findItem(TreeNavigation::Next, b), -1L);
    QCOMPARE(model.findItem(TreeNavigation::Previous, b), a);
    QCOMPARE(model.findItem(TreeNavigation::Previous, a), -1L);
    QCOMPARE(model.findItem(TreeNavigation::Next, r1), r2);
    QCOMPARE(model.findItem(TreeNavigation::Parent, b1), b);
    QCOMPARE(model.findItem(TreeNavigation::Parent, a), r1);
    QCOMPARE(model.findItem(TreeNavigation::Parent, r1), -1L);

    // Inserting in front moves the rows but not the handles.
    QPersistentModelIndex persistentA(model.index(a));
    const long first = model.insertItemFirst(r1, item(QStringLiteral("first")));
    QCOMPARE(model.findItem(TreeNavigation::Previous, a), first);
    QCOMPARE(model.index(a).row(), 1);
    QCOMPARE(QModelIndex(persistentA), model.index(a));
}

void TestTreeModel::deletesItemsWithTheirDescendants()
{
    TreeModel model;
    QAbstractItemModelTester tester(&model);
    const long r = model.insertItemLast(0, item(QStringLiteral("r")));
    const long a = model.insertItemLast(r, item(QStringLiteral("a")));
    const long b = model.insertItemLast(r, item(QStringLiteral("b")));
    const long c = model.insertItemLast(r, item(QStringLiteral("c")));
    const long b1 = model.insertItemLast(b, item(QStringLiteral("b1")));
    const long b11 = model.insertItemLast(b1, item(QStringLiteral("b11")));
    model.setExpandedFlag(b1, true);
    model.setCurrentHandle(b11);

    QSignalSpy removed(&model, &TreeModel::rowsRemoved);
    QCOMPARE(model.deleteItem(b), 1);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(model.itemCount(), 3);
    for (long gone : {b, b1, b11})
        QVERIFY(!model.isValidHandle(gone));
    QCOMPARE(model.findItem(TreeNavigation::Current, 0), -1L);
    QVERIFY(model.expandedHandles().isEmpty());
    QCOMPARE(model.findItem(TreeNavigation::Next, a), c);
    QCOMPARE(model.findItem(TreeNavigation::Previous, c), a);
    QCOMPARE(model.index(c).row(), 1);
    // A deleted handle never comes back to name a new item.
    const long d = model.insertItemLast(r, item(QStringLiteral("d")));
    QVERIFY(d != b && d != b1 && d != b11);
    QCOMPARE(childLabels(model, r), QStringList({"a", "c", "d"}));
}

void TestTreeModel::deleteAllInvalidatesEveryHandle()
{
    TreeModel model;
    QAbstractItemModelTester tester(&model);
    QList<long> old;
    const long r = model.insertItemLast(0, item(QStringLiteral("r")));
    old << r;
    for (int i = 0; i < 10; ++i)
        old << model.insertItemLast(r, item(QString::number(i)));

    QSignalSpy reset(&model, &TreeModel::modelReset);
    QCOMPARE(model.deleteAllItems(), 1);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.itemCount(), 0);
    QCOMPARE(model.rowCount(), 0);
    for (long h : old)
        QVERIFY(!model.isValidHandle(h));

    const long fresh = model.insertItemFirst(0, item(QStringLiteral("again")));
    QVERIFY(fresh > 0);
    QVERIFY(!old.contains(fresh));
    QCOMPARE(model.findItem(TreeNavigation::Root, 0), fresh);
}

void TestTreeModel::mapsHandlesToIndexesAndBack()
{
    TreeModel model;
    QAbstractItemModelTester tester(&model);
    const QHash<QString, long> handles = buildTariff(model, tariffCodes(300));
    for (auto it = handles.constBegin(); it != handles.constEnd(); ++it) {
        const QModelIndex index = model.index(it.value());
        QVERIFY(index.isValid());
        QCOMPARE(model.handle(index), it.value());
        QCOMPARE(model.data(index, TreeModel::ItemDataRole).toString(), it.key());
        // The index reached from the parent by row is the same index.
        QCOMPARE(model.index(index.row(), 0, index.parent()), index);
    }
    QCOMPARE(model.handle(QModelIndex()), 0L);
}

void TestTreeModel::bulkUpdateIsOneReset()
{
    TreeModel model;
    QAbstractItemModelTester tester(&model);
    const long keep = model.insertItemLast(0, item(QStringLiteral("keep")));
    QSignalSpy inserted(&model, &TreeModel::rowsInserted);
    QSignalSpy reset(&model, &TreeModel::modelReset);
    QSignalSpy changed(&model, &TreeModel::dataChanged);

    model.beginBulkUpdate();
    model.beginBulkUpdate(); // nested
    QVERIFY(model.inBulkUpdate());
    QCOMPARE(model.deleteAllItems(), 1);
    const long r = model.insertItemFirst(0, item(QStringLiteral("r")));
    for (int i = 0; i < 100; ++i)
        model.insertItemLast(r, item(QString::number(i)));
    model.setItem(r, item(QStringLiteral("R")));
    model.endBulkUpdate();
    QCOMPARE(reset.count(), 0);
    model.endBulkUpdate();
    model.endBulkUpdate(); // unbalanced: ignored

    QVERIFY(!model.inBulkUpdate());
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(reset.count(), 1);
    QVERIFY(!model.isValidHandle(keep));
    QCOMPARE(model.itemCount(), 101);
    QCOMPARE(model.rowCount(model.index(r)), 100);
    QCOMPARE(labelOf(model, r), QStringLiteral("R"));
}

void TestTreeModel::tracksCurrentAndExpanded()
{
    TreeModel model;
    const long r = model.insertItemLast(0, item(QStringLiteral("r")));
    const long a = model.insertItemLast(r, item(QStringLiteral("a")));
    model.setCurrentHandle(a);
    QCOMPARE(model.findItem(TreeNavigation::Current, 0), a);
    model.setCurrentHandle(-3);
    QCOMPARE(model.currentHandle(), 0L);

    model.setExpandedFlag(a, true);
    model.setExpandedFlag(r, true);
    TreeItem read;
    model.getItem(r, read);
    QVERIFY(read.expanded);
    QCOMPARE(model.expandedHandles(), QList<long>({r, a}));
    model.setExpandedFlag(a, false);
    QCOMPARE(model.expandedHandles(), QList<long>({r}));
    // setItem does not change expansion.
    model.setItem(r, item(QStringLiteral("r2")));
    QVERIFY(model.isExpandedFlag(r));
}

void TestTreeModel::buildsBigTreesCorrectly_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("withTester");
    QTest::newRow("19000") << 19000 << true;
    QTest::newRow("190000") << 190000 << false;
}

void TestTreeModel::buildsBigTreesCorrectly()
{
    QFETCH(int, count);
    QFETCH(bool, withTester);
    TreeModel model;
    std::unique_ptr<QAbstractItemModelTester> tester;
    if (withTester)
        tester = std::make_unique<QAbstractItemModelTester>(&model);

    const QStringList codes = tariffCodes(count);
    QCOMPARE(codes.size(), count);
    model.beginBulkUpdate();
    model.reserve(count);
    const QHash<QString, long> handles = buildTariff(model, codes);
    model.endBulkUpdate();

    QCOMPARE(model.itemCount(), count);
    QCOMPARE(handles.size(), count);
    // Every item sits under the item of its prefix; chapters at the top level.
    int chapters = 0;
    for (const QString &code : codes) {
        const long h = handles.value(code);
        QVERIFY(h > 0);
        const long parent = model.findItem(TreeNavigation::Parent, h);
        if (code.size() == 2) {
            ++chapters;
            QCOMPARE(parent, -1L);
        } else {
            QCOMPARE(parent, handles.value(code.left(code.size() - 2)));
        }
    }
    QCOMPARE(model.rowCount(), chapters);
    // The last chapter's children come in code order.
    const long lastChapter = handles.value(codes.constLast().left(2));
    long child = model.findItem(TreeNavigation::Child, lastChapter);
    QString previous;
    while (child != -1) {
        TreeItem read;
        QCOMPARE(model.getItem(child, read), 1);
        QVERIFY(read.data.toString() > previous);
        previous = read.data.toString();
        child = model.findItem(TreeNavigation::Next, child);
    }
    QVERIFY(!previous.isEmpty());
}

// A made label is the maker's answer wherever a label is read (the view's text, getItem, the
// sorted insert); a label given later is kept; without a maker the label is empty.
void TestTreeModel::madeLabelsComeFromTheMaker()
{
    TreeModel model;
    QAbstractItemModelTester tester(&model);
    QHash<QString, QString> names{{QStringLiteral("b"), QStringLiteral("Bison")}, {QStringLiteral("d"), QStringLiteral("Deer")}};
    const long b = model.insertItemLast(0, item(QString(), QStringLiteral("b")));
    const long d = model.insertItemLast(0, item(QString(), QStringLiteral("d")));
    QCOMPARE(model.setLabelMade(b), 1);
    QCOMPARE(model.setLabelMade(d), 1);
    QCOMPARE(model.setLabelMade(9999), -1);
    QCOMPARE(model.label(b), QString()); // no maker yet
    model.setLabelMaker([&names](long, const QVariant &data) { return names.value(data.toString()); });
    QCOMPARE(model.data(model.index(b), Qt::DisplayRole).toString(), QStringLiteral("Bison"));
    QCOMPARE(labelOf(model, d), QStringLiteral("Deer"));
    // Sorted among the made labels: "Cow" goes between Bison and Deer.
    model.insertItemSort(0, item(QStringLiteral("Cow")));
    QCOMPARE(childLabels(model, 0), (QStringList{QStringLiteral("Bison"), QStringLiteral("Cow"), QStringLiteral("Deer")}));
    names[QStringLiteral("d")] = QStringLiteral("Doe");
    QCOMPARE(model.label(d), QStringLiteral("Doe"));
    QSignalSpy changed(&model, &TreeModel::dataChanged);
    QCOMPARE(model.setLabel(d, QStringLiteral("Dama")), 1);
    QCOMPARE(changed.count(), 1);
    names[QStringLiteral("d")] = QStringLiteral("Elk");
    QCOMPARE(labelOf(model, d), QStringLiteral("Dama"));
    model.setLabelMade(b);
    TreeItem record;
    model.getItem(b, record);
    record.label = QStringLiteral("Buffalo");
    model.setItem(b, record);
    QCOMPARE(model.label(b), QStringLiteral("Buffalo"));
}

KIV_TEST_GUILESS_MAIN(TestTreeModel)
#include "tst_treemodel.moc"
