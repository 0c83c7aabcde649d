#include "core/runtime/StockPictures.h"
#include "ui/runtime/TreeView.h"

#include "TestEnv.h"
#include "TreeViewItems.h"
#include "support/TestMain.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

using runtime::TreeHitTest;
using runtime::TreeItem;
using runtime::TreeNavigation;
using runtime::TreeView;

class TestTreeView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void selectItemAnnouncesAndReports();
    void handlerCanRefuseSelection();
    void mouseAndKeyboardGoThroughRefusal();
    void clickSignalsCarryHandles();
    void picturesComeFromListsByIndex();
    void selectedItemShowsSelectedPicture();
    void stateIconIsDrawnWhereHitTestFindsIt();
    void hitTestTellsThePartsOfARow();
    void redrawOffDefersViewWork();
    void deleteAllClearsSelection();
    void itemsAreAccessibleByLabel();
    void columnWidthFollowsLabelsFontAndPictures();
    void columnWidthCoversClosedBranchesAndStaysWhileBrowsing_data();
    void columnWidthCoversClosedBranchesAndStaysWhileBrowsing();

private:
    void showView();
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<TreeView> m_view;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    long m_root = 0;
    long m_a = 0;
    long m_b = 0;
    long m_c = 0;
};

void TestTreeView::init()
{
    m_env = std::make_unique<TestEnv>();
    m_view = std::make_unique<TreeView>();
    m_tester = std::make_unique<QAbstractItemModelTester>(m_view->treeModel());
    m_view->resize(300, 200);
    m_view->addPicture(solidPicture(QStringLiteral("red.png"), Qt::red));
    m_view->addPicture(solidPicture(QStringLiteral("blue.png"), Qt::blue));
    m_root = m_view->insertItemFirst(0, item(QStringLiteral("root")));
    m_a = m_view->insertItemLast(m_root, item(QStringLiteral("alpha")));
    m_b = m_view->insertItemLast(m_root, item(QStringLiteral("beta")));
    m_c = m_view->insertItemLast(m_root, item(QStringLiteral("gamma")));
    m_view->expandItem(m_root);
}

void TestTreeView::cleanup()
{
    m_tester.reset();
    m_view.reset();
    m_env.reset();
}

void TestTreeView::showView()
{
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
}

void TestTreeView::selectItemAnnouncesAndReports()
{
    QList<QString> order;
    connect(m_view.get(), &TreeView::selectionChanging, this, [&](long from, long to, bool *) {
        order << QStringLiteral("changing %1>%2").arg(from).arg(to);
    });
    connect(m_view.get(), &TreeView::selectionChanged, this, [&](long from, long to) {
        order << QStringLiteral("changed %1>%2").arg(from).arg(to);
    });

    QCOMPARE(m_view->selectItem(m_b), 1);
    QCOMPARE(m_view->selectedHandle(), m_b);
    QCOMPARE(m_view->findItem(TreeNavigation::Current, 0), m_b);
    QVERIFY(m_view->selectionModel()->isSelected(m_view->treeModel()->index(m_b)));
    QCOMPARE(m_view->currentIndex(), m_view->treeModel()->index(m_b));

    QCOMPARE(m_view->selectItem(m_b), 1); // already selected: nothing to announce
    QCOMPARE(m_view->selectItem(m_c), 1);
    QCOMPARE(m_view->selectItem(-1), -1);
    QCOMPARE(m_view->selectItem(0), -1);
    QCOMPARE(order, QList<QString>({QStringLiteral("changing 0>%1").arg(m_b), QStringLiteral("changed 0>%1").arg(m_b),
                                    QStringLiteral("changing %1>%2").arg(m_b).arg(m_c),
                                    QStringLiteral("changed %1>%2").arg(m_b).arg(m_c)}));
    QCOMPARE(m_view->selectionModel()->selectedIndexes().size(), 1);

    // Selecting a deep item expands its ancestors.
    const long deep = m_view->insertItemLast(m_a, item(QStringLiteral("deep")));
    QVERIFY(!m_view->isItemExpanded(m_a));
    QCOMPARE(m_view->selectItem(deep), 1);
    QVERIFY(m_view->isItemExpanded(m_a));
    QVERIFY(m_view->isExpanded(m_view->treeModel()->index(m_a)));
}

