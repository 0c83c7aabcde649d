#include "app/LibraryFeature.h"
#include "support/RunningProgram.h"
#include "support/TestMain.h"
#include "ui/library/w_library.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/sheet/w_sheet.h"
#include "ui/tree/u_tv.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QtTest>

// Ctrl+L opens the library wherever the user is in the program: in a tree, in the sheet's note
// (another window), in an open drop-down of the main window. Run offscreen and under Xvfb (xcb).
namespace {
const char *kRows =
    "INSERT INTO list_hscode(code, name, flag) VALUES ('84', '机器', 'Y'), ('8471300000', '便携式电脑', NULL);"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, flag) VALUES ('84', 'N', '机器', 'Y');";
} // namespace

class tst_LibraryKeys : public QObject
{
    Q_OBJECT
private slots:
    void theItemStandsInTheToolsDropDownAfterPrint()
    {
        RunningProgram p;
        QVERIFY(p.makeDatabase(QString::fromUtf8(kRows)) && p.start());
        LibraryFeature::install(p.window.get());
        auto *tools = p.window->findChild<QMenu *>(QStringLiteral("m_tools"));
        QVERIFY(tools);
        const QList<QAction *> items = tools->actions();
        const qsizetype at = items.indexOf(p.window->findChild<QAction *>(QStringLiteral("m_library")));
        QVERIFY(at > 0);
        QCOMPARE(items.at(at - 1)->objectName(), QStringLiteral("m_print"));
        QCOMPARE(items.at(at)->text(), QStringLiteral("商品归类库[&L]...\tCtrl+L"));
    }

    void ctrlLOpensTheLibraryFromAnyWindow_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("the tree") << "tree";
        QTest::newRow("the sheet's note") << "sheet";
        QTest::newRow("an open drop-down") << "menu";
    }
    void ctrlLOpensTheLibraryFromAnyWindow()
    {
        QFETCH(QString, where);
        RunningProgram p;
        QVERIFY(p.makeDatabase(QString::fromUtf8(kRows)) && p.start());
        LibraryFeature::install(p.window.get());
        if (where == QLatin1String("sheet")) {
            p.window->tv_1->selectItem(p.handleOf(QStringLiteral("8471300000")));
            QTest::keyClick(p.window->tv_1, Qt::Key_F6);
            QTRY_VERIFY(w_sheet::openInstance() && w_sheet::openInstance()->isVisible());
            QTest::keyClick(p.window->tv_1, Qt::Key_F6); // the keyboard into the note
            QTRY_COMPARE(QApplication::focusWidget(), w_sheet::openInstance()->mle_note);
        } else if (where == QLatin1String("menu")) {
            QTest::keyClick(p.window->tv_1, Qt::Key_T, Qt::AltModifier);
            QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        }
        QWidget *target = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                            : QApplication::focusWidget();
        QVERIFY(target);
        QTest::keyClick(target, Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(ui::w_library::openInstance() && ui::w_library::openInstance()->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), ui::w_library::openInstance());
        QVERIFY(!QApplication::activePopupWidget());
        if (where == QLatin1String("sheet"))
            QCOMPARE(w_sheet::openInstance()->mle_note->toPlainText(), QString()); // no "l" typed into the note
        // Pressed again it brings the same window up, not a second one.
        ui::w_library *first = ui::w_library::openInstance();
        p.window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), p.window.get());
        QTest::keyClick(p.window->tv_1, Qt::Key_L, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::activeWindow(), first);
        QCOMPARE(p.window->findChildren<ui::w_library *>().size(), 1);
    }
};

KIV_TEST_MAIN(tst_LibraryKeys)
#include "tst_librarykeys.moc"
