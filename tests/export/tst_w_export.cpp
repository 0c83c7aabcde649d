// 导出..., 打印... and 导出此节点... as a user works them: keys, the context menu, the dialog's
// fields, the question before replacing a file, the remembered choices, the result lists of
// the find dialog and the search field, cancelling a long export and the print preview.
#include "ui/export/ExportCommands.h"
#include "ui/export/ExportJob.h"
#include "ui/export/w_export.h"

#include "ReadBack.h"
#include "app/m_tools.h"
#include "core/quicksearch/ResultModel.h"
#include "support/RunningProgram.h"
#include "support/TestMain.h"
#include "ui/find/w_findats.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/quicksearch/QuickSearchController.h"
#include "ui/quicksearch/QuickSearchField.h"
#include "ui/runtime/MessageBox.h"
#include "ui/tree/u_tv.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using kivexport::WriteResult;
Q_DECLARE_METATYPE(kivexport::Format)

namespace {

const char *kRows =
    "INSERT INTO list_hscode(code, name, unit, zssl_set, sz, tsl_ym, splb, note, op_user, op_date, flag) VALUES"
    " ('01', '活动物', NULL, NULL, NULL, NULL, NULL, NULL, 'CN2026', '20260818', 'Y'),"
    " ('0101', 'Horses, asses', NULL, NULL, NULL, NULL, NULL, NULL, 'HS2022', '20241025', NULL),"
    " ('010121', 'Pure-bred', NULL, NULL, NULL, NULL, NULL, NULL, 'HS2022', '20241025', NULL),"
    " ('0101210010', '改良种用濒危野马', '千克', '9%', '0%', '0%', 'P/Q', '头', 'CN2026', '20260818', NULL),"
    " ('0101210090', '=改良种用马', '千克', '9%', '0%', '9%', 'P/Q', '头', 'CN2026', '20260818', NULL),"
    " ('0102', 'Bovine animals', NULL, NULL, NULL, NULL, NULL, NULL, 'HS2022', '20241025', NULL),"
    " ('0102210000', '改良种用牛', '千克', '9%', '0%', '9%', 'P/Q', '头', 'CN2026', '20260818', NULL);"
    "INSERT INTO tariff_line VALUES"
    " ('0101210010', NULL, '0%', NULL, NULL, 'AFEB', '1:品牌类型;2:出口享惠情况'),"
    " ('0101210090', NULL, '0%', NULL, NULL, 'AB', '1:品牌类型;2:品种');"
    "INSERT INTO supervision_certificate VALUES ('A', '检验检疫'), ('B', '电子底账');"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, unit, flag) VALUES ('01', 'N', '活动物', NULL, 'Y'),"
    " ('0101', 'N', 'Live horses', NULL, NULL);";

struct Program : RunningProgram {
    bool begin() { return makeDatabase(QString::fromUtf8(kRows)) && start(); }
    ExportCommands *commands() const { return ExportCommands::of(window.get()); }
    // The dialog that the key opens in the customs tree.
    w_export *press(Qt::Key key)
    {
        // The last dialog is gone and the window has the keyboard back, as for a user.
        if (!QTest::qWaitFor([this] { return window->findChildren<w_export *>().isEmpty(); }))
            return nullptr;
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            return nullptr;
        QTest::keyClick(window->tv_1, key, Qt::ControlModifier);
        w_export *dialog = nullptr;
        const bool opened =
            QTest::qWaitFor([&] { return (dialog = window->findChild<w_export *>()) && dialog->isVisible(); });
        return opened ? dialog : nullptr;
    }
    void setFile(w_export *dialog, const QString &path)
    {
        dialog->sle_file->setFocus();
        dialog->sle_file->selectAll();
        QTest::keyClicks(dialog->sle_file, path);
    }
    // Presses the default button and waits for the export's end.
    bool exportNow(w_export *dialog)
    {
        QSignalSpy finished(commands(), &ExportCommands::exportFinished);
        QTest::keyClick(dialog->sle_file, Qt::Key_Return);
        return (!finished.isEmpty() || finished.wait(10000)) && finished.first().first().value<WriteResult>().ok();
    }
    static QStringList codes(const QList<QStringList> &rows, int column)
    {
        QStringList c;
        for (qsizetype i = 1; i < rows.size(); ++i)
            c.append(rows.at(i).value(column));
        return c;
    }
};

