#include "core/data/dataviews.h"
#include "core/runtime/DataView.h"
#include "core/runtime/DataViewModel.h"
#include "support/TestMain.h"
#include "ui/auxiliary/u_list_dw.h"

#include <QAbstractItemModelTester>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

#include <memory>

namespace {

// Chapters in an order that neither the code nor the name gives.
QVector<QVector<QVariant>> chapters()
{
    return {{"03", "Apple", "Y"}, {"01", "Cherry", "N"}, {"04", "Banana", "Y"}, {"02", "Date", "N"}};
}

struct Grid {
    QWidget window;
    u_list_dw *list = new u_list_dw(&window);
    std::unique_ptr<QAbstractItemModelTester> tester;

    explicit Grid(QVector<QVector<QVariant>> rows = chapters())
    {
        list->setDataObject(d_option_hgats());
        list->dataView()->loadRows(std::move(rows));
        tester = std::make_unique<QAbstractItemModelTester>(list->dataModel(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        window.resize(400, 300);
        list->resize(380, 280);
        window.show();
    }

    QStringList column(const char *name) const
    {
        QStringList values;
        for (long row = 1; row <= list->dataView()->rowCount(); ++row)
            values.append(list->dataView()->itemString(row, QLatin1String(name)));
        return values;
    }
    QString tag(const char *name) const { return list->dataView()->describe(QLatin1String(name) + QStringLiteral(".Tag")); }

    // A real click on the header section that shows a column.
    void clickHeader(const char *name)
    {
        QHeaderView *header = list->horizontalHeader();
        const int section = list->dataModel()->modelColumn(QLatin1String(name));
        QVERIFY(section >= 0);
        const QPoint centre(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
    }
    QPoint cellCentre(int row, const char *name) const
    {
        return list->visualRect(list->dataModel()->index(row - 1, list->dataModel()->modelColumn(QLatin1String(name))))
            .center();
    }
    void clickCell(int row, const char *name)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cellCentre(row, name));
    }
    QList<int> highlightedRows() const
    {
        QList<int> rows;
        for (const QModelIndex &index : list->selectionModel()->selectedRows())
            rows.append(index.row() + 1);
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    QList<int> selectedViewRows() const
    {
        QList<int> rows;
        for (long row = 1; row <= list->dataView()->rowCount(); ++row) {
            if (list->dataView()->isSelected(row))
                rows.append(int(row));
        }
        return rows;
    }
};

} // namespace

class tst_u_list_dw : public QObject
{
    Q_OBJECT
private slots:
    void headerClicksSortAndAlternate();
    void eachColumnKeepsItsOwnDirection();
    void onlyHeaderTextsSort_data();
    void onlyHeaderTextsSort();
    void clickOnACellDoesNotSort();
    void viewsWithoutTheArrowStillSort();
    void onlyTheCurrentRowIsHighlighted();
    void enterActsAsADoubleClick();
    void enterOnAnEmptyListStillDoubleClicksOnce();
    void sortingKeepsColumnWidths();
    void checkBoxColumnShowsTheHand();
    void longTextsLeaveEveryColumnInView();
};

void tst_u_list_dw::headerClicksSortAndAlternate()
{
    Grid g;
    QCOMPARE(g.tag("name"), QStringLiteral("?"));
    g.clickHeader("name");
    QCOMPARE(g.column("name"), (QStringList{"Apple", "Banana", "Cherry", "Date"}));
    QCOMPARE(g.tag("name"), QStringLiteral("A"));
    // The other columns move with their rows.
    QCOMPARE(g.column("code"), (QStringList{"03", "04", "01", "02"}));
    g.clickHeader("name");
    QCOMPARE(g.column("name"), (QStringList{"Date", "Cherry", "Banana", "Apple"}));
    QCOMPARE(g.tag("name"), QStringLiteral("D"));
    g.clickHeader("name");
    QCOMPARE(g.column("name"), (QStringList{"Apple", "Banana", "Cherry", "Date"}));
    QCOMPARE(g.tag("name"), QStringLiteral("A"));
    QCOMPARE(g.list->dataView()->sortCriteria(), QStringLiteral("name A"));
    // The grid shows the view's new order.
    QCOMPARE(g.list->dataModel()->index(0, 1).data().toString(), QStringLiteral("Apple"));
}

void tst_u_list_dw::eachColumnKeepsItsOwnDirection()
{
    Grid g;
    g.clickHeader("code");
    QCOMPARE(g.column("code"), (QStringList{"01", "02", "03", "04"}));
    g.clickHeader("name");
    QCOMPARE(g.tag("code"), QStringLiteral("A"));
    QCOMPARE(g.tag("name"), QStringLiteral("A"));
    // code's own tag still says ascending, so its next click sorts it descending.
    g.clickHeader("code");
    QCOMPARE(g.column("code"), (QStringList{"04", "03", "02", "01"}));
    QCOMPARE(g.tag("code"), QStringLiteral("D"));
    QCOMPARE(g.tag("name"), QStringLiteral("A"));

    // A tag of blanks, or any other text than "A", decides as the handler reads it.
    QCOMPARE(g.list->dataView()->modify(QStringLiteral("name.Tag='  '")), QString());
    QCOMPARE(g.list->clickedObject(QStringLiteral("name_t")), 1);
    QCOMPARE(g.tag("name"), QStringLiteral("A"));
    QCOMPARE(g.list->dataView()->modify(QStringLiteral("name.Tag='x'")), QString());
    QCOMPARE(g.list->clickedObject(QStringLiteral("name_t")), 1);
    QCOMPARE(g.tag("name"), QStringLiteral("D"));
    QCOMPARE(g.column("name"), (QStringList{"Date", "Cherry", "Banana", "Apple"}));
}

void tst_u_list_dw::onlyHeaderTextsSort_data()
{
    QTest::addColumn<QString>("object");
    QTest::newRow("empty") << "";
    QTest::newRow("one character") << "t";
    QTest::newRow("column") << "name";
    QTest::newRow("no underscore") << "namet";
    QTest::newRow("other suffix") << "name_x";
    QTest::newRow("view") << "datawindow";
}

void tst_u_list_dw::onlyHeaderTextsSort()
{
    QFETCH(QString, object);
    Grid g;
    QCOMPARE(g.list->clickedObject(object), 0);
    QCOMPARE(g.column("code"), (QStringList{"03", "01", "04", "02"}));
    QCOMPARE(g.tag("name"), QStringLiteral("?"));
    QCOMPARE(g.list->dataView()->sortCriteria(), QString());
}

void tst_u_list_dw::clickOnACellDoesNotSort()
{
    Grid g;
    QCOMPARE(g.list->objectAt(g.cellCentre(2, "code")), QStringLiteral("code"));
    QCOMPARE(g.list->headerObject(0), QStringLiteral("code_t"));
    g.clickCell(2, "code");
    g.clickCell(3, "name");
    QCOMPARE(g.column("code"), (QStringList{"03", "01", "04", "02"}));
    QCOMPARE(g.tag("code"), QStringLiteral("?"));
    QCOMPARE(g.tag("name"), QStringLiteral("?"));
    // A header text of no column changes nothing either.
    QCOMPARE(g.list->clickedObject(QStringLiteral("nosuch_t")), -1);
    QCOMPARE(g.column("code"), (QStringList{"03", "01", "04", "02"}));
}

void tst_u_list_dw::viewsWithoutTheArrowStillSort()
{
    Grid g;
    QCOMPARE(g.list->dataView()->describe(QStringLiteral("P_SortName.Visible")), QStringLiteral("!"));
    QSignalSpy attributes(g.list->dataView(), &runtime::DataView::attributesChanged);
    g.clickHeader("flag");
    QCOMPARE(g.column("flag"), (QStringList{"N", "N", "Y", "Y"}));
    // Only the tag changed: the arrow's modifications were refused as a whole.
    QCOMPARE(attributes.count(), 1);
    QCOMPARE(g.list->dataView()->describe(QStringLiteral("P_SortName.Visible")), QStringLiteral("!"));
    QCOMPARE(g.tag("flag"), QStringLiteral("A"));
}

void tst_u_list_dw::onlyTheCurrentRowIsHighlighted()
{
    Grid g;
    runtime::DataView *view = g.list->dataView();
    QCOMPARE(view->currentRow(), 1L);
    QCOMPARE(g.highlightedRows(), (QList<int>{1}));

    g.clickCell(3, "name");
    QCOMPARE(view->currentRow(), 3L);
    QCOMPARE(g.selectedViewRows(), (QList<int>{3}));
    QCOMPARE(g.highlightedRows(), (QList<int>{3}));

    QTest::keyClick(g.list, Qt::Key_Down);
    QCOMPARE(view->currentRow(), 4L);
    QCOMPARE(g.highlightedRows(), (QList<int>{4}));

    // Moving the view's row from code moves the highlight and the input focus too.
    auto *other = new QLineEdit(&g.window);
    other->show();
    other->setFocus();
    QCOMPARE(g.window.focusWidget(), other);
    view->scrollToRow(2);
    QCOMPARE(g.window.focusWidget(), g.list);
    QCOMPARE(g.highlightedRows(), (QList<int>{2}));
    QCOMPARE(g.list->currentIndex().row(), 1);

    // A selection made elsewhere is replaced when the row changes.
    view->selectRow(0, true);
    QCOMPARE(g.highlightedRows(), (QList<int>{1, 2, 3, 4}));
    view->scrollToRow(1);
    QCOMPARE(g.selectedViewRows(), (QList<int>{1}));
    QCOMPARE(g.highlightedRows(), (QList<int>{1}));

    // After a sort the current row's place stays the one highlighted row, although the row
    // that was highlighted (Cherry) moved from 2 to 3.
    view->scrollToRow(2);
    g.clickHeader("name");
    QCOMPARE(view->currentRow(), 2L);
    QCOMPARE(g.selectedViewRows(), (QList<int>{int(view->currentRow())}));
    QCOMPARE(g.highlightedRows(), (QList<int>{int(view->currentRow())}));
}

void tst_u_list_dw::enterActsAsADoubleClick()
{
    // In a dialog, so that an Enter the list let through would press the default button.
    QDialog dialog;
    auto *list = new u_list_dw(&dialog);
    list->setDataObject(d_option_hgats());
    list->dataView()->loadRows(chapters());
    list->resize(380, 280);
    auto *ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->move(0, 300);
    ok->setDefault(true);
    QSignalSpy pressed(ok, &QPushButton::clicked);
    dialog.show();
    QSignalSpy doubled(list, &u_list_dw::doubleclicked);

    list->dataView()->scrollToRow(3);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(doubled.count(), 2);
    QCOMPARE(doubled.at(0).at(0).toLongLong(), 3LL);
    QCOMPARE(doubled.at(1).at(0).toLongLong(), 3LL);
    QCOMPARE(pressed.count(), 0);
    QCOMPARE(list->ue_key(Qt::Key_A, {}), 0);
    QCOMPARE(doubled.count(), 2);

    const QRect cell = list->visualRect(list->dataModel()->index(1, 1));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(doubled.count(), 3);
    QCOMPARE(doubled.last().at(0).toLongLong(), 2LL);
}

void tst_u_list_dw::enterOnAnEmptyListStillDoubleClicksOnce()
{
    Grid g(QVector<QVector<QVariant>>{});
    QSignalSpy doubled(g.list, &u_list_dw::doubleclicked);
    QCOMPARE(g.list->ue_key(Qt::Key_Return, {}), 1);
    QCOMPARE(doubled.count(), 1);
    QCOMPARE(doubled.at(0).at(0).toLongLong(), 0LL);
    QCOMPARE(g.list->dataView()->currentRow(), 0L);
    // Sorting an empty list is harmless and still records the direction.
    QCOMPARE(g.list->clickedObject(QStringLiteral("code_t")), 1);
    QCOMPARE(g.tag("code"), QStringLiteral("A"));
}

void tst_u_list_dw::sortingKeepsColumnWidths()
{
    Grid g;
    QHeaderView *header = g.list->horizontalHeader();
    QVERIFY(header->sectionSize(1) > 0);
    header->resizeSection(1, 157);
    const int codeWidth = header->sectionSize(0);
    g.clickHeader("name");
    QCOMPARE(g.column("name").first(), QStringLiteral("Apple"));
    QCOMPARE(header->sectionSize(1), 157);
    QCOMPARE(header->sectionSize(0), codeWidth);
    // Reloaded rows keep them as well.
    g.list->dataView()->loadRows(chapters());
    QCOMPARE(header->sectionSize(1), 157);
}

void tst_u_list_dw::checkBoxColumnShowsTheHand()
{
    Grid g;
    g.list->dataModel()->setCheckBox(QStringLiteral("flag"), QStringLiteral("Y"), QStringLiteral("N"));
    g.list->setColumnCursor(QStringLiteral("flag"), QCursor(Qt::PointingHandCursor));
    QTest::mouseMove(g.list->viewport(), g.cellCentre(2, "flag"));
    QTRY_COMPARE(g.list->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(g.list->viewport(), g.cellCentre(2, "name"));
    QTRY_COMPARE(g.list->viewport()->cursor().shape(), Qt::ArrowCursor);
    // The check box stores the view's values.
    const QModelIndex flag = g.list->dataModel()->index(1, 2);
    QCOMPARE(flag.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(g.list->dataModel()->setData(flag, Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(g.list->dataView()->itemString(2, QStringLiteral("flag")), QStringLiteral("Y"));
}

void tst_u_list_dw::longTextsLeaveEveryColumnInView()
{
    const QString longName = QStringLiteral("鱼、甲壳动物、软体动物及其他水生无脊椎动物").repeated(3);
    Grid g({{"01", "Cherry", "Y"}, {"03", longName, "N"}});
    QHeaderView *header = g.list->horizontalHeader();
    int total = 0;
    for (int section = 0; section < header->count(); ++section)
        total += header->sectionSize(section);
    QVERIFY2(total <= g.list->viewport()->width(), qPrintable(QString::number(total)));
    QVERIFY(header->sectionSize(1) >= g.list->fontMetrics().horizontalAdvance(QStringLiteral("商品大类名称")));
    // The cut name shows whole in its tip; a name that fits has none.
    const QPoint cell = g.cellCentre(2, "name");
    QHelpEvent tip(QEvent::ToolTip, cell, g.list->viewport()->mapToGlobal(cell));
    QCoreApplication::sendEvent(g.list->viewport(), &tip);
    QTRY_COMPARE(QToolTip::text(), longName);
    const QPoint fitting = g.cellCentre(1, "name");
    QHelpEvent none(QEvent::ToolTip, fitting, g.list->viewport()->mapToGlobal(fitting));
    QCoreApplication::sendEvent(g.list->viewport(), &none);
    QTRY_VERIFY(QToolTip::text().isEmpty());
}

KIV_TEST_MAIN(tst_u_list_dw)
#include "tst_u_list_dw.moc"