void TestTreeView::handlerCanRefuseSelection()
{
    m_view->selectItem(m_a);
    bool refuse = true;
    connect(m_view.get(), &TreeView::selectionChanging, this, [&](long, long, bool *answer) {
        if (refuse)
            *answer = true;
    });
    // A second handler that does not refuse cannot overturn the first.
    connect(m_view.get(), &TreeView::selectionChanging, this, [](long, long, bool *) {});
    QSignalSpy changed(m_view.get(), &TreeView::selectionChanged);

    QCOMPARE(m_view->selectItem(m_c), -1);
    QCOMPARE(m_view->selectedHandle(), m_a);
    QCOMPARE(m_view->currentIndex(), m_view->treeModel()->index(m_a));
    QCOMPARE(changed.count(), 0);

    refuse = false;
    QCOMPARE(m_view->selectItem(m_c), 1);
    QCOMPARE(changed.count(), 1);
}

void TestTreeView::mouseAndKeyboardGoThroughRefusal()
{
    showView();
    m_view->selectItem(m_a);
    bool refuse = true;
    connect(m_view.get(), &TreeView::selectionChanging, this, [&](long, long, bool *answer) { *answer = refuse; });
    QWidget *viewport = m_view->viewport();

    QTest::mouseClick(viewport, Qt::LeftButton, {}, m_view->labelRect(m_c).center());
    QCOMPARE(m_view->selectedHandle(), m_a);
    QVERIFY(!m_view->selectionModel()->isSelected(m_view->treeModel()->index(m_c)));
    m_view->setFocus();
    QTest::keyClick(m_view.get(), Qt::Key_Down);
    QCOMPARE(m_view->selectedHandle(), m_a);

    refuse = false;
    QSignalSpy changed(m_view.get(), &TreeView::selectionChanged);
    QTest::keyClick(m_view.get(), Qt::Key_Down);
    QCOMPARE(m_view->selectedHandle(), m_b);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, m_view->labelRect(m_c).center());
    QCOMPARE(m_view->selectedHandle(), m_c);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).toLongLong(), qlonglong(m_b));
    QCOMPARE(changed.at(1).at(1).toLongLong(), qlonglong(m_c));
}

void TestTreeView::clickSignalsCarryHandles()
{
    showView();
    m_view->selectItem(m_a);
    QSignalSpy clicked(m_view.get(), &TreeView::clicked);
    QSignalSpy doubleClicked(m_view.get(), &TreeView::doubleClicked);
    QSignalSpy rightClicked(m_view.get(), &TreeView::rightClicked);
    QSignalSpy moved(m_view.get(), &TreeView::mouseMoved);
    QWidget *viewport = m_view->viewport();
    const QPoint onB = m_view->labelRect(m_b).center();

    QTest::mouseMove(viewport, onB);
    QTRY_VERIFY(!moved.isEmpty());
    QCOMPARE(moved.constLast().at(0).toPoint(), onB);

    QTest::mouseClick(viewport, Qt::RightButton, {}, onB);
    QCOMPARE(rightClicked.count(), 1);
    QCOMPARE(rightClicked.at(0).at(0).toLongLong(), qlonglong(m_b));
    QCOMPARE(m_view->selectedHandle(), m_a); // a right click does not select
    QCOMPARE(clicked.count(), 0);

    QTest::mouseClick(viewport, Qt::LeftButton, {}, onB);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toLongLong(), qlonglong(m_b));
    // QTest's double click sends no release for widgets: end it as the hand does.
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, onB);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, onB);
    QCOMPARE(doubleClicked.count(), 1);
    QCOMPARE(doubleClicked.at(0).at(0).toLongLong(), qlonglong(m_b));

    // Below the last item nothing is clicked.
    QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(5, viewport->height() - 3));
    QCOMPARE(rightClicked.count(), 1);
}