// The progress dialogs on screen.
int visibleProgress()
{
    int shown = 0;
    for (const QWidget *w : QApplication::topLevelWidgets())
        shown += qobject_cast<const QProgressDialog *>(w) && w->isVisible();
    return shown;
}

// Answers the message boxes as a user does, who reads them for a while: the events go on
// meanwhile, as in the box's own loop. Counts the progress dialogs seen over a box.
struct ReadingUser {
    QStringList texts;
    int progressSeen = 0;
    ReadingUser()
    {
        runtime::setMessageHandler([this](const runtime::MessageRequest &request) {
            texts.append(request.text);
            progressSeen += visibleProgress();
            QTest::qWait(700); // longer than the delay after which the progress dialog shows
            progressSeen += visibleProgress();
            return request.defaultButton;
        });
    }
    ~ReadingUser() { runtime::setMessageHandler({}); }
};

// Sheets long enough for the progress dialog to show.
QList<kivexport::ExportSheet> manyRows(int rows)
{
    kivexport::ExportSheet sheet{QStringLiteral("海关商品"), {QStringLiteral("编码"), QStringLiteral("名称")}, {}, {}};
    for (int i = 0; i < rows; ++i)
        sheet.rows.append({QString::number(i), QStringLiteral("改良种用马")});
    return {sheet};
}

} // namespace

