#include "ui/find/w_findats.h"

#include "core/find/FindExpressionBuilder.h"
#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/runtime/TreeModel.h"
#include "core/session/globals.h"
#include "support/ButtonDriver.h"
#include "support/RunningProgram.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "ui/auxiliary/f_adjust_winpos.h"
#include "ui/auxiliary/w_help.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/runtime/LayoutUnits.h"
#include "ui/tree/u_tv.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <tuple>

namespace {

// The entry prefixes: two blanks before the customs "@".
const QString C = QStringLiteral("海关商品  @");
const QString F = QStringLiteral("外经委商品@");

// Customs rows 1..11 and foreign-trade rows 1..4, in the views' order (by code).
const char *kRows =
    "INSERT INTO list_hscode(code, name, flag) VALUES"
    " ('01', '活动物', 'Y'), ('0101', '马、驴、骡', NULL), ('010121', '改良种用', NULL),"
    " ('0101210010', '其他马', NULL), ('0101210090', '其他马', NULL), ('0102', '牛', NULL),"
    " ('0102100000', 'O''Neil马', NULL), ('0102200000', '百分之5%牛_x', NULL),"
    " ('0102900000', '牛~其他', NULL), ('02', '肉', 'Y'), ('0201', '鲜牛肉', NULL);"
    "INSERT INTO list_jmwcode(jmw_code, name, flag) VALUES"
    " ('01', '活动物', 'Y'), ('0101', '马', NULL), ('010110', '其他马', NULL), ('0102', '牛', NULL);";

struct Fixture : RunningProgram {
    QPointer<w_findats> dialog;
    std::unique_ptr<QAbstractItemModelTester> tester;

    bool open(const QString &rows = QString::fromUtf8(kRows))
    {
        if (!makeDatabase(rows) || !connectDatabase())
            return false;
        window = std::make_unique<w_kiv>();
        window->show();
        window->ue_postopen();
        dialog = w_findats::openFor(window.get());
        tester = std::make_unique<QAbstractItemModelTester>(dialog->lb_1->model());
        return dialog && recorder.boxes().isEmpty();
    }
    ~Fixture() { tester.reset(); }

    QStringList entries() const
    {
        QStringList texts;
        for (int i = 0; i < dialog->lb_1->count(); ++i)
            texts.append(dialog->lb_1->item(i)->text());
        return texts;
    }
    // "[code]name" of a view's row, as its tree item reads.
    QString label(runtime::DataView *view, long row, const char *codeColumn) const
    {
        return QLatin1Char('[') + view->itemString(row, QLatin1String(codeColumn)) + QLatin1Char(']')
            + view->itemString(row, QStringLiteral("name"));
    }
    QString hs(long row) const { return C + label(window->dw_1, row, "code"); }
    QString jmw(long row) const { return F + label(window->dw_2, row, "jmw_code"); }
    long handle(runtime::DataView *view, long row) const
    {
        return long(view->itemNumber(row, QStringLiteral("handle")));
    }
    QStringList find(const QString &name)
    {
        dialog->sle_2->setText(name);
        dialog->cb_2->click();
        return entries();
    }
};

// Types a character as the keyboard (or an input method) delivers it.
void typeChar(QWidget *widget, const QString &character)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(widget, &release);
}

const QString kSorry = QStringLiteral("I'm Sorry,I Can't Help you!");
const QString kNeedName = QStringLiteral("您需要录入商品名称!");
const QString kNeedCode = QStringLiteral("您需要录入商品代码!");
const QString kHgError = QStringLiteral("Search HG K-I-V Occured Error!!");
const QString kJmwError = QStringLiteral("Search JMW K-I-V Occured Error!!");

} // namespace