void TestTreeView::picturesComeFromListsByIndex()
{
    TreeView view;
    QCOMPARE(view.addPicture(QStringLiteral("Database!")), 1);
    QCOMPARE(view.addPicture(QStringLiteral("database!")), 2); // stock names ignore case
    QCOMPARE(view.addPicture(QStringLiteral("NoSuchPicture!")), -1);
    QCOMPARE(view.addPicture(QStringLiteral("missing.bmp")), -1);
    QCOMPARE(view.addPicture(QStringLiteral("Custom026!")), 5); // blanks keep the numbering
    QCOMPARE(view.pictureCount(), 5);
    QVERIFY(!view.picture(1).isNull());
    QVERIFY(view.picture(3).isNull());
    QVERIFY(view.picture(0).isNull());
    QVERIFY(view.picture(6).isNull());
    QCOMPARE(view.picture(1).pixmap(16, 16).size(), QSize(16, 16));
    view.deletePictures();
    QCOMPARE(view.pictureCount(), 0);

    // Every name the system uses has a picture.
    for (const char *name : {"Environment!", "DeclareProcedure!", "Database!", "UserObject!", "UserObject5!",
                             "Custom026!", "DatabaseProfile!", "Structure5!", "Regenerate5!", "Run!", "Continue!",
                             "Exit!", "Custom020!"}) {
        const QIcon icon = runtime::StockPictures::icon(QString::fromLatin1(name));
        QVERIFY2(!icon.isNull(), name);
        QCOMPARE(icon.pixmap(32, 32).size(), QSize(32, 32));
    }
    QVERIFY(runtime::StockPictures::icon(QStringLiteral("Unknown!")).isNull());

    // A file picture with a mask colour: that colour becomes transparent. A picture bundled
    // under the file name stands in when there is no such file beside the program.
    QImage twoColours(16, 16, QImage::Format_RGB32);
    twoColours.fill(QColor(192, 192, 192));
    twoColours.setPixel(8, 8, qRgb(0, 128, 0));
    QVERIFY(twoColours.save(QStringLiteral("masked.bmp"), "BMP"));
    view.setStatePictureMaskColor(QColor(192, 192, 192));
    QCOMPARE(view.addStatePicture(QStringLiteral(".\\masked.bmp")), 1);
    QCOMPARE(view.addStatePicture(QStringLiteral("state1.bmp")), 2);
    const QImage loaded = view.statePicture(1).pixmap(16, 16).toImage();
    QCOMPARE(qAlpha(loaded.pixel(0, 0)), 0);
    QCOMPARE(QColor(loaded.pixel(8, 8)), QColor(0, 128, 0));
}

void TestTreeView::selectedItemShowsSelectedPicture()
{
    showView();
    QWidget *viewport = m_view->viewport();
    const QPoint onPictureB = m_view->pictureRect(m_b).center();
    QVERIFY(!m_view->pictureRect(m_b).isEmpty());
    QCOMPARE(pixelAt(viewport, onPictureB), QColor(Qt::red));

    m_view->selectItem(m_b);
    QCOMPARE(pixelAt(viewport, onPictureB), QColor(Qt::blue));
    QCOMPARE(pixelAt(viewport, m_view->pictureRect(m_a).center()), QColor(Qt::red));

    // No selected picture: the item keeps its picture when selected.
    TreeItem record;
    m_view->getItem(m_c, record);
    record.selectedPictureIndex = 0;
    m_view->setItem(m_c, record);
    m_view->selectItem(m_c);
    QCOMPARE(pixelAt(viewport, m_view->pictureRect(m_c).center()), QColor(Qt::red));
    QCOMPARE(pixelAt(viewport, onPictureB), QColor(Qt::red));
}

void TestTreeView::stateIconIsDrawnWhereHitTestFindsIt()
{
    m_view->addStatePicture(solidPicture(QStringLiteral("green.png"), Qt::green));
    TreeItem record;
    m_view->getItem(m_b, record);
    record.statePictureIndex = 1;
    m_view->setItem(m_b, record);
    showView();
    QWidget *viewport = m_view->viewport();

    const QRect state = m_view->statePictureRect(m_b);
    QVERIFY(!state.isEmpty());
    QVERIFY(m_view->statePictureRect(m_a).isEmpty());
    QCOMPARE(pixelAt(viewport, state.center()), QColor(Qt::green));
    // The picture follows the state picture, the label follows the picture.
    QVERIFY(m_view->pictureRect(m_b).left() > state.right());
    QCOMPARE(pixelAt(viewport, m_view->pictureRect(m_b).center()), QColor(Qt::red));
    QVERIFY(m_view->labelRect(m_b).left() > m_view->pictureRect(m_b).right());

    const TreeHitTest onState = m_view->hitTest(state.center());
    QCOMPARE(onState.handle, m_b);
    QCOMPARE(onState.flags, int(runtime::HitOnItemStateIcon));
    // The same spot on a row without a state picture is that item's picture.
    const QPoint sameSpotOnA(state.center().x(), m_view->pictureRect(m_a).center().y());
    QCOMPARE(m_view->hitTest(sameSpotOnA).flags, int(runtime::HitOnItemIcon));
    QCOMPARE(pixelAt(viewport, sameSpotOnA), QColor(Qt::red));

    // Mouse events at the state icon arrive at the same point the hit test answers for.
    QSignalSpy moved(m_view.get(), &TreeView::mouseMoved);
    QTest::mouseMove(viewport, state.center());
    QTRY_VERIFY(!moved.isEmpty());
    QCOMPARE(m_view->hitTest(moved.constLast().at(0).toPoint()).flags, int(runtime::HitOnItemStateIcon));
}