class tst_w_export : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<WriteResult>(); }

    void toolsMenuAndKeys()
    {
        Program p;
        QVERIFY(p.begin());
        const m_tools *tools = p.window->findChild<m_tools *>();
        QVERIFY(tools);
        const QList<QAction *> items = tools->menu->actions();
        const qsizetype search = items.indexOf(tools->m_search);
        QVERIFY(items.value(search + 1)->isSeparator());
        QCOMPARE(items.value(search + 2), tools->m_export);
        QCOMPARE(items.value(search + 3), tools->m_print);
        w_export *dialog = p.press(Qt::Key_S);
        QVERIFY(dialog);
        QVERIFY(dialog->ddlb_format && dialog->sle_file && !dialog->rb_sheet);
        // A screen reader names the fields by their captions.
        QVERIFY(QAccessible::queryAccessibleInterface(dialog->sle_file)->text(QAccessible::Name).contains(QStringLiteral("文件")));
        QVERIFY(QAccessible::queryAccessibleInterface(dialog->lb_columns)->text(QAccessible::Name).contains(QStringLiteral("列")));
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(!p.window->findChild<w_export *>());
        dialog = p.press(Qt::Key_P);
        QVERIFY(dialog);
        QVERIFY(!dialog->sle_file && dialog->rb_sheet);
        QCOMPARE(dialog->cb_ok->text(), QStringLiteral("打印预览(&P)..."));
    }

    void nodeFromTheContextMenuToCsv()
    {
        Program p;
        QVERIFY(p.begin());
        p.window->tv_1->selectItem(p.handleOf(QStringLiteral("0101")));
        QTest::keyClick(p.window->tv_1, Qt::Key_Menu);
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_E);
        w_export *dialog = nullptr;
        QTRY_VERIFY((dialog = p.window->findChild<w_export *>()) && dialog->isVisible());
        QVERIFY(dialog->rb_node->isChecked());
        QVERIFY(dialog->rb_node->text().contains(QStringLiteral("0101 Horses")));
        QVERIFY(dialog->sle_file->text().endsWith(QStringLiteral("0101 Horses, asses.xlsx")));
        QTest::keyClick(dialog->ddlb_format, Qt::Key_Down); // CSV
        QVERIFY(dialog->sle_file->text().endsWith(QStringLiteral(".csv")));
        const QString path = p.env.path(QStringLiteral("horses.csv"));
        p.setFile(dialog, path);
        QVERIFY(p.exportNow(dialog));
        QString error;
        const QList<QStringList> rows = readback::csv(path, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(Program::codes(rows, 1), QStringList({"0101", "010121", "0101210010", "0101210090"}));
        QCOMPARE(rows.at(4).at(3), QStringLiteral("'=改良种用马"));
        QVERIFY(p.recorder.texts().last().contains(QStringLiteral("已导出 4 行")));
    }

    void replacingAsksAndChoicesAreKept()
    {
        Program p;
        QVERIFY(p.begin());
        const QString path = p.env.path(QStringLiteral("old.csv"));
        QVERIFY(TestEnv::writeFile(path, "old"));
        w_export *dialog = p.press(Qt::Key_S);
        QVERIFY(dialog);
        QTest::mouseClick(dialog->rb_hs, Qt::LeftButton, {}, QPoint(5, dialog->rb_hs->height() / 2));
        QTest::keyClick(dialog->ddlb_format, Qt::Key_Down);
        // The user takes 商品名称 out with the keyboard.
        const QList<QListWidgetItem *> names = dialog->lb_columns->findItems(QStringLiteral("商品名称"), Qt::MatchExactly);
        QCOMPARE(names.size(), 1);
        dialog->lb_columns->setFocus();
        dialog->lb_columns->setCurrentItem(names.first());
        QTest::keyClick(dialog->lb_columns, Qt::Key_Space);
        QCOMPARE(names.first()->checkState(), Qt::Unchecked);
        p.setFile(dialog, path);
        p.recorder.answer(2); // do not replace
        QTest::keyClick(dialog->sle_file, Qt::Key_Return);
        QVERIFY(p.recorder.texts().last().contains(QStringLiteral("已存在")));
        QVERIFY(dialog->isVisible());
        QCOMPARE(TestEnv::readFile(path), QByteArray("old"));
        p.recorder.answer(1);
        QVERIFY(p.exportNow(dialog));
        QString error;
        const QList<QStringList> rows = readback::csv(path, &error);
        QCOMPARE(rows.size(), 1 + 7);
        QVERIFY(!rows.first().contains(QStringLiteral("商品名称")));
        // Opened again, the dialog offers the same columns and format.
        dialog = p.press(Qt::Key_S);
        QVERIFY(dialog);
        QCOMPARE(dialog->ddlb_format->currentIndex(), 1);
        QCOMPARE(dialog->lb_columns->findItems(QStringLiteral("商品名称"), Qt::MatchExactly).first()->checkState(), Qt::Unchecked);
        QCOMPARE(dialog->lb_columns->findItems(QStringLiteral("商品编码"), Qt::MatchExactly).first()->checkState(), Qt::Checked);
    }

    void findDialogsListEmptyAndFull()
    {
        Program p;
        QVERIFY(p.begin());
        w_findats *find = w_findats::openFor(p.window.get());
        QVERIFY(find);
        const int buttons = int(find->findChildren<QPushButton *>().size());
        w_export *dialog = p.press(Qt::Key_S);
        QVERIFY(dialog);
        // An empty list cannot be chosen; its count says why.
        QVERIFY(!dialog->rb_find->isEnabled());
        QVERIFY(dialog->rb_find->text().contains(QStringLiteral("0 条")));
        dialog->reject();
        find->rb_7->click(); // by parts of the name
        find->sle_2->setText(QStringLiteral("改良"));
        find->cb_2->click();
        QCOMPARE(find->lb_1->count(), 3);
        dialog = p.press(Qt::Key_S);
        QVERIFY(dialog);
        QVERIFY(dialog->rb_find->isEnabled());
        QVERIFY(dialog->rb_find->text().contains(QStringLiteral("3 条")));
        dialog->rb_find->click();
        const QString path = p.env.path(QStringLiteral("found.xlsx"));
        p.setFile(dialog, path);
        QVERIFY(p.exportNow(dialog));
        QString error;
        const QList<readback::Sheet> sheets = readback::xlsx(path, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(Program::codes(sheets.first().values, 1), QStringList({"0101210010", "0101210090", "0102210000"}));
        QCOMPARE(int(find->findChildren<QPushButton *>().size()), buttons);
        find->close();
    }

    void searchFieldsList()
    {
        Program p;
        QVERIFY(p.begin());
        QuickSearchController *search = QuickSearchController::of(p.window.get());
        QVERIFY(QTest::qWaitFor([search] { return search->isIndexReady(); }));
        QTest::keyClick(p.window->tv_1, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(search->field, QStringLiteral("horses"));
        QTRY_VERIFY(search->results->rowCount() > 0);
        const int listed = search->results->rowCount();
        w_export *dialog = p.press(Qt::Key_S);
        QVERIFY(dialog);
        QVERIFY(dialog->rb_search->isEnabled());
        QVERIFY(dialog->rb_search->text().contains(QStringLiteral("%1 条").arg(listed)));
        dialog->rb_search->click();
        QTest::keyClick(dialog->ddlb_format, Qt::Key_Down);
        const QString path = p.env.path(QStringLiteral("search.csv"));
        p.setFile(dialog, path);
        QVERIFY(p.exportNow(dialog));
        QString error;
        const QList<QStringList> rows = readback::csv(path, &error);
        QStringList expected;
        for (int r = 0; r < listed; ++r)
            expected.append(search->results->entry(r)->code);
        QCOMPARE(Program::codes(rows, 1), expected);
        QVERIFY(expected.contains(QStringLiteral("0101")));
    }

    void cancelLeavesTheOldFile()
    {
        Program p;
        QVERIFY(p.begin());
        const QString path = p.env.path(QStringLiteral("big.xlsx"));
        QVERIFY(TestEnv::writeFile(path, "old"));
        kivexport::ExportSheet sheet{QStringLiteral("海关商品"), {QStringLiteral("编码"), QStringLiteral("名称")}, {}, {}};
        for (int i = 0; i < 200000; ++i)
            sheet.rows.append({QString::number(i), QStringLiteral("改良种用马")});
        ExportJob *job = ExportJob::start(p.window.get(), kivexport::Format::Xlsx, path, {sheet}, QString());
        QSignalSpy finished(job, &ExportJob::finished);
        job->progressDialog()->show();
        QPushButton *cancel = job->progressDialog()->findChild<QPushButton *>();
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QStringLiteral("取消"));
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().value<WriteResult>().status, WriteResult::Status::Cancelled);
        QCOMPARE(TestEnv::readFile(path), QByteArray("old"));
        QCOMPARE(QDir(p.env.workDir()).entryList({QStringLiteral("*big*")}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("big.xlsx")});
    }

    // Every way an export goes, started from the dialog as a user does: the progress dialog is
    // gone before the message that follows, and does not come back while it is read.
    void progressClosesBeforeTheMessage_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<int>("format"); // steps down the format list from .xlsx
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("subtree to xlsx") << "rb_node" << 0 << "a.xlsx" << "已导出 4 行";
        QTest::newRow("subtree to CSV") << "rb_node" << 1 << "a.csv" << "已导出 4 行";
        QTest::newRow("subtree to PDF") << "rb_node" << 2 << "a.pdf" << "已导出 4 行";
        QTest::newRow("whole customs list to xlsx") << "rb_hs" << 0 << "a.xlsx" << "已导出 7 行";
        QTest::newRow("whole foreign-trade list to CSV") << "rb_jmw" << 1 << "a.csv" << "已导出 2 行";
        QTest::newRow("whole customs list to PDF") << "rb_hs" << 2 << "a.pdf" << "已导出 7 行";
        QTest::newRow("failed: no such folder") << "rb_node" << 1 << "missing/a.csv" << "missing";
    }
    void progressClosesBeforeTheMessage()
    {
        QFETCH(QString, choice);
        QFETCH(int, format);
        QFETCH(QString, file);
        QFETCH(QString, message);
        Program p;
        QVERIFY(p.begin());
        p.window->tv_1->selectItem(p.handleOf(QStringLiteral("0101")));
        ReadingUser user;
        w_export *dialog = p.press(Qt::Key_S);
        QVERIFY(dialog);
        auto *button = dialog->findChild<QRadioButton *>(choice);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
        QVERIFY(button->isChecked());
        for (int i = 0; i < format; ++i)
            QTest::keyClick(dialog->ddlb_format, Qt::Key_Down);
        p.setFile(dialog, p.env.path(file));
        QSignalSpy finished(p.commands(), &ExportCommands::exportFinished);
        QTest::keyClick(dialog->sle_file, Qt::Key_Return);
        QVERIFY(!finished.isEmpty() || finished.wait(10000));
        QCOMPARE(user.texts.size(), 1);
        QVERIFY2(user.texts.first().contains(message), qPrintable(user.texts.first()));
        QCOMPARE(user.progressSeen, 0);
        QTest::qWait(500);
        QCOMPARE(visibleProgress(), 0);
    }

    // A long export: its progress shows, and closes when the writing is done, before the job
    // says how it ended; Esc on the progress dialog cancels as its 取消 does.
    void longExportShowsProgressAndClosesIt_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::addColumn<kivexport::Format>("format");
        QTest::addColumn<int>("rows");
        QTest::newRow("written") << false << kivexport::Format::Xlsx << 200000;
        // Pages take long enough to be stopped in the middle.
        QTest::newRow("Esc") << true << kivexport::Format::Pdf << 40000;
    }
    void longExportShowsProgressAndClosesIt()
    {
        QFETCH(bool, escape);
        QFETCH(kivexport::Format, format);
        QFETCH(int, rows);
        Program p;
        QVERIFY(p.begin());
        const QString path = p.env.path(QStringLiteral("big") + kivexport::ExportRequest::suffix(format));
        ExportJob *job = ExportJob::start(p.window.get(), format, path, manyRows(rows), QString());
        QPointer<QProgressDialog> progress = job->progressDialog();
        int shownAtTheEnd = -1;
        WriteResult result;
        connect(job, &ExportJob::finished, this, [&](const WriteResult &r) {
            shownAtTheEnd = visibleProgress();
            result = r;
        });
        QVERIFY(QTest::qWaitFor([&] { return progress && progress->isVisible(); }, 10000));
        if (escape) {
            // The user sees the dialog on top, with the keyboard, and presses Esc.
            QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == progress; }));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QVERIFY(progress->wasCanceled());
        }
        QVERIFY(QTest::qWaitFor([&] { return shownAtTheEnd >= 0; }, 60000));
        QCOMPARE(shownAtTheEnd, 0);
        QCOMPARE(result.status, escape ? WriteResult::Status::Cancelled : WriteResult::Status::Written);
        QCOMPARE(QFileInfo::exists(path), !escape);
        QTest::qWait(500);
        QCOMPARE(visibleProgress(), 0);
    }

    // The note under the fields says what a format keeps: CSV is for programs, .xlsx for a
    // spreadsheet.
    void formatNoteTellsTheTruth()
    {
        Program p;
        QVERIFY(p.begin());
        w_export *dialog = p.press(Qt::Key_S);
        QVERIFY(dialog);
        QVERIFY(dialog->st_note->text().contains(QStringLiteral("前导零")));
        QVERIFY(!dialog->st_note->text().contains(QStringLiteral("CSV")));
        QTest::keyClick(dialog->ddlb_format, Qt::Key_Down);
        QCOMPARE(dialog->format(), kivexport::Format::Csv);
        const QString csv = dialog->st_note->text();
        QVERIFY2(csv.contains(QStringLiteral("101210010")) && csv.contains(QStringLiteral("0.09"))
                     && csv.contains(QStringLiteral(".xlsx")),
                 qPrintable(csv));
        // A screen reader reads the note itself.
        QCOMPARE(QAccessible::queryAccessibleInterface(dialog->st_note)->text(QAccessible::Name), csv);
        QTest::keyClick(dialog->ddlb_format, Qt::Key_Down);
        QVERIFY(dialog->st_note->text().contains(QStringLiteral("A4")));
    }

    void printsTheSheetInAPreview()
    {
        Program p;
        QVERIFY(p.begin());
        p.window->tv_1->selectItem(p.handleOf(QStringLiteral("0101210010")));
        w_export *dialog = p.press(Qt::Key_P);
        QVERIFY(dialog);
        QVERIFY(dialog->rb_sheet->isChecked());
        QVERIFY(!dialog->lb_columns->isEnabled());
        QSignalSpy painted(p.commands(), &ExportCommands::previewPainted);
        QTest::keyClick(dialog, Qt::Key_Return);
        QTRY_VERIFY(p.commands()->preview() && p.commands()->preview()->isVisible());
        QTRY_VERIFY(!painted.isEmpty());
        QCOMPARE(painted.first().first().toInt(), 1); // one page
        p.commands()->preview()->close();
    }
};

KIV_TEST_MAIN(tst_w_export)
#include "tst_w_export.moc"
