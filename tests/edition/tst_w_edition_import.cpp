#include "core/edition/ChangeListModel.h"
#include "core/edition/EditionBackups.h"
#include "core/edition/PausePoint.h"
#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/runtime/TreeModel.h"
#include "core/session/globals.h"
#include "core/tariff/NoteEvents.h"
#include "ui/edition/w_edition_import.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/tree/u_tv.h"

#include "support/RunningProgram.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QAccessible>
#include <QtTest>

using edition::w_edition_import;

namespace {

const QString kName = QStringLiteral("SELECT name FROM list_hscode WHERE code = '0101210010'");

QAction *toolsItem(w_kiv *window, const char *name)
{
    return window->findChild<QAction *>(QString::fromLatin1(name));
}

// The main window on a copy of the bundled database, the user's note on a code the edition
// drops and chapter 02 unticked.
bool startBundled(RunningProgram &p)
{
    return QFile::copy(QStringLiteral(KIV_RUN_DIR "/K-I-V.db"), p.file)
           && QFile::setPermissions(p.file, QFile::ReadOwner | QFile::WriteOwner)
           && TestDatabase::exec(p.file, QStringLiteral(
                  "UPDATE list_hscode SET flag = 'N' WHERE code = '02';"
                  "INSERT INTO user_note (list, code, note, changed_at, version) "
                  "VALUES ('hs', '0101290090', '客户常报', '2026-12-01T10:00:00+08:00', 1)"))
           && p.start();
}

QString treeName(RunningProgram &p, const QString &code)
{
    const long row = p.window->dw_1->find(QStringLiteral("code='%1'").arg(code), 1, p.window->dw_1->rowCount());
    return row > 0 ? p.window->dw_1->item(row, QStringLiteral("name")).toString() : QString();
}

QString tradeTreeName(RunningProgram &p, const QString &code)
{
    const long row = p.window->dw_2->find(QStringLiteral("jmw_code='%1'").arg(code), 1, p.window->dw_2->rowCount());
    return row > 0 ? p.window->dw_2->item(row, QStringLiteral("name")).toString() : QString();
}

// The code of the item a tree has selected, and the code of an item's parent in the customs tree.
QString selectedCode(u_tv *tree)
{
    runtime::TreeItem item;
    return tree->getItem(tree->findItem(runtime::TreeNavigation::Current, 0), item) == 1 ? item.data.toString()
                                                                                          : QString();
}

QString parentInTree(RunningProgram &p, const QString &code)
{
    runtime::TreeItem item;
    const long parent = p.window->tv_1->findItem(runtime::TreeNavigation::Parent, p.handleOf(code));
    return p.window->tv_1->getItem(parent, item) == 1 ? item.data.toString() : QString();
}

// Reads a file in the dialog as the user does: the file's name typed, 读取并比较 clicked.
bool readInDialog(w_edition_import *dialog, const QString &path)
{
    dialog->le_file->setFocus();
    QTest::keyClicks(dialog->le_file, path);
    QSignalSpy read(dialog, &w_edition_import::readFinished);
    QTest::mouseClick(dialog->cb_read, Qt::LeftButton);
    return read.wait(30000) && read.first().first().toBool();
}

} // namespace

