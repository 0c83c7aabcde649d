#include "ui/sheet/w_sheet.h"

#include "ui/sheet/RecordPanel.h"

#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/runtime/TreeModel.h"
#include "core/session/globals.h"
#include "support/RunningProgram.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/tree/u_tv.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>

#include <memory>

namespace {
// What a screen reader finds below a widget: the names of all accessible descendants.
QStringList accessibleNames(QWidget *widget)
{
    QStringList names;
    QList<QAccessibleInterface *> open{QAccessible::queryAccessibleInterface(widget)};
    while (!open.isEmpty()) {
        QAccessibleInterface *node = open.takeLast();
        if (!node)
            continue;
        names << node->text(QAccessible::Name);
        for (int i = 0; i < node->childCount(); ++i)
            open << node->child(i);
    }
    return names;
}

const char *kRows =
    "INSERT INTO list_hscode(code, name, unit, zssl_set, sz, tsl_ym, splb, note, op_user, op_date, flag) VALUES"
    " ('01', '活动物', NULL, NULL, NULL, NULL, NULL, NULL, 'CN2026', '20260818', 'Y'),"
    " ('0101', 'Horses', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
    " ('010121', 'Pure-bred', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
    " ('0101210010', '改良种用濒危野马', '千克', '9%', '0%', '0%', 'P/Q', '头', 'CN2026', '20260818', NULL),"
    " ('0101210090', '改良种用马', '千克', '9%', '0%', '9%', 'P/Q', '头', 'CN2026', '20260818', NULL);"
    "INSERT INTO tariff_line VALUES"
    " ('0101210010', NULL, '0%', NULL, NULL, 'AFEB', '1:品牌类型;2:出口享惠情况;3:是否改良种用;4:品种;5:GTIN;6:CAS;7:其他'),"
    " ('0101210090', NULL, '0%', NULL, NULL, 'AZ', '1:品牌类型;2:品种');"
    "INSERT INTO supervision_certificate VALUES ('A', '检验检疫'), ('B', '电子底账'), ('E', '濒危物种允许出口证明书'),"
    " ('F', '濒危物种允许进口证明书');"
    "INSERT INTO inspection_category VALUES ('P', '进境动植物、动植物产品检疫'), ('Q', '出境动植物、动植物产品检疫');"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, unit, flag) VALUES ('01', 'N', '活动物', NULL, 'Y');";

struct Program : RunningProgram {
    bool makeDatabase() { return RunningProgram::makeDatabase(QString::fromUtf8(kRows)); }
    // Selects an item with the keyboard's help: the user walks there with the arrows.
    void select(const QString &code) { window->tv_1->selectItem(handleOf(code)); }
    w_sheet *openSheet()
    {
        QTest::keyClick(window->tv_1, Qt::Key_F6);
        return QTest::qWaitFor([] { return w_sheet::openInstance() && w_sheet::openInstance()->isVisible(); })
            ? w_sheet::openInstance()
            : nullptr;
    }
    // The program on the test rows with the sheet open on a code; nullptr when any step fails.
    w_sheet *startWithSheetOn(const QString &code)
    {
        if (!makeDatabase() || !start())
            return nullptr;
        select(code);
        return openSheet();
    }
};
} // namespace

class tst_w_sheet : public QObject
{
    Q_OBJECT
private slots:
    void sheetShowsTheWholeRecordAndFollowsTheArrowKeys()
    {
        Program p;
        w_sheet *sheet = p.startWithSheetOn(QStringLiteral("0101210010"));
        QVERIFY(sheet);
        QCOMPARE(QApplication::focusWidget(), p.window->tv_1); // the tree keeps the keyboard
        const QString shown = sheet->rp_record->shownText();
        for (const char *text : {"检验检疫", "电子底账", "濒危物种允许出口证明书", "进境动植物、动植物产品检疫",
                                 "出境动植物、动植物产品检疫", "GTIN", "第二法定单位", "头"})
            QVERIFY2(shown.contains(QString::fromUtf8(text)), text);
        QCOMPARE(sheet->content()->elements.size(), 7);
        QVERIFY(sheet->st_title->text().startsWith(QStringLiteral("0101210010")));

        QTest::keyClick(p.window->tv_1, Qt::Key_Down); // the next line
        QCOMPARE(QApplication::focusWidget(), p.window->tv_1);
        QTRY_COMPARE(sheet->content()->code, QStringLiteral("0101210090"));
        QVERIFY(sheet->rp_record->shownText().contains(QStringLiteral("(未知)"))); // supervision letter Z
        // Nothing of the line before stays on the sheet (its rebate was 0%, this one's is 9%).
        QVERIFY(!sheet->rp_record->shownText().contains(QStringLiteral("濒危物种允许出口证明书")));
        QVERIFY(accessibleNames(sheet->rp_record).contains(QStringLiteral("出口退税率 9%")));

        // While an edition is written through the connection, the sheet reads nothing and
        // follows once the connection is back.
        sqlca->lend();
        p.select(QStringLiteral("010121"));
        QTest::qWait(300);
        QCOMPARE(sheet->content()->code, QStringLiteral("0101210090"));
        sqlca->giveBack();
        QTRY_VERIFY(sheet->rp_record->shownText().contains(QStringLiteral("编码路径")));
        QCOMPARE(sheet->content()->groups.at(1).rows.size(), 2); // 01 and 0101 above it
        QVERIFY(!sheet->cb_copytemplate->isEnabled());
        sheet->close();
    }

