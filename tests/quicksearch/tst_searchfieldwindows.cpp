#include "ui/quicksearch/QuickSearchController.h"

#include "core/quicksearch/ResultModel.h"
#include "support/HorseRows.h"
#include "support/RunningProgram.h"
#include "support/TestMain.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/quicksearch/QuickSearchField.h"
#include "ui/quicksearch/QuickSearchPopup.h"
#include "ui/sheet/w_sheet.h"
#include "ui/tree/u_tv.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

// The search field among the program's windows: its result list over the sheet, and the field
// in the accessible tree below the menu bar (its focus event and results are heard through
// AT-SPI in tests/accessibility).
namespace {
const char *kRows = kHorseRows;

struct Program : RunningProgram {
    QuickSearchController *search = nullptr;
    w_sheet *sheet = nullptr;
    bool startWithSheet()
    {
        if (!makeDatabase(QString::fromUtf8(kRows)) || !start())
            return false;
        search = QuickSearchController::of(window.get());
        if (!search || !QTest::qWaitFor([this] { return search->isIndexReady(); }))
            return false;
        window->tv_1->selectItem(handleOf(QStringLiteral("0101210090")));
        QTest::keyClick(window->tv_1, Qt::Key_F6);
        sheet = w_sheet::openInstance();
        return sheet && QTest::qWaitFor([this] { return sheet->isVisible(); });
    }
    // Into the sheet's note with F6, then Ctrl+F there and a word typed.
    bool searchFromTheSheet(const QString &text)
    {
        QTest::keyClick(window->tv_1, Qt::Key_F6);
        if (!QTest::qWaitFor([this] { return QApplication::focusWidget() == sheet->mle_note; }))
            return false;
        QTest::keyClick(sheet->mle_note, Qt::Key_F, Qt::ControlModifier);
        if (!QTest::qWaitFor([this] { return QApplication::focusWidget() == search->field; }))
            return false;
        QTest::keyClicks(search->field, text);
        return QTest::qWaitFor([this] { return search->popup->isVisible(); });
    }
};
} // namespace

class tst_SearchFieldWindows : public QObject
{
    Q_OBJECT
private slots:
    void theResultListStandsOverTheSheet()
    {
        Program p;
        QVERIFY(p.startWithSheet());
        QVERIFY(p.searchFromTheSheet(QStringLiteral("horse")));
        QuickSearchPopup *popup = p.search->popup;
        // A window of its own that never takes the keyboard from the field.
        QVERIFY(popup->isWindow());
        QCOMPARE(popup->windowType(), Qt::ToolTip);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(p.search->field));
        QVERIFY(p.window->isActiveWindow());
        // Under the field, at the main window's right edge, where the sheet stands too.
        const QRect field(p.search->field->mapToGlobal(QPoint(0, 0)), p.search->field->size());
        QVERIFY(popup->geometry().top() >= field.bottom());
        QVERIFY(popup->geometry().right() <= field.right() + 1);
        QRect overlap = popup->geometry().intersected(p.sheet->frameGeometry());
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            // The X server's own stacking: what stands at a point both cover is the list.
            if (overlap.isEmpty()) { // a window manager may have placed the sheet elsewhere
                p.sheet->move(popup->geometry().center() - QPoint(20, 20));
                QTRY_VERIFY(!popup->geometry().intersected(p.sheet->frameGeometry()).isEmpty());
                overlap = popup->geometry().intersected(p.sheet->frameGeometry());
            }
            QTRY_COMPARE(QApplication::topLevelAt(overlap.center()), static_cast<QWidget *>(popup));
        }
        // Choosing a result with the mouse goes to its code; the list goes away.
        const QModelIndex first = popup->lv_results->model()->index(0, 0);
        const QString code = first.data(quicksearch::ResultModel::CodeRole).toString();
        QTest::mouseClick(popup->lv_results->viewport(), Qt::LeftButton, {},
                          popup->lv_results->visualRect(first).center());
        QTRY_VERIFY(!popup->isVisible());
        QTRY_COMPARE(p.sheet->content()->code, code);
    }

    void theFieldIsAChildOfTheMenuBarInTheAccessibleTree()
    {
        Program p;
        QVERIFY(p.startWithSheet());
        QMenuBar *bar = p.window->menuBar();
        QAccessibleInterface *barAccessible = QAccessible::queryAccessibleInterface(bar);
        QVERIFY(barAccessible);
        QCOMPARE(barAccessible->role(), QAccessible::MenuBar);
        QStringList names;
        int fieldIndex = -1;
        for (int i = 0; i < barAccessible->childCount(); ++i) {
            QAccessibleInterface *child = barAccessible->child(i);
            QVERIFY(child);
            names << child->text(QAccessible::Name);
            if (child->object() == p.search->field)
                fieldIndex = i;
            QCOMPARE(barAccessible->indexOfChild(child), i);
            QCOMPARE(child->parent()->object(), bar);
        }
        QCOMPARE(names, (QStringList{"文件[F]", "工具[T]", "帮助[H]", "搜索"}));
        QCOMPARE(fieldIndex, 3);
        QAccessibleInterface *field = barAccessible->child(fieldIndex);
        QCOMPARE(field->role(), QAccessible::EditableText);
        // From the window down to the field, as a screen reader walks.
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(p.window.get());
        QVERIFY(window->indexOfChild(barAccessible) >= 0);
        // A drop-down item opens its menu through its action.
        QAccessibleInterface *tools = barAccessible->child(1);
        QCOMPARE(tools->role(), QAccessible::MenuItem);
        QCOMPARE(tools->childCount(), 1);
        QCOMPARE(tools->child(0)->role(), QAccessible::PopupMenu);
        QAccessibleActionInterface *actions = tools->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
        actions->doAction(QAccessibleActionInterface::showMenuAction());
        QTRY_VERIFY(QApplication::activePopupWidget());
        QCOMPARE(QApplication::activePopupWidget()->objectName(), QStringLiteral("m_tools"));
        QTRY_VERIFY(tools->state().focused);
        QApplication::activePopupWidget()->close();
    }
};

KIV_TEST_MAIN(tst_SearchFieldWindows)
#include "tst_searchfieldwindows.moc"