class tst_w_edition_import : public QObject
{
    Q_OBJECT
private slots:
    // The whole way through as a user goes: the menu, the file, read and compare, the list
    // filtered and exported, apply; then 恢复上一版本. The note and the unticked chapter stay.
    void previewApplyAndUndo()
    {
        RunningProgram p;
        QVERIFY(startBundled(p));
        const QString edition = p.env.path(QStringLiteral("cn_hscode_2027.csv"));
        QByteArray lines = TestEnv::readFile(QStringLiteral(KIV_SOURCE_DIR "/db/cn_hscode_2026.csv"));
        lines.replace(",改良种用濒危野马,", ",改良种用濒危野马（2027）,");
        lines.replace(lines.mid(lines.indexOf("0101290090,"), lines.indexOf('\n', lines.indexOf("0101290090,")) + 1
                                                                     - lines.indexOf("0101290090,")),
                      QByteArray());
        QVERIFY(TestEnv::writeFile(edition, lines));

        toolsItem(p.window.get(), "m_import")->trigger();
        auto *dialog = p.window->findChild<w_edition_import *>();
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        for (QWidget *field : std::initializer_list<QWidget *>{dialog->le_file, dialog->le_chapters,
                                                               dialog->le_edition, dialog->ddlb_kind,
                                                               dialog->dw_changes, dialog->pb_read}) {
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(field);
            QVERIFY2(a && !a->text(QAccessible::Name).isEmpty(), qPrintable(field->objectName()));
        }
        QTest::keyClicks(dialog->le_file, edition);
        QCOMPARE(dialog->le_edition->text(), QStringLiteral("CN2027"));
        QSignalSpy read(dialog, &w_edition_import::readFinished);
        QTest::mouseClick(dialog->cb_read, Qt::LeftButton);
        QVERIFY(read.wait(30000));
        QCOMPARE(read.first().first().toBool(), true);
        QVERIFY2(dialog->st_summary->text().contains(QStringLiteral("删除 1 个，名称变更 1 个")),
                 qPrintable(dialog->st_summary->text()));
        QVERIFY(dialog->st_summary->text().contains(QStringLiteral("0101290090"))); // the noted code
        QCOMPARE(dialog->dw_changes->model()->rowCount(), 2);
        QCOMPARE(p.recorder.boxes().size(), 0);

        // 删除 is the third entry of the filter.
        dialog->ddlb_kind->setFocus();
        QTest::keyClick(dialog->ddlb_kind, Qt::Key_Down);
        QTest::keyClick(dialog->ddlb_kind, Qt::Key_Down);
        QCOMPARE(dialog->ddlb_kind->currentText(), QStringLiteral("删除"));
        QCOMPARE(dialog->dw_changes->model()->rowCount(), 1);
        QCOMPARE(dialog->dw_changes->model()->index(0, 0).data().toString(), QStringLiteral("0101290090"));
        QVERIFY(dialog->dw_changes->model()->index(0, edition::ChangeListModel::Note).data().toString().contains(
            QStringLiteral("备注")));
        const QString exported = p.env.path(QStringLiteral("changes.txt"));
        QVERIFY(dialog->exportTo(exported));
        QCOMPARE(TestEnv::readFile(exported).count('\n'), 2); // header and the one row shown

        // The code the user had selected is selected again after the trees are built anew.
        QVERIFY(p.window->goToCode(QStringLiteral("hs"), QStringLiteral("0101210010")));
        QTest::mouseClick(dialog->cb_apply, Qt::LeftButton);
        QTRY_VERIFY(!p.window->findChild<w_edition_import *>());
        QCOMPARE(p.recorder.boxes().size(), 1);
        QCOMPARE(p.recorder.boxes().first().title, QStringLiteral("导入商品编码表"));
        const QString applied = p.recorder.boxes().first().text;
        QVERIFY2(applied.contains(QStringLiteral("cn_hscode_2027.csv")) && applied.contains(QStringLiteral("CN2026 → CN2027"))
                     && applied.contains(QStringLiteral("删除 1 个，名称变更 1 个")),
                 qPrintable(applied));
        QCOMPARE(selectedCode(p.window->tv_1), QStringLiteral("0101210010"));
        QCOMPARE(p.window->focusWidget(), p.window->tv_1); // the keyboard goes back there
        QCOMPARE(treeName(p, QStringLiteral("0101210010")), QStringLiteral("改良种用濒危野马（2027）"));
        QCOMPARE(treeName(p, QStringLiteral("0101290090")), QString());
        QCOMPARE(p.handleOf(QStringLiteral("0201100010")), -1L); // chapter 02 still unticked

        // A note changes just before: the search index is taken again while the restore writes,
        // and waits for it instead of querying inside the restore's transaction.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("lending thread")));
        edition::PausePoint::setHandler([](const QByteArray &name) {
            if (name == "restore-read")
                QThread::msleep(400);
        });
        emit tariff::NoteEvents::instance()->noteChanged(QStringLiteral("hs"), QStringLiteral("0101210010"));
        p.recorder.answer(1); // 是
        toolsItem(p.window.get(), "m_undoimport")->trigger();
        edition::PausePoint::setHandler({});
        QCOMPARE(p.recorder.boxes().size(), 3);
        QCOMPARE(p.recorder.boxes().at(1).title, QStringLiteral("恢复上一版本"));
        const QString restored = p.recorder.boxes().at(2).text;
        QVERIFY2(restored.contains(QStringLiteral("CN2027 → CN2026"))
                     && restored.contains(QStringLiteral("新增 1 个编码，删除 0 个，名称变更 1 个")),
                 qPrintable(restored));
        QCOMPARE(selectedCode(p.window->tv_1), QStringLiteral("0101210010"));
        QCOMPARE(treeName(p, QStringLiteral("0101210010")), QStringLiteral("改良种用濒危野马"));
        QCOMPARE(treeName(p, QStringLiteral("0101290090")), QStringLiteral("非改良种用其他马"));
        QCOMPARE(p.handleOf(QStringLiteral("0201100010")), -1L);
        QCOMPARE(TestDatabase::column(p.file, QStringLiteral("SELECT note FROM user_note")),
                 QStringList{QStringLiteral("客户常报")});
        QVERIFY(edition::EditionBackups(p.file).list().isEmpty());
    }

