#include "ui/sheet/w_sheet.h"

#include "core/runtime/TreeModel.h"
#include "core/session/globals.h"
#include "support/HorseRows.h"
#include "support/RunningProgram.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/quicksearch/QuickSearchController.h"
#include "ui/quicksearch/QuickSearchField.h"
#include "ui/tree/u_tv.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QtTest>

// The keyboard between the main window and the declarant's sheet, and the note that is never
// saved or dropped without the user's word. Run offscreen and under Xvfb (xcb).
namespace {
const char *kRows = kHorseRows;

const QString kQuestion = QStringLiteral("备注已修改，是否保存？");

struct Program : RunningProgram {
    w_sheet *sheet = nullptr;

    // The program with the sheet open on a line, the keyboard in the tree.
    bool startWithSheet()
    {
        if (!makeDatabase(QString::fromUtf8(kRows)) || !start())
            return false;
        window->tv_1->selectItem(handleOf(QStringLiteral("0101210010")));
        press(Qt::Key_F6);
        sheet = w_sheet::openInstance();
        return sheet && QTest::qWaitFor([this] { return sheet->isVisible(); })
            && QApplication::focusWidget() == window->tv_1;
    }
    // A key as the user presses it: to whatever has the keyboard.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        QTest::keyClick(target, key, modifiers);
    }
    static void type(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    // F6 takes the keyboard into the note; the user types a line.
    bool writeNote(const QString &text)
    {
        press(Qt::Key_F6);
        const bool there = QTest::qWaitFor([this] { return QApplication::focusWidget() == sheet->mle_note; });
        type(text);
        return there && sheet->mle_note->toPlainText() == text;
    }
    QString selectedCode() const
    {
        runtime::TreeItem item;
        window->tv_1->getItem(window->tv_1->findItem(runtime::TreeNavigation::Current, 0), item);
        return item.data.toString();
    }
    QStringList storedNotes() const { return TestDatabase::column(file, QStringLiteral("SELECT note FROM user_note")); }
    // Stops a command from running (a modal dialog would wait for a user); counts its key.
    QAction *cutOff(const QString &name)
    {
        QAction *action = window->findChild<QAction *>(name);
        if (action)
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        return action;
    }
};
} // namespace