class tst_w_findats : public QObject
{
    Q_OBJECT
private slots:
    void opensWithItsControlsInTheirInitialState()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        QCOMPARE(d->windowTitle(), QStringLiteral("快速查找"));
        QVERIFY(!d->isModal());
        QCOMPARE(d->parentWidget(), f.window.get());
        QCOMPARE(d->font().family(), QStringLiteral("Arial"));
        QCOMPARE(d->font().pointSize(), 9);
        QCOMPARE(d->palette().color(QPalette::Window), QColor(212, 208, 200));
        QCOMPARE(d->is_tree, QStringLiteral("H"));
        QCOMPARE(d->is_type, QStringLiteral("C"));
        QCOMPARE(d->is_find, QStringLiteral("C"));

        const QList<QPair<QAbstractButton *, QString>> buttons = {
            {d->cbx_2, "查找所有"}, {d->cb_5, "帮助(&H)"}, {d->cb_4, "上一个(&P)"}, {d->cb_1, "下一个(&N)"},
            {d->rb_7, "匹配查找"}, {d->rb_6, "精确查找"}, {d->rb_5, "根据商品代码查找名称"},
            {d->rb_4, "根据商品名称查找代码"}, {d->cb_2, "查找(&Y)"}, {d->cb_3, "关闭(&C)"}, {d->cbx_1, "显示明细"},
            {d->rb_3, "同时查找 "}, {d->rb_2, "查找外经委商品树"}, {d->rb_1, "查找海关商品树"}};
        for (const auto &[button, text] : buttons)
            QCOMPARE(button->text(), text);
        QCOMPARE(d->st_4->text(), QStringLiteral("查询结果:"));
        QCOMPARE(d->st_3->text(), QStringLiteral("外经代码："));
        QCOMPARE(d->st_2->text(), QStringLiteral("商品名称："));
        QCOMPARE(d->st_1->text(), QStringLiteral("海关代码："));
        QCOMPARE(d->gb_1->title(), QStringLiteral("设置查询树"));
        QCOMPARE(d->gb_2->title(), QStringLiteral("设置查询方式"));
        QCOMPARE(d->gb_3->title(), QStringLiteral("录入查询条件"));
        QCOMPARE(d->st_2->buddy(), d->sle_2);
        QCOMPARE(d->st_1->buddy(), d->sle_1);
        QCOMPARE(d->st_3->buddy(), d->sle_3);
        QCOMPARE(d->st_4->buddy(), d->lb_1);
        QVERIFY(d->rb_1->parentWidget() == d->gb_1 && d->rb_5->parentWidget() == d->gb_2
                && d->sle_3->parentWidget() == d->gb_3 && d->cbx_2->parentWidget() == d->gb_3);

        for (QAbstractButton *checked :
             std::initializer_list<QAbstractButton *>{d->rb_1, d->rb_4, d->rb_6, d->cbx_2, d->cbx_1})
            QVERIFY2(checked->isChecked(), qPrintable(checked->text()));
        QVERIFY(d->sle_2->isEnabled());
        QVERIFY(!d->sle_1->isEnabled());
        QVERIFY(!d->sle_3->isEnabled());
        QVERIFY(!d->cb_1->isEnabled());
        QVERIFY(!d->cb_4->isEnabled());
        QVERIFY(d->cb_2->isDefault());
        QCOMPARE(d->lb_1->count(), 0);
        QCOMPARE(d->lb_1->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(d->rb_1->layoutDirection(), Qt::RightToLeft); // text left of the button
        QCOMPARE(d->rb_6->layoutDirection(), Qt::LeftToRight);

        // Placed by its own size, in layout units.
        const runtime::LayoutUnits units;
        const QPoint expected = units.toPixels(kiv::adjustedWinPos(
            QSize(units.pixelsToUnitsX(d->width()), units.pixelsToUnitsY(d->height()))));
        QCOMPARE(d->pos(), expected);
        QVERIFY(d->lb_1->geometry().bottom() < d->height());
        QVERIFY(d->cb_5->geometry().right() < d->width());
    }

