// A tree view paints its labels from texts it keeps laid out between paints. What a user sees
// must be what the style paints itself: each case draws the same labels in the program's tree
// view and in a plain QTreeView over QStandardItemModel, and the pixels must be the same.
#include "ui/runtime/TreeView.h"

#include "TestEnv.h"
#include "TreeViewItems.h"
#include "support/TestMain.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTreeView>
#include <QtTest>

using runtime::TreeItem;
using runtime::TreeView;

class TestTreeLabels : public QObject
{
    Q_OBJECT

private slots:
    void labelsLookAsTheStylePaintsThem_data();
    void labelsLookAsTheStylePaintsThem();
    void aChangedLabelIsPaintedAnew();
};

namespace {

// The reference: the same rows in a plain tree view with the style's own item painting.
void copyLook(const TreeView &view, QTreeView *reference)
{
    reference->setHeaderHidden(true);
    reference->setUniformRowHeights(true);
    reference->setRootIsDecorated(view.rootIsDecorated());
    reference->setIndentation(view.indentation());
    reference->setIconSize(view.iconSize());
    reference->setFont(view.font());
    reference->header()->setSectionResizeMode(QHeaderView::Fixed);
    reference->header()->setStretchLastSection(false);
    reference->resize(view.size());
    reference->setEnabled(view.isEnabled());
}

QImage viewportOf(QAbstractItemView *view)
{
    return view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

void TestTreeLabels::labelsLookAsTheStylePaintsThem_data()
{
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<int>("boldRow");     // -1 for none
    QTest::addColumn<int>("selectedRow"); // -1 for none
    QTest::addColumn<int>("columnWidth"); // 0: as wide as the widest label
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("styleSheet");

    const QStringList goods{QStringLiteral("[01]活动物"), QStringLiteral("[0101]马、驴、骡"),
                            QStringLiteral("[0101210010]改良种用濒危野马"), QStringLiteral("[84]Nuclear reactors, boilers"),
                            QStringLiteral("[8471]自动数据处理设备（ADP）及其部件；磁性或光学阅读机")};
    const QString none;
    QTest::newRow("plain labels") << goods << -1 << -1 << 0 << true << none;
    QTest::newRow("a bold label") << goods << 2 << -1 << 0 << true << none;
    QTest::newRow("a selected label") << goods << -1 << 1 << 0 << true << none;
    QTest::newRow("labels cut short by a narrow column") << goods << 4 << -1 << 120 << true << none;
    QTest::newRow("a disabled view") << goods << 0 << -1 << 0 << false << none;
    QTest::newRow("spaces and symbols") << QStringList{QStringLiteral("  [x]  "), QStringLiteral("10%/€ & <b>")}
                                        << -1 << -1 << 0 << true << none;
    QTest::newRow("a style sheet") << goods << 1 << -1 << 0 << true
                                   << QStringLiteral("QTreeView { color: #204080; font-size: 15px; } "
                                                     "QTreeView::item { padding-left: 6px; }");
}

void TestTreeLabels::labelsLookAsTheStylePaintsThem()
{
    QFETCH(QStringList, labels);
    QFETCH(int, boldRow);
    QFETCH(int, selectedRow);
    QFETCH(int, columnWidth);
    QFETCH(bool, enabled);
    QFETCH(QString, styleSheet);
    TestEnv env;

    TreeView view;
    view.resize(320, 160);
    view.setEnabled(enabled);
    view.setStyleSheet(styleSheet);
    QStandardItemModel model;
    QTreeView reference;
    reference.setModel(&model);
    QVector<long> handles;
    for (int row = 0; row < labels.size(); ++row) {
        TreeItem record = item(labels.at(row), 0, 0);
        record.bold = row == boldRow;
        handles.append(view.insertItemLast(0, record));
        auto *standard = new QStandardItem(labels.at(row));
        if (record.bold) {
            QFont bold = view.font();
            bold.setBold(true);
            standard->setFont(bold);
        }
        model.appendRow(standard);
    }
    copyLook(view, &reference);
    reference.setStyleSheet(styleSheet);
    if (columnWidth > 0)
        view.header()->resizeSection(0, columnWidth);
    reference.header()->resizeSection(0, view.header()->sectionSize(0));
    if (selectedRow >= 0) {
        view.selectItem(handles.at(selectedRow));
        reference.setCurrentIndex(model.index(selectedRow, 0));
    } else {
        view.setCurrentIndex(QModelIndex());
        reference.setCurrentIndex(QModelIndex());
    }
    view.show();
    reference.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(QTest::qWaitForWindowExposed(&reference));

    // Twice: the first paint lays the labels out, the second paints what was kept.
    for (int pass = 0; pass < 2; ++pass) {
        const QImage painted = viewportOf(&view);
        const QImage expected = viewportOf(&reference);
        QCOMPARE(painted.size(), expected.size());
        QVERIFY2(painted == expected, qPrintable(QStringLiteral("pass %1 differs from the style's painting").arg(pass)));
    }
}

void TestTreeLabels::aChangedLabelIsPaintedAnew()
{
    TestEnv env;
    TreeView view;
    view.resize(320, 120);
    const long handle = view.insertItemLast(0, item(QStringLiteral("[01]活动物"), 0, 0));
    view.setCurrentIndex(QModelIndex());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QImage before = viewportOf(&view);

    TreeItem changed = item(QStringLiteral("[01]活植物"), 0, 0);
    QCOMPARE(view.setItem(handle, changed), 1);
    const QImage after = viewportOf(&view);
    QVERIFY(after != before);

    QStandardItemModel model;
    model.appendRow(new QStandardItem(changed.label));
    QTreeView reference;
    reference.setModel(&model);
    copyLook(view, &reference);
    reference.header()->resizeSection(0, view.header()->sectionSize(0));
    reference.setCurrentIndex(QModelIndex());
    reference.show();
    QVERIFY(QTest::qWaitForWindowExposed(&reference));
    QVERIFY(after == viewportOf(&reference));
}

KIV_TEST_MAIN(TestTreeLabels)
#include "tst_treelabels.moc"