void TestTreeView::hitTestTellsThePartsOfARow()
{
    showView();
    const QRect label = m_view->labelRect(m_b);
    const QRect picture = m_view->pictureRect(m_b);
    const int row = label.center().y();

    TreeHitTest hit = m_view->hitTest(label.center());
    QCOMPARE(hit.handle, m_b);
    QCOMPARE(hit.flags, int(runtime::HitOnItemLabel));
    QCOMPARE(m_view->hitTest(picture.center()).flags, int(runtime::HitOnItemIcon));
    hit = m_view->hitTest(QPoint(label.right() + 20, row));
    QCOMPARE(hit.handle, m_b);
    QCOMPARE(hit.flags, int(runtime::HitOnItemRight));
    hit = m_view->hitTest(QPoint(picture.left() - m_view->indentation() / 2, row));
    QCOMPARE(hit.handle, m_b);
    QCOMPARE(hit.flags, int(runtime::HitOnItemIndent)); // b has no children: no button
    const QRect rootLabel = m_view->labelRect(m_root);
    hit = m_view->hitTest(QPoint(m_view->pictureRect(m_root).left() - m_view->indentation() / 2,
                                 rootLabel.center().y()));
    QCOMPARE(hit.handle, m_root);
    QCOMPARE(hit.flags, int(runtime::HitOnItemButton));

    hit = m_view->hitTest(QPoint(10, m_view->viewport()->height() - 2));
    QCOMPARE(hit.handle, 0L);
    QCOMPARE(hit.flags, int(runtime::HitNowhere));
    hit = m_view->hitTest(QPoint(-5, -5));
    QCOMPARE(hit.handle, 0L);
    QCOMPARE(hit.flags, int(runtime::HitAbove | runtime::HitToLeft));
}

void TestTreeView::redrawOffDefersViewWork()
{
    showView();
    m_view->selectItem(m_a);
    QSignalSpy changed(m_view.get(), &TreeView::selectionChanged);
    QSignalSpy inserted(m_view->treeModel(), &QAbstractItemModel::rowsInserted);

    m_view->setRedraw(false);
    QVERIFY(!m_view->updatesEnabled());
    QCOMPARE(m_view->deleteAllItems(), 1);
    QCOMPARE(m_view->selectedHandle(), 0L);
    const long root = m_view->insertItemFirst(0, item(QStringLiteral("new root")));
    long chapter = 0;
    long last = 0;
    for (int i = 0; i < 50; ++i) {
        chapter = m_view->insertItemLast(root, item(QStringLiteral("chapter %1").arg(i)));
        last = m_view->insertItemLast(chapter, item(QStringLiteral("heading %1").arg(i)));
    }
    QCOMPARE(m_view->expandItem(root), 1);
    QCOMPARE(m_view->selectItem(last), 1); // announced now, shown later
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(1).toLongLong(), qlonglong(last));
    m_view->setRedraw(true);

    QVERIFY(m_view->updatesEnabled());
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(m_view->itemCount(), 101);
    QVERIFY(m_view->isExpanded(m_view->treeModel()->index(root)));
    QCOMPARE(m_view->selectedHandle(), last);
    QCOMPARE(m_view->currentIndex(), m_view->treeModel()->index(last));
    QVERIFY(m_view->selectionModel()->isSelected(m_view->treeModel()->index(last)));
    QVERIFY(m_view->isExpanded(m_view->treeModel()->index(chapter))); // shown: its ancestors opened
    QCOMPARE(changed.count(), 1); // restoring the view announces nothing more

    // A selection and expansion made before redraw went off survive an edit made meanwhile.
    m_view->setRedraw(false);
    TreeItem record;
    m_view->getItem(root, record);
    record.label = QStringLiteral("renamed");
    m_view->setItem(root, record);
    m_view->setRedraw(true);
    QCOMPARE(m_view->selectedHandle(), last);
    QVERIFY(m_view->isExpanded(m_view->treeModel()->index(root)));
    QCOMPARE(m_view->treeModel()->index(root).data().toString(), QStringLiteral("renamed"));
}