    void aHeldArrowKeyEndsWithTheSheetOnTheLineWhereTheWalkRests()
    {
        Program p;
        QVERIFY(p.makeDatabase());
        QVERIFY(p.start());
        p.select(QStringLiteral("0101210010")); // opens the way down to the lines
        p.select(QStringLiteral("0101"));
        w_sheet *sheet = p.openSheet();
        QVERIFY(sheet);
        QCOMPARE(sheet->content()->code, QStringLiteral("0101"));
        // Presses in quick succession, as the keyboard repeats a held key.
        for (int i = 0; i < 3; ++i)
            QTest::sendKeyEvent(QTest::KeyAction::Press, p.window->tv_1, Qt::Key_Down, QString(), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::KeyAction::Release, p.window->tv_1, Qt::Key_Down, QString(), Qt::NoModifier);
        QTRY_COMPARE(sheet->content()->code, QStringLiteral("0101210090"));
        QVERIFY(sheet->st_title->text().startsWith(QStringLiteral("0101210090")));
        sheet->close();
    }

    void copyingPutsTheRightTextsOnTheClipboard()
    {
        Program p;
        QVERIFY(p.makeDatabase());
        QVERIFY(p.start());
        p.select(QStringLiteral("0101210010"));
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        QTest::keyClick(p.window->tv_1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QStringLiteral("0101210010"));

        // The keyboard's context menu of the item.
        QTest::keyClick(p.window->tv_1, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        menu->findChild<QAction *>(QStringLiteral("copyTemplate"))->trigger();
        QCOMPARE(clipboard->text(), QStringLiteral("品牌类型|出口享惠情况|是否改良种用|品种|GTIN|CAS|其他"));
        menu->close();

        w_sheet *sheet = p.openSheet();
        QVERIFY(sheet);
        QTest::mouseClick(sheet->cb_copyname, Qt::LeftButton);
        QCOMPARE(clipboard->text(), QStringLiteral("0101210010 改良种用濒危野马"));
        QTest::mouseClick(sheet->cb_copyall, Qt::LeftButton);
        QVERIFY(clipboard->text().contains(QStringLiteral("监管条件")));
        QVERIFY(clipboard->text().contains(QStringLiteral("7: 其他")));
        sheet->close();
    }

    void aNoteIsKeptExactlyMarkedInTheTreeAndSurvivesARestart()
    {
        Program p;
        w_sheet *sheet = p.startWithSheetOn(QStringLiteral("0101210010"));
        QVERIFY(sheet);
        const QString note = QStringLiteral("客户\"甲\"的'马'\n第二行 🐎");
        QTest::mouseClick(sheet->mle_note->viewport(), Qt::LeftButton);
        sheet->mle_note->insertPlainText(note);
        QTest::keyClicks(sheet->sle_keywords, QStringLiteral("horse, breeding"));
        QTest::mouseClick(sheet->cb_savenote, Qt::LeftButton);
        QVERIFY(p.recorder.boxes().isEmpty());
        const long handle = p.handleOf(QStringLiteral("0101210010"));
        QTRY_VERIFY(p.window->tv_1->treeModel()->isMarked(handle));
        const QModelIndex index = p.window->tv_1->treeModel()->index(handle);
        QCOMPARE(index.data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("有备注"));
        QCOMPARE(index.data(Qt::DisplayRole).toString(), QStringLiteral("[0101210010]改良种用濒危野马"));
        sheet->close();

        p.stop();
        QVERIFY(p.start());
        p.select(QStringLiteral("0101210010"));
        sheet = p.openSheet();
        QVERIFY(sheet);
        QCOMPARE(sheet->mle_note->toPlainText(), note);
        QCOMPARE(sheet->sle_keywords->text(), QStringLiteral("horse, breeding"));
        QVERIFY(p.window->tv_1->treeModel()->isMarked(p.handleOf(QStringLiteral("0101210010"))));
        sheet->close();
    }

    // A colleague wrote a note on the code while the user typed theirs: saving shows both and
    // the user's answer decides which stays (yes: mine, no: theirs, cancel: go on editing).
    void aColleaguesNoteIsShownBeforeItIsOverwritten_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("stored");
        QTest::newRow("keep mine") << 1 << QStringLiteral("张的备注") << QStringLiteral("张的备注");
        QTest::newRow("take theirs") << 2 << QStringLiteral("李的备注") << QStringLiteral("李的备注");
        QTest::newRow("go on editing") << 3 << QStringLiteral("张的备注") << QStringLiteral("李的备注");
    }
    void aColleaguesNoteIsShownBeforeItIsOverwritten()
    {
        QFETCH(int, answer);
        QFETCH(QString, editor);
        QFETCH(QString, stored);
        Program p;
        w_sheet *sheet = p.startWithSheetOn(QStringLiteral("0101210010"));
        QVERIFY(sheet);
        QTest::mouseClick(sheet->mle_note->viewport(), Qt::LeftButton);
        sheet->mle_note->insertPlainText(QStringLiteral("张的备注"));
        QVERIFY(TestDatabase::exec(p.file, QStringLiteral(
            "INSERT INTO user_note VALUES ('hs', '0101210010', '李的备注', '', '2026-12-09T10:00:00+08:00', 'li', 1)")));
        p.recorder.answer(answer);
        QTest::mouseClick(sheet->cb_savenote, Qt::LeftButton);
        QCOMPARE(p.recorder.boxes().size(), 1);
        const QString shown = p.recorder.boxes().first().text;
        QVERIFY2(shown.contains(QStringLiteral("李的备注")) && shown.contains(QStringLiteral("张的备注"))
                     && shown.contains(QStringLiteral("li")),
                 qPrintable(shown));
        QCOMPARE(sheet->mle_note->toPlainText(), editor);
        QCOMPARE(TestDatabase::column(p.file, QStringLiteral("SELECT note FROM user_note")), QStringList{stored});
        if (answer != 3) // settled: walking on asks nothing more
            QTRY_VERIFY(p.window->tv_1->treeModel()->isMarked(p.handleOf(QStringLiteral("0101210010"))));
        sheet->mle_note->clear();
        sheet->close();
    }