    // A foreign-trade list chosen as any file: the dialog tells it by its header, previews
    // the changes of both lists, applies them to both trees, and 恢复上一版本 takes them back.
    void tradeEditionPreviewApplyAndUndo()
    {
        RunningProgram p;
        QVERIFY(startBundled(p));
        const QString edition = p.env.path(QStringLiteral("hs_2027.csv"));
        QByteArray codes = TestEnv::readFile(QStringLiteral(KIV_SOURCE_DIR "/db/harmonized-system.csv"));
        codes.replace("I,0102,Bovine animals; live,", "I,0102,Bovine animals (2027),")
            .replace("I,010190,Mules and hinnies; live,0101,6\n", "");
        QVERIFY(TestEnv::writeFile(edition, codes));
        toolsItem(p.window.get(), "m_import")->trigger();
        auto *dialog = p.window->findChild<w_edition_import *>();
        QVERIFY(dialog);
        QTest::keyClicks(dialog->le_file, edition);
        QCOMPARE(dialog->le_edition->text(), QStringLiteral("HS2027"));
        QSignalSpy read(dialog, &w_edition_import::readFinished);
        QTest::mouseClick(dialog->cb_read, Qt::LeftButton);
        QVERIFY(read.wait(30000));
        const QString summary = dialog->st_summary->text();
        QVERIFY2(summary.contains(QStringLiteral("外经贸商品编码：新增 0 个编码，删除 1 个，名称变更 1 个"))
                     && summary.contains(QStringLiteral("品目和子目：新增 0 个，删除 1 个，名称变更 1 个")),
                 qPrintable(summary));
        const QAbstractItemModel *list = dialog->dw_changes->model();
        QCOMPARE(list->rowCount(), 4); // 0102 renamed and 010190 removed, in each list
        QStringList lists;
        for (int row = 0; row < list->rowCount(); ++row)
            lists.append(list->index(row, edition::ChangeListModel::List).data().toString());
        QCOMPARE(lists, (QStringList{QStringLiteral("海关"), QStringLiteral("外经贸"), QStringLiteral("海关"),
                                     QStringLiteral("外经贸")}));

        // The one line under the dropped subheading hangs under its heading, as the summary says.
        QVERIFY2(summary.contains(QStringLiteral("显示在其品目之下：0101900000")), qPrintable(summary));
        // The foreign-trade tree was the one in use: its code is selected again, with the keyboard.
        p.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.window.get()));
        QVERIFY(p.window->goToCode(QStringLiteral("jmw"), QStringLiteral("0102")));
        QTRY_COMPARE(p.window->selection().list, QStringLiteral("jmw"));
        dialog->activateWindow();
        QTRY_VERIFY(dialog->isActiveWindow());
        QTest::mouseClick(dialog->cb_apply, Qt::LeftButton);
        QTRY_VERIFY(!p.window->findChild<w_edition_import *>());
        QCOMPARE(p.recorder.boxes().size(), 1);
        QVERIFY2(p.recorder.boxes().first().text.contains(QStringLiteral("HS2022 → HS2027")),
                 qPrintable(p.recorder.boxes().first().text));
        QCOMPARE(parentInTree(p, QStringLiteral("0101900000")), QStringLiteral("0101"));
        QCOMPARE(selectedCode(p.window->tv_2), QStringLiteral("0102"));
        QCOMPARE(p.window->focusWidget(), p.window->tv_2);
        QCOMPARE(tradeTreeName(p, QStringLiteral("0102")), QStringLiteral("Bovine animals (2027)"));
        QCOMPARE(treeName(p, QStringLiteral("0102")), QStringLiteral("Bovine animals (2027)"));
        QCOMPARE(tradeTreeName(p, QStringLiteral("010190")), QString());
        QCOMPARE(p.handleOf(QStringLiteral("0201100010")), -1L); // chapter 02 still unticked

        p.recorder.answer(1); // 是
        toolsItem(p.window.get(), "m_undoimport")->trigger();
        QVERIFY2(p.recorder.boxes().last().text.contains(QStringLiteral("HS2027 → HS2022"))
                     && p.recorder.boxes().last().text.contains(QStringLiteral("删除 0 个，名称变更 1 个")),
                 qPrintable(p.recorder.boxes().last().text));
        QCOMPARE(parentInTree(p, QStringLiteral("0101900000")), QStringLiteral("010190"));
        QCOMPARE(tradeTreeName(p, QStringLiteral("0102")), QStringLiteral("Bovine animals; live"));
        QCOMPARE(treeName(p, QStringLiteral("0102")), QStringLiteral("Bovine animals; live"));
        QCOMPARE(tradeTreeName(p, QStringLiteral("010190")), QStringLiteral("Mules and hinnies; live"));
        QCOMPARE(p.handleOf(QStringLiteral("0201100010")), -1L);
    }

    // A database that refuses the write at the moment of applying: the options dialog's
    // warning, nothing changed, the dialog stays; a retry goes through.
    void refusedApplyWarnsAndRetries()
    {
        RunningProgram p;
        QVERIFY(startBundled(p));
        const QString edition = p.env.path(QStringLiteral("edition.csv"));
        QVERIFY(TestEnv::writeFile(edition, TestEnv::readFile(QStringLiteral(KIV_SOURCE_DIR "/db/cn_hscode_2026.csv"))
                                                .replace(",改良种用濒危野马,", ",新名称,")));
        auto *dialog = w_edition_import::openFor(p.window.get());
        dialog->le_file->setText(edition);
        QSignalSpy read(dialog, &w_edition_import::readFinished);
        QTest::mouseClick(dialog->cb_read, Qt::LeftButton);
        QVERIFY(read.wait(30000));

        // Root writes any file; the engine's own switch refuses writes as a read-only file does.
        QCOMPARE(sqlca->execute(QStringLiteral("PRAGMA query_only = ON")), 0);
        QTest::mouseClick(dialog->cb_apply, Qt::LeftButton);
        QCOMPARE(p.recorder.boxes().size(), 1);
        QCOMPARE(p.recorder.boxes().first().title, QStringLiteral("Warning :"));
        QCOMPARE(p.recorder.boxes().first().text, QStringLiteral("Hello User,The Operate is  invalidation!!"));
        QCOMPARE(TestDatabase::column(p.file, kName), QStringList{QStringLiteral("改良种用濒危野马")});
        QVERIFY(edition::EditionBackups(p.file).list().isEmpty());
        QVERIFY(dialog->isVisible());

        QCOMPARE(sqlca->execute(QStringLiteral("PRAGMA query_only = OFF")), 0);
        QTest::mouseClick(dialog->cb_apply, Qt::LeftButton);
        QCOMPARE(p.recorder.boxes().size(), 2);
        QCOMPARE(p.recorder.boxes().last().title, QStringLiteral("导入商品编码表"));
        QCOMPARE(TestDatabase::column(p.file, kName), QStringList{QStringLiteral("新名称")});
        QCOMPARE(treeName(p, QStringLiteral("0101210010")), QStringLiteral("新名称"));
    }

    // A WCO list older than the database's (HS 2017, without heading 0309): 应用 first warns;
    // 否 leaves all as it was, 是 applies, and the lines whose heading the list lacks hang
    // under their chapter, as the summary says.
    void olderEditionWarnsFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("否") << 2;
        QTest::newRow("是") << 1;
    }
    void olderEditionWarnsFirst()
    {
        QFETCH(int, answer);
        RunningProgram p;
        QVERIFY(startBundled(p));
        const QString edition = p.env.path(QStringLiteral("hs_2017.csv"));
        QList<QByteArray> rows = TestEnv::readFile(QStringLiteral(KIV_SOURCE_DIR "/db/harmonized-system.csv")).split('\n');
        rows.removeIf([](const QByteArray &row) { return row.startsWith("I,0309"); });
        QVERIFY(TestEnv::writeFile(edition, rows.join('\n')));
        toolsItem(p.window.get(), "m_import")->trigger();
        auto *dialog = p.window->findChild<w_edition_import *>();
        QVERIFY(dialog && readInDialog(dialog, edition));
        QCOMPARE(dialog->le_edition->text(), QStringLiteral("HS2017"));
        QVERIFY2(dialog->st_summary->text().contains(QStringLiteral("显示在其章之下：0309100010")),
                 qPrintable(dialog->st_summary->text()));

        p.recorder.answer(answer);
        QTest::mouseClick(dialog->cb_apply, Qt::LeftButton);
        QVERIFY(!p.recorder.boxes().isEmpty());
        const QString question = p.recorder.boxes().first().text;
        QVERIFY2(question.contains(QStringLiteral("HS2017")) && question.contains(QStringLiteral("HS2022"))
                     && question.contains(QStringLiteral("旧")),
                 qPrintable(question));
        QCOMPARE(p.recorder.boxes().first().defaultButton, 2); // 否 unless the user says 是
        if (answer == 2) {
            QCOMPARE(p.recorder.boxes().size(), 1);
            QVERIFY(dialog->isVisible());
            QCOMPARE(parentInTree(p, QStringLiteral("0309100010")), QStringLiteral("030910"));
            QVERIFY(edition::EditionBackups(p.file).list().isEmpty());
            dialog->close();
            return;
        }
        QTRY_VERIFY(!p.window->findChild<w_edition_import *>());
        QCOMPARE(p.recorder.boxes().size(), 2);
        QVERIFY(p.recorder.boxes().last().text.contains(QStringLiteral("HS2022 → HS2017")));
        QCOMPARE(parentInTree(p, QStringLiteral("0309100010")), QStringLiteral("03"));
        QCOMPARE(parentInTree(p, QStringLiteral("0308111010")), QStringLiteral("030811"));
    }

    // A bad file is named with its line in the dialog; nothing can be applied.
    void badFileIsNamed()
    {
        RunningProgram p;
        QVERIFY(startBundled(p));
        const QString edition = p.env.path(QStringLiteral("edition.csv"));
        QVERIFY(TestEnv::writeFile(edition, QByteArray("code10,name_cn\n0101210010,马\n")));
        auto *dialog = w_edition_import::openFor(p.window.get());
        dialog->le_file->setText(edition);
        QSignalSpy read(dialog, &w_edition_import::readFinished);
        QTest::mouseClick(dialog->cb_read, Qt::LeftButton);
        QVERIFY(read.wait(30000));
        QCOMPARE(read.first().first().toBool(), false);
        QVERIFY2(dialog->st_summary->text().startsWith(edition + QStringLiteral(":1: 标题行缺少列")),
                 qPrintable(dialog->st_summary->text()));
        QVERIFY(!dialog->cb_apply->isEnabled());
        dialog->close();
    }
};

KIV_TEST_MAIN(tst_w_edition_import)
#include "tst_w_edition_import.moc"