class tst_SheetKeys : public QObject
{
    Q_OBJECT
private slots:
    // The trap: Ctrl+F pressed while writing a note, then typing, then walking on in the tree.
    void ctrlFInTheNoteTypesIntoTheSearchAndWalkingOnAsks_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("selected"); // the tree's item after the answer
        QTest::addColumn<QString>("editor");
        QTest::newRow("是: saved") << 1 << QStringList{"horses"} << "0101210090" << "";
        QTest::newRow("否: dropped") << 2 << QStringList{} << "0101210090" << "";
        QTest::newRow("取消: stays on the note") << 3 << QStringList{} << "0101210010" << "horses";
    }
    void ctrlFInTheNoteTypesIntoTheSearchAndWalkingOnAsks()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, stored);
        QFETCH(QString, selected);
        QFETCH(QString, editor);
        Program p;
        QVERIFY(p.startWithSheet());
        QVERIFY(p.writeNote(QStringLiteral("horses")));
        auto *search = QuickSearchController::of(p.window.get());
        Program::press(Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(p.window->isActiveWindow());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(search->field));
        Program::type(QStringLiteral("horse"));
        QCOMPARE(search->field->text(), QStringLiteral("horse"));
        QCOMPARE(p.sheet->mle_note->toPlainText(), QStringLiteral("horses")); // nothing typed into the note
        QVERIFY(p.recorder.boxes().isEmpty());
        QVERIFY(p.storedNotes().isEmpty()); // nothing saved without a word

        p.window->tv_1->setFocus();
        p.recorder.answer(answer);
        Program::press(Qt::Key_Down);
        QTRY_COMPARE(p.recorder.boxes().size(), 1);
        QCOMPARE(p.recorder.boxes().first().text, kQuestion);
        QTRY_COMPARE(p.selectedCode(), selected);
        QTRY_COMPARE(p.sheet->content()->code, selected);
        QCOMPARE(p.storedNotes(), stored);
        QCOMPARE(p.sheet->mle_note->toPlainText(), editor);
        if (answer == 3)
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(p.sheet->mle_note));
        QTest::qWait(100);
        QCOMPARE(p.recorder.boxes().size(), 1); // asked once
        p.sheet->mle_note->clear();
    }

    void mainWindowKeysInTheSheetRunTheMainWindowsCommands_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("command");
        QTest::newRow("F2") << int(Qt::Key_F2) << 0 << "m_option";
        QTest::newRow("F3") << int(Qt::Key_F3) << 0 << "m_output";
        QTest::newRow("F4") << int(Qt::Key_F4) << 0 << "m_gen";
        QTest::newRow("F5") << int(Qt::Key_F5) << 0 << "m_refresh";
        QTest::newRow("F7") << int(Qt::Key_F7) << 0 << "m_1";
        QTest::newRow("F8") << int(Qt::Key_F8) << 0 << "m_about";
        QTest::newRow("Ctrl+S") << int(Qt::Key_S) << int(Qt::ControlModifier) << "m_export";
        QTest::newRow("Ctrl+P") << int(Qt::Key_P) << int(Qt::ControlModifier) << "m_print";
        QTest::newRow("F1") << int(Qt::Key_F1) << 0 << "m_helptopic";
    }
    void mainWindowKeysInTheSheetRunTheMainWindowsCommands()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, command);
        Program p;
        QVERIFY(p.startWithSheet());
        QAction *action = p.cutOff(command);
        QVERIFY(action);
        QSignalSpy triggered(action, &QAction::triggered);
        QVERIFY(p.writeNote(QStringLiteral("x")));
        Program::press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_COMPARE(triggered.size(), 1);
        QTest::qWait(50);
        QCOMPARE(triggered.size(), 1); // once, not again by a shortcut of its own
        QCOMPARE(p.sheet->mle_note->toPlainText(), QStringLiteral("x"));
        p.sheet->mle_note->clear();
    }

    // Closing the sheet or quitting with a changed note asks first; quitting asks it before
    // the exit question, which stays as it is (answered 否 here: the program stays).
    void leavingAChangedNoteAsksFirst_data()
    {
        QTest::addColumn<bool>("quit");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<bool>("sheetShown");
        const QString exit = QStringLiteral("是否真的退出 [Kivtree] 吗?");
        const QStringList kept{"horses"};
        QTest::newRow("close, 是") << false << QList<int>{1} << QStringList{kQuestion} << kept << false;
        QTest::newRow("close, 否") << false << QList<int>{2} << QStringList{kQuestion} << QStringList{} << false;
        QTest::newRow("close, 取消") << false << QList<int>{3} << QStringList{kQuestion} << QStringList{} << true;
        QTest::newRow("quit, 是") << true << QList<int>{1, 2} << QStringList{kQuestion, exit} << kept << true;
        QTest::newRow("quit, 否") << true << QList<int>{2, 2} << QStringList{kQuestion, exit} << QStringList{} << true;
        QTest::newRow("quit, 取消: no exit question") << true << QList<int>{3} << QStringList{kQuestion}
                                                     << QStringList{} << true;
    }
    void leavingAChangedNoteAsksFirst()
    {
        QFETCH(bool, quit);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, asked);
        QFETCH(QStringList, stored);
        QFETCH(bool, sheetShown);
        Program p;
        QVERIFY(p.startWithSheet());
        QVERIFY(p.writeNote(QStringLiteral("horses")));
        for (int answer : answers)
            p.recorder.answer(answer);
        if (quit)
            p.window->findChild<QAction *>(QStringLiteral("m_exit"))->trigger();
        else
            p.sheet->close(); // its close box
        QCOMPARE(p.recorder.texts(), asked);
        QVERIFY(p.window->isVisible());
        QCOMPARE(p.sheet->isVisible(), sheetShown);
        QCOMPARE(p.storedNotes(), stored);
        QCOMPARE(p.selectedCode(), QStringLiteral("0101210010"));
        p.sheet->mle_note->clear();
    }

    void escAndF6MoveTheKeyboardBetweenTreeAndNote()
    {
        Program p;
        QVERIFY(p.startWithSheet());
        Program::press(Qt::Key_F6); // the sheet is shown: into its note
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(p.sheet->mle_note));
        QTRY_VERIFY(p.sheet->isActiveWindow());
        Program::press(Qt::Key_Escape); // back to the tree, the sheet stays
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(p.window->tv_1));
        QVERIFY(p.window->isActiveWindow());
        QVERIFY(p.sheet->isVisible());
        Program::press(Qt::Key_F6);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(p.sheet->mle_note));
        QTest::keyClick(p.sheet->sle_keywords, Qt::Key_Tab); // F6 from any control of the sheet
        Program::press(Qt::Key_F6);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(p.window->tv_1));
        QVERIFY(p.sheet->isVisible());
        QCOMPARE(p.selectedCode(), QStringLiteral("0101210010"));
        QVERIFY(p.recorder.boxes().isEmpty());
    }

    void f1OpensTheHelpOfTheWindowInFront_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("topic");
        QTest::newRow("main window") << "w_kiv" << "第一篇";
        QTest::newRow("sheet") << "w_sheet" << "第五篇";
        QTest::newRow("find dialog") << "w_findats" << "第三篇";
        QTest::newRow("options dialog") << "w_sys_option" << "第四篇";
    }
    void f1OpensTheHelpOfTheWindowInFront()
    {
        QFETCH(QString, where);
        QFETCH(QString, topic);
        Program p;
        QVERIFY(p.startWithSheet());
        const auto saved = gs_help;
        gs_help = {QString(), QStringLiteral("第一篇"), QStringLiteral("第二篇"), QStringLiteral("第三篇"),
                   QStringLiteral("第四篇"), QStringLiteral("第五篇"), QStringLiteral("第六篇"), QStringLiteral("第七篇")};
        if (where == QLatin1String("w_sheet")) {
            Program::press(Qt::Key_F6);
            QTRY_VERIFY(p.sheet->isActiveWindow());
        } else if (where != QLatin1String("w_kiv")) {
            Program::press(where == QLatin1String("w_findats") ? Qt::Key_F3 : Qt::Key_F2);
            QWidget *dialog = nullptr;
            QTRY_VERIFY((dialog = p.window->findChild<QWidget *>(where)) && dialog->isVisible());
            dialog->activateWindow(); // a window manager gives a new dialog the keyboard; a bare X server does not
            QTRY_VERIFY(dialog->isActiveWindow());
        }
        QString shown;
        QString helpParent;
        QTimer::singleShot(300, [&] {
            QWidget *help = QApplication::activeModalWidget();
            if (help && help->objectName() == QLatin1String("w_help")) {
                shown = help->findChild<QPlainTextEdit *>(QStringLiteral("mle_1"))->toPlainText();
                helpParent = help->parentWidget() ? help->parentWidget()->objectName() : QString();
                help->close();
            }
        });
        Program::press(Qt::Key_F1);
        QTRY_COMPARE(shown, topic);
        QCOMPARE(helpParent, where);
        // The key's item ends the 工具 drop-down, after a separator.
        const QList<QAction *> tools = p.window->findChild<QMenu *>(QStringLiteral("m_tools"))->actions();
        QCOMPARE(tools.last()->text(), QStringLiteral("使用帮助[&H]\tF1"));
        QVERIFY(tools.at(tools.size() - 2)->isSeparator());
        gs_help = saved;
    }
};

KIV_TEST_MAIN(tst_SheetKeys)
#include "tst_sheetkeys.moc"