void TestTreeView::deleteAllClearsSelection()
{
    m_view->selectItem(m_b);
    QCOMPARE(m_view->deleteAllItems(), 1);
    QCOMPARE(m_view->selectedHandle(), 0L);
    QCOMPARE(m_view->findItem(TreeNavigation::Current, 0), -1L);
    QCOMPARE(m_view->getItem(m_b, *std::make_unique<TreeItem>()), -1);
    // The next selection is announced from no item.
    const long fresh = m_view->insertItemFirst(0, item(QStringLiteral("fresh")));
    QSignalSpy changed(m_view.get(), &TreeView::selectionChanged);
    QCOMPARE(m_view->selectItem(fresh), 1);
    QCOMPARE(changed.at(0).at(0).toLongLong(), 0LL);
}

void TestTreeView::itemsAreAccessibleByLabel()
{
    showView();
    m_view->setAccessibleName(QStringLiteral("tree of tests"));
    QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(m_view.get());
    QVERIFY(tree);
    QCOMPARE(tree->text(QAccessible::Name), QStringLiteral("tree of tests"));
    QStringList names;
    for (int i = 0; i < tree->childCount(); ++i) {
        QAccessibleInterface *child = tree->child(i);
        if (child && child->role() == QAccessible::TreeItem)
            names << child->text(QAccessible::Name);
    }
    QCOMPARE(names, QStringList({"root", "alpha", "beta", "gamma"}));
}

KIV_TEST_MAIN(TestTreeView)
#include "tst_treeview.moc"

void TestTreeView::columnWidthFollowsLabelsFontAndPictures()
{
    // Label sizes are remembered between measurements: every change that makes a label wider
    // must still widen the column.
    showView();
    const auto width = [this] {
        QCoreApplication::processEvents(); // the header sizes the column on the next layout
        return m_view->header()->sectionSize(0);
    };
    const int before = width();
    QVERIFY(before > 0);
    QCOMPARE(width(), before); // measured again from what is remembered: the same

    TreeItem longer = item(QStringLiteral("gamma with a much longer label than the others"));
    QCOMPARE(m_view->setItem(m_c, longer), 1);
    const int withLongLabel = width();
    QVERIFY2(withLongLabel > before, qPrintable(QStringLiteral("%1 <= %2").arg(withLongLabel).arg(before)));

    longer.bold = true;
    QCOMPARE(m_view->setItem(m_c, longer), 1);
    const int bold = width();
    QVERIFY(bold > withLongLabel);

    QFont font = m_view->font();
    font.setPointSize(font.pointSize() * 2);
    m_view->setFont(font);
    const int bigFont = width();
    QVERIFY(bigFont > bold);

    m_view->setPictureSize(QSize(48, 48));
    QVERIFY(width() > bigFont);

    QCOMPARE(m_view->setItem(m_c, item(QStringLiteral("g"))), 1);
    QVERIFY(width() < bigFont + 32);
}

void TestTreeView::columnWidthCoversClosedBranchesAndStaysWhileBrowsing_data()
{
    QTest::addColumn<bool>("bulk");
    QTest::newRow("items inserted one by one") << false;
    QTest::newRow("items built with redraw off") << true;
}

void TestTreeView::columnWidthCoversClosedBranchesAndStaysWhileBrowsing()
{
    // The widest label lies deep in a closed branch: the column is already wide enough for it,
    // and opening branches or selecting items leaves the width alone.
    QFETCH(bool, bulk);
    showView();
    if (bulk)
        m_view->setRedraw(false);
    long parent = m_b;
    for (int level = 0; level < 4; ++level)
        parent = m_view->insertItemLast(parent, item(QStringLiteral("level %1").arg(level)));
    const long deep = m_view->insertItemLast(parent, item(QStringLiteral("the widest label of all, deep in a closed branch")));
    if (bulk)
        m_view->setRedraw(true);
    QCoreApplication::processEvents();
    const int closed = m_view->header()->sectionSize(0);
    QVERIFY(!m_view->isItemExpanded(m_b));

    QCOMPARE(m_view->selectItem(deep), 1);
    QVERIFY(m_view->isExpanded(m_view->treeModel()->index(parent)));
    QCoreApplication::processEvents();
    QCOMPARE(m_view->header()->sectionSize(0), closed);
    m_view->expandAll();
    QCoreApplication::processEvents();
    QCOMPARE(m_view->header()->sectionSize(0), closed);
    // As wide as the view's own measure of the shown items' contents.
    QCOMPARE(closed, static_cast<QAbstractItemView *>(m_view.get())->sizeHintForColumn(0));
}