    void aRefusedNoteKeepsTheTypedText_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("too long") << "long";
        QTest::newRow("read-only database") << "readonly";
    }

    void aRefusedNoteKeepsTheTypedText()
    {
        QFETCH(QString, fault);
        Program p;
        w_sheet *sheet = p.startWithSheetOn(QStringLiteral("0101210010"));
        QVERIFY(sheet);
        const QString note = fault == QLatin1String("long") ? QString(2001, QLatin1Char('x')) : QStringLiteral("备注");
        if (fault == QLatin1String("readonly"))
            QCOMPARE(sqlca->execute(QStringLiteral("PRAGMA query_only = 1")), 0);
        sheet->mle_note->setPlainText(note);
        QTest::mouseClick(sheet->cb_savenote, Qt::LeftButton);
        QCOMPARE(p.recorder.boxes().size(), 1);
        if (fault == QLatin1String("readonly"))
            QCOMPARE(p.recorder.boxes().first().text, QStringLiteral("Hello User,The Operate is  invalidation!!"));
        else
            QVERIFY(p.recorder.boxes().first().text.contains(QStringLiteral("2000")));
        QCOMPARE(sheet->mle_note->toPlainText(), note);
        // Walking on with the typed text unsaved asks first; saving (the default answer) is
        // refused again, so the sheet stays on its code and the tree goes back to its item.
        QTest::keyClick(p.window->tv_1, Qt::Key_Down);
        QTRY_COMPARE(p.recorder.boxes().size(), 3);
        QCOMPARE(p.recorder.boxes().at(1).text, QStringLiteral("备注已修改，是否保存？"));
        QCOMPARE(sheet->content()->code, QStringLiteral("0101210010"));
        QTRY_COMPARE(p.window->tv_1->findItem(runtime::TreeNavigation::Current, 0),
                     p.handleOf(QStringLiteral("0101210010")));
        QCOMPARE(sheet->mle_note->toPlainText(), note);
        QCOMPARE(TestDatabase::column(p.file, QStringLiteral("SELECT count(*) FROM user_note")), QStringList{"0"});
        sheet->mle_note->clear();
        sheet->close();
    }
};

KIV_TEST_MAIN(tst_w_sheet)
#include "tst_w_sheet.moc"