    void tabVisitsFieldsListAndButtonsByTheirNumbers()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        QCOMPARE(QApplication::focusWidget(), d->sle_2);
        auto tabs = [](int count) {
            QList<QWidget *> visited;
            for (int i = 0; i < count; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                visited.append(QApplication::focusWidget());
            }
            return visited;
        };
        // The disabled fields and buttons are passed by, and so are the radio buttons and
        // check boxes (tab number 0).
        QCOMPARE(tabs(5), (QList<QWidget *>{d->cb_5, d->lb_1, d->cb_3, d->cb_2, d->sle_2}));
        d->cbx_2->click();
        d->rb_3->click();
        d->rb_5->click();
        d->sle_1->setFocus();
        QCOMPARE(tabs(8), (QList<QWidget *>{d->sle_3, d->cb_3, d->cb_4, d->cb_2, d->cb_1, d->cb_5, d->lb_1, d->sle_1}));
    }

    void choicesSetTheStateAndEnableTheFields()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        auto enabled = [d] {
            return QString::fromLatin1("%1%2%3").arg(int(d->sle_1->isEnabled())).arg(int(d->sle_2->isEnabled()))
                .arg(int(d->sle_3->isEnabled()));
        };
        // Searching by name, a tree choice changes is_tree only.
        d->rb_2->click();
        QCOMPARE(d->is_tree, QStringLiteral("J"));
        QCOMPARE(enabled(), QStringLiteral("010"));
        QVERIFY(d->rb_4->isChecked()); // the groups are independent
        d->rb_5->click();
        QCOMPARE(d->is_type, QStringLiteral("N"));
        QCOMPARE(enabled(), QStringLiteral("001"));
        QVERIFY(!d->rb_4->isChecked() && d->rb_2->isChecked());
        d->rb_1->click();
        QCOMPARE(enabled(), QStringLiteral("100"));
        d->rb_3->click();
        QCOMPARE(d->is_tree, QStringLiteral("A"));
        QCOMPARE(enabled(), QStringLiteral("101"));
        d->rb_4->click();
        QCOMPARE(d->is_type, QStringLiteral("C"));
        QCOMPARE(enabled(), QStringLiteral("010"));
        d->rb_1->click();
        QCOMPARE(d->is_tree, QStringLiteral("H"));
        QCOMPARE(enabled(), QStringLiteral("010"));
        d->rb_5->click();
        QCOMPARE(enabled(), QStringLiteral("100"));

        d->rb_7->click();
        QCOMPARE(d->is_find, QStringLiteral("M"));
        QVERIFY(!d->rb_6->isChecked());
        d->rb_6->click();
        QCOMPARE(d->is_find, QStringLiteral("C"));
        d->cbx_2->click();
        QVERIFY(d->cb_1->isEnabled() && d->cb_4->isEnabled());
        d->cbx_2->click();
        QVERIFY(!d->cb_1->isEnabled() && !d->cb_4->isEnabled());
        QVERIFY(f.recorder.boxes().isEmpty());
    }

    void choicesFollowEveryWayOfChecking_data() { ButtonDriver::addWaysOfChecking(); }
    void choicesFollowEveryWayOfChecking()
    {
        QFETCH(QString, way);
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        // Both trees by parts, then both by code: what the searches find shows their modes.
        QVERIFY(ButtonDriver::turnOver(d->rb_3, way));
        QVERIFY(ButtonDriver::turnOver(d->rb_7, way));
        QCOMPARE(f.find(QStringLiteral("其他")), (QStringList{f.hs(4), f.hs(5), f.hs(9), f.jmw(3)}));
        QVERIFY(ButtonDriver::turnOver(d->rb_5, way));
        QVERIFY(d->sle_1->isEnabled() && d->sle_3->isEnabled() && !d->sle_2->isEnabled());
        d->sle_1->setText(QStringLiteral("0102"));
        d->sle_3->setText(QStringLiteral("0102"));
        d->cb_2->click();
        QCOMPARE(f.entries(), (QStringList{f.hs(6), f.hs(7), f.hs(8), f.hs(9), f.jmw(4)}));
        // Stepping, in the customs tree, by the exact name.
        QVERIFY(ButtonDriver::turnOver(d->cbx_2, way));
        QVERIFY(d->cb_1->isEnabled() && d->cb_4->isEnabled());
        for (QRadioButton *radio : {d->rb_1, d->rb_4, d->rb_6})
            QVERIFY(ButtonDriver::turnOver(radio, way));
        QVERIFY(!d->sle_1->isEnabled() && d->sle_2->isEnabled() && !d->sle_3->isEnabled());
        QCOMPARE(f.find(QStringLiteral("其他马")), QStringList{f.hs(4)});
        QVERIFY(f.recorder.boxes().isEmpty());
    }

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(int, key);
        Fixture f;
        QVERIFY(f.open());
        f.dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.dialog));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.dialog->cb_3);
        QTest::keyClick(f.dialog->cb_3, Qt::Key(key)); // 关闭, not the default 查找
        QVERIFY(!f.dialog->isVisible());
    }

    void resultListFollowsOnlyANewlySelectedEntry()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        runtime::DataView *dw = f.window->dw_1;
        d->rb_7->click();
        QCOMPARE(f.find(QStringLiteral("马")), (QStringList{f.hs(2), f.hs(4), f.hs(5), f.hs(7)}));
        const long lastMatch = f.window->tv_1->selectedHandle();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        // Tabbing in makes the first entry current, not selected: the panel stays on the last match.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), d->lb_1);
        QCOMPARE(d->lb_1->currentRow(), 0);
        QCOMPARE(dw->currentRow(), 7L);
        auto click = [d](int entry, Qt::KeyboardModifiers keys = {}) {
            QTest::mouseClick(d->lb_1->viewport(), Qt::LeftButton, keys,
                              d->lb_1->visualItemRect(d->lb_1->item(entry)).center());
        };
        QTest::keyClick(d->lb_1, Qt::Key_Down);
        QCOMPARE(dw->currentRow(), 4L);
        click(2, Qt::ControlModifier);
        QCOMPARE(dw->currentRow(), 5L);
        click(1, Qt::ControlModifier); // deselected, and current
        QCOMPARE(d->lb_1->selectedItems(), QList<QListWidgetItem *>{d->lb_1->item(2)});
        QCOMPARE(dw->currentRow(), 5L);
        click(0);
        QCOMPARE(dw->currentRow(), 2L);
        QVERIFY(f.window->isPanelVisible(dw));
        QCOMPARE(f.window->tv_1->selectedHandle(), lastMatch); // picking moves no tree selection
    }

    void emptyInputHintsFocusesAndWarns()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        d->cb_2->click();
        QCOMPARE(f.recorder.texts(), (QStringList{kNeedName, kHgError}));
        QCOMPARE(f.recorder.boxes().at(0).title, QStringLiteral(":-)查找提示"));
        QCOMPARE(f.recorder.boxes().at(0).icon, runtime::MessageIcon::Exclamation);
        QCOMPARE(f.recorder.boxes().at(1).title, QStringLiteral("Warning :"));
        QCOMPARE(d->focusWidget(), d->sle_2);

        // Both trees by name: the foreign-trade search is skipped after the customs failure.
        d->rb_3->click();
        d->cb_2->click();
        QCOMPARE(f.recorder.texts().mid(2), (QStringList{kNeedName, kHgError}));

        // By code in the foreign-trade tree.
        d->rb_2->click();
        d->rb_5->click();
        d->cb_2->setFocus();
        d->cb_2->click();
        QCOMPARE(f.recorder.texts().mid(4), (QStringList{kNeedCode, kJmwError}));
        QCOMPARE(d->focusWidget(), d->sle_3);

        // Both trees by code with only the customs code: its matches, then the hint for the
        // foreign-trade field.
        d->rb_3->click();
        d->sle_1->setText(QStringLiteral("0102"));
        d->rb_7->click();
        d->cb_2->click();
        QCOMPARE(f.recorder.texts().mid(6), (QStringList{kNeedCode, kJmwError}));
        QCOMPARE(f.entries(), (QStringList{f.hs(6), f.hs(7), f.hs(8), f.hs(9)}));
        QCOMPARE(d->focusWidget(), d->sle_3);
        // Both code fields empty: only the customs hint.
        d->sle_1->clear();
        d->cb_2->click();
        QCOMPARE(f.recorder.texts().mid(8), (QStringList{kNeedCode, kHgError}));
        QCOMPARE(d->focusWidget(), d->sle_1);
    }

    void exactNameListsEveryRowOfThatNameAndSelectsTheLast()
    {
        Fixture f;
        QVERIFY(f.open());
        // Enter presses the find button.
        f.dialog->sle_2->setText(QStringLiteral("其他马"));
        QTest::keyClick(f.dialog->sle_2, Qt::Key_Return);
        QCOMPARE(f.entries(), (QStringList{f.hs(4), f.hs(5)}));
        const long last = f.handle(f.window->dw_1, 5);
        QCOMPARE(f.window->tv_1->selectedHandle(), last);
        // The branch of the last match is open.
        for (long h = f.window->tv_1->findItem(runtime::TreeNavigation::Parent, last); h > 0;
             h = f.window->tv_1->findItem(runtime::TreeNavigation::Parent, h))
            QVERIFY(f.window->tv_1->isItemExpanded(h));
        QCOMPARE(f.window->dw_1->currentRow(), 5L);
        QVERIFY(f.window->isPanelVisible(f.window->dw_1));
        QVERIFY(f.recorder.boxes().isEmpty());
        // A new search starts a new list.
        QCOMPARE(f.find(QStringLiteral("牛")), (QStringList{f.hs(6)}));
        QCOMPARE(f.find(QStringLiteral("其他")), QStringList());
        QCOMPARE(f.recorder.texts(), QStringList{kSorry});
        QCOMPARE(f.recorder.boxes().at(0).title, QStringLiteral(":-)查找提示"));
    }

    void matchingByParts_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("one term") << "马" << QList<int>{2, 4, 5, 7};
        QTest::newRow("both terms") << "马+其他" << QList<int>{4, 5};
        QTest::newRow("either order") << "其他+马" << QList<int>{4, 5};
        QTest::newRow("trailing plus") << "牛+" << QList<int>{6, 8, 9, 11};
        QTest::newRow("leading plus") << "+马" << QList<int>{};
        QTest::newRow("doubled plus") << "牛++" << QList<int>{};
        QTest::newRow("only plus") << "+" << QList<int>{};
        QTest::newRow("quote") << "'" << QList<int>{7};
        QTest::newRow("tilde") << "~其" << QList<int>{9};
        QTest::newRow("percent is a wildcard") << "5%_x" << QList<int>{8};
        QTest::newRow("underscore is one character") << "鲜_肉" << QList<int>{11};
        QTest::newRow("underscore alone") << "_" << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    }
    void matchingByParts()
    {
        QFETCH(QString, input);
        QFETCH(QList<int>, rows);
        Fixture f;
        QVERIFY(f.open());
        f.dialog->rb_7->click();
        QStringList expected;
        for (int row : rows)
            expected.append(f.hs(row));
        QCOMPARE(f.find(input), expected);
        QCOMPARE(f.recorder.texts(), rows.isEmpty() ? QStringList{kSorry} : QStringList());
    }

    void exactMatchTakesQuotesAndWildcardsAsTyped()
    {
        Fixture f;
        QVERIFY(f.open());
        QCOMPARE(f.find(QStringLiteral("O'Neil马")), QStringList{f.hs(7)});
        QCOMPARE(f.find(QStringLiteral("牛~其他")), QStringList{f.hs(9)});
        QCOMPARE(f.find(QStringLiteral("百分之5%牛_x")), QStringList{f.hs(8)});
        QCOMPARE(f.find(QStringLiteral("百分之5_牛%x")), QStringList());
        QCOMPARE(f.recorder.texts(), QStringList{kSorry});
    }

    void codesAreSearchedInTheirOwnField()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        d->rb_2->click();
        d->rb_5->click();
        d->sle_3->setText(QStringLiteral("0101"));
        d->cb_2->click();
        QCOMPARE(f.entries(), QStringList{f.jmw(2)});
        QCOMPARE(f.window->dw_2->currentRow(), 2L);
        d->rb_7->click();
        d->sle_3->setText(QStringLiteral("0+11"));
        d->cb_2->click();
        QCOMPARE(f.entries(), QStringList{f.jmw(3)});
        QVERIFY(f.recorder.boxes().isEmpty());
    }

    void bothTreesListCustomsFirstAndPickingGoesToTheEntrysOwnRow()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        d->rb_3->click();
        d->rb_7->click();
        QCOMPARE(f.find(QStringLiteral("其他")), (QStringList{f.hs(4), f.hs(5), f.hs(9), f.jmw(3)}));
        const long selected1 = f.window->tv_1->selectedHandle();
        const long selected2 = f.window->tv_2->selectedHandle();
        QCOMPARE(selected2, f.handle(f.window->dw_2, 3));

        // The second "其他马" goes to its own row, not to the first row of that name.
        d->lb_1->setCurrentRow(1);
        QCOMPARE(f.window->dw_1->currentRow(), 5L);
        d->lb_1->setCurrentRow(0);
        QCOMPARE(f.window->dw_1->currentRow(), 4L);
        // A foreign-trade entry goes to its row in the foreign-trade list.
        f.window->dw_2->scrollToRow(1);
        d->lb_1->setCurrentRow(3);
        QCOMPARE(f.window->dw_2->currentRow(), 3L);
        QCOMPARE(f.window->dw_1->currentRow(), 4L);
        // Picking moves no tree selection; without "显示明细" it hides the panel.
        d->cbx_1->click();
        d->lb_1->setCurrentRow(2);
        QCOMPARE(f.window->dw_1->currentRow(), 9L);
        QVERIFY(!f.window->isPanelVisible(f.window->dw_1));
        QCOMPARE(f.window->tv_1->selectedHandle(), selected1);
        QCOMPARE(f.window->tv_2->selectedHandle(), selected2);
        QVERIFY(f.recorder.boxes().isEmpty());

        // No match in either tree: one message for each.
        QCOMPARE(f.find(QStringLiteral("鱼")), QStringList());
        QCOMPARE(f.recorder.texts(), (QStringList{kSorry, kSorry}));
        // The customs matches keep the message from the foreign-trade search.
        QCOMPARE(f.find(QStringLiteral("驴")), QStringList{f.hs(2)});
        QCOMPARE(f.recorder.texts().size(), 2);
    }

    void showDetailDecidesThePanelOfEachMatch()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        d->cbx_1->click();
        f.window->showPanel(f.window->dw_1, true);
        QCOMPARE(f.find(QStringLiteral("牛")), QStringList{f.hs(6)});
        QVERIFY(!f.window->isPanelVisible(f.window->dw_1));
        d->cbx_1->click();
        QCOMPARE(f.find(QStringLiteral("牛")), QStringList{f.hs(6)});
        QVERIFY(f.window->isPanelVisible(f.window->dw_1));
        QVERIFY(!f.window->isPanelVisible(f.window->dw_2));
    }

    void steppingGoesFromTheCurrentRowAndListsEachItemOnce()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        d->cbx_2->click();
        d->rb_7->click();
        QCOMPARE(f.find(QStringLiteral("马")), QStringList{f.hs(2)});
        d->cb_1->click();
        d->cb_1->click();
        QCOMPARE(f.window->dw_1->currentRow(), 5L);
        d->cb_4->click();
        QCOMPARE(f.window->dw_1->currentRow(), 4L);
        QCOMPARE(f.window->tv_1->selectedHandle(), f.handle(f.window->dw_1, 4));
        QCOMPARE(f.entries(), (QStringList{f.hs(2), f.hs(4), f.hs(5)}));

        // The user's own selection in the tree is where the next step starts.
        f.window->tv_1->selectItem(f.handle(f.window->dw_1, 6));
        d->cb_1->click();
        QCOMPARE(f.window->dw_1->currentRow(), 7L);
        QCOMPARE(f.entries().last(), f.hs(7));
        // Past the last match and before the first one nothing more is listed.
        d->cb_1->click();
        QCOMPARE(f.window->dw_1->currentRow(), 7L);
        QCOMPARE(f.entries().size(), 4);
        QCOMPARE(f.find(QStringLiteral("活动")), QStringList{f.hs(1)});
        d->cb_4->click();
        QCOMPARE(f.entries(), QStringList{f.hs(1)});
        QCOMPARE(f.window->dw_1->currentRow(), 1L);
        QVERIFY(f.recorder.boxes().isEmpty());
        // Stepping without any match at all.
        QCOMPARE(f.find(QStringLiteral("鱼")), QStringList());
        d->cb_1->click();
        QCOMPARE(f.recorder.texts(), (QStringList{kSorry, kSorry}));
    }

    void rowWithoutTreeItemReusesTheItemReadBefore()
    {
        Fixture f;
        QVERIFY(f.open());
        runtime::DataView *dw = f.window->dw_1;
        const long item4 = f.handle(dw, 4);
        // The first match has no item: the entry is the bare prefix, and nothing is selected.
        dw->setItem(4, QStringLiteral("handle"), 0);
        const long before = f.window->tv_1->selectedHandle();
        f.dialog->cbx_2->click();
        QCOMPARE(f.find(QStringLiteral("其他马")), QStringList{C});
        QCOMPARE(f.window->tv_1->selectedHandle(), before);
        f.dialog->cbx_2->click();
        QCOMPARE(f.find(QStringLiteral("其他马")), (QStringList{C, f.hs(5)}));
        // A later match without an item repeats the item before it, which is listed already.
        dw->setItem(4, QStringLiteral("handle"), QVariant::fromValue<qint32>(qint32(item4)));
        dw->setItem(5, QStringLiteral("handle"), 0);
        QCOMPARE(f.find(QStringLiteral("其他马")), QStringList{f.hs(4)});
        // Stepping onto it reads no item at all: the bare prefix begins every customs entry,
        // so nothing is added, and the current row stays where it was.
        f.dialog->cbx_2->click();
        QCOMPARE(f.find(QStringLiteral("其他马")), QStringList{f.hs(4)});
        f.dialog->cb_1->click();
        QCOMPARE(f.entries(), QStringList{f.hs(4)});
        QCOMPARE(dw->currentRow(), 4L);
        QVERIFY(f.recorder.boxes().isEmpty());
    }

    void fieldsTakeOnlyWhatFitsTheirWidth()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        const QString pasted = QString(QStringLiteral("其他商品名称")).repeated(40).left(200);
        QGuiApplication::clipboard()->setText(pasted);
        d->sle_2->paste();
        const QString kept = d->sle_2->text();
        QVERIFY(!kept.isEmpty());
        QVERIFY(kept.size() < pasted.size());
        QVERIFY(pasted.startsWith(kept));
        QVERIFY(d->sle_2->fontMetrics().horizontalAdvance(kept) < d->sle_2->width());
        typeChar(d->sle_2, QStringLiteral("马"));
        QCOMPARE(d->sle_2->text(), kept);
        // Narrow code field: latin digits, far fewer than typed.
        d->rb_5->click();
        QTest::keyClicks(d->sle_1, QString(QLatin1Char('9')).repeated(60));
        QVERIFY(d->sle_1->text().size() > 5);
        QVERIFY(d->sle_1->text().size() < 60);
        QVERIFY(d->sle_1->fontMetrics().horizontalAdvance(d->sle_1->text()) < d->sle_1->width());
    }

    void helpShowsTextThree()
    {
        Fixture f;
        QVERIFY(f.open());
        for (int i = 1; i <= 7; ++i)
            gs_help[i] = QStringLiteral("帮助%1").arg(i);
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto *help = qobject_cast<w_help *>(QApplication::activeModalWidget());
            if (!help)
                return;
            shown = help->findChild<QPlainTextEdit *>()->toPlainText();
            help->close();
        });
        f.dialog->cb_5->click();
        QCOMPARE(shown.trimmed(), QStringLiteral("帮助3"));
    }

    void oneDialogThatCloseDestroys()
    {
        Fixture f;
        QVERIFY(f.open());
        QCOMPARE(w_findats::openFor(f.window.get()), f.dialog.data());
        QCOMPARE(w_findats::openInstance(), f.dialog.data());
        f.find(QStringLiteral("牛"));
        const long selected = f.window->tv_1->selectedHandle();
        f.tester.reset(); // it must not outlive the list it checks
        f.dialog->cb_3->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(f.dialog.isNull());
        QVERIFY(!w_findats::openInstance());
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.window->tv_1->selectedHandle(), selected);

        // A new dialog starts afresh; Esc closes it too.
        QPointer<w_findats> again = w_findats::openFor(f.window.get());
        QCOMPARE(again->lb_1->count(), 0);
        QVERIFY(again->cbx_2->isChecked());
        QTest::keyClick(again->sle_2, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(again.isNull());
    }

    // Listing all matches finds the rows first and checks "already listed" by an ordered
    // index; the entries must be those of the plain algorithm: one find after each match and
    // a scan of the whole list for an entry beginning with the new text.
    void listingAllEqualsTheRowByRowAlgorithm()
    {
        QRandomGenerator random(6);
        const QStringList words = {"其他", "马", "牛", "鲜", "冻", "肉", "+", "'", "~"};
        auto name = [&] {
            QString text;
            for (int i = int(random.bounded(1, 4)); i > 0; --i)
                text += words.at(int(random.bounded(words.size())));
            return text.replace(QLatin1Char('\''), QStringLiteral("''"));
        };
        QString sql = QStringLiteral("INSERT INTO list_hscode(code, name, flag) VALUES ('01', '其他', 'Y'), "
                                     "('02', '马', 'Y'), ('03', '牛', 'N')");
        QString jmw = QStringLiteral("INSERT INTO list_jmwcode(jmw_code, name, flag) VALUES ('01', '其他', 'Y')");
        for (int i = 0; i < 300; ++i) {
            sql += QStringLiteral(", ('0%1%2', '%3', NULL)").arg(1 + i % 3).arg(i, 4, 10, QLatin1Char('0')).arg(name());
            if (i % 2)
                jmw += QStringLiteral(", ('01%1', '%2', NULL)").arg(i, 4, 10, QLatin1Char('0')).arg(name());
        }
        Fixture f;
        QVERIFY(f.open(sql + QLatin1Char(';') + jmw + QLatin1Char(';')));
        w_kiv &w = *f.window;
        // Rows without a tree item, among them the first rows of each list.
        for (runtime::DataView *view : {w.dw_1, w.dw_2})
            for (long row = 1; row <= view->rowCount(); ++row)
                if (row <= 2 || random.bounded(6) == 0)
                    view->setItem(row, QStringLiteral("handle"), 0);

        f.dialog->rb_3->click();
        f.dialog->rb_7->click();
        for (const QString &input : {QStringLiteral("其他"), QStringLiteral("马+牛"), QStringLiteral("+"),
                                     QStringLiteral("'"), QStringLiteral("_")}) {
            QStringList expected;
            const QString where = kiv::FindExpressionBuilder::nameSearch(input, QStringLiteral("M"));
            for (auto [view, tree, prefix] : {std::tuple{w.dw_1, w.tv_1, C}, std::tuple{w.dw_2, w.tv_2, F}}) {
                runtime::TreeItem item;
                const long end = view->rowCount();
                for (long r = view->find(where, 1, end); r >= 1; r = r + 1 <= end ? view->find(where, r + 1, end) : 0) {
                    tree->getItem(f.handle(view, r), item);
                    const QString value = prefix + item.label;
                    if (std::none_of(expected.cbegin(), expected.cend(),
                                     [&](const QString &e) { return e.startsWith(value); }))
                        expected.append(value);
                }
            }
            QVERIFY2(expected.size() > 2, qPrintable(input));
            QCOMPARE(f.find(input), expected);
        }
    }
};

KIV_TEST_MAIN(tst_w_findats)
#include "tst_w_findats.moc"
