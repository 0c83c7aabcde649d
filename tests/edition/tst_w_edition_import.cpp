#include "app/globals.h"
#include "edition/ChangeListModel.h"
#include "edition/EditionBackups.h"
#include "edition/w_edition_import.h"
#include "mainwin/u_tv.h"
#include "mainwin/w_kiv.h"
#include "runtime/DataView.h"
#include "runtime/Transaction.h"

#include "support/RunningProgram.h"
#include "support/TestDatabase.h"

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

        QTest::mouseClick(dialog->cb_apply, Qt::LeftButton);
        QTRY_VERIFY(!p.window->findChild<w_edition_import *>());
        QCOMPARE(p.recorder.boxes().size(), 0);
        QCOMPARE(treeName(p, QStringLiteral("0101210010")), QStringLiteral("改良种用濒危野马（2027）"));
        QCOMPARE(treeName(p, QStringLiteral("0101290090")), QString());
        QCOMPARE(p.handleOf(QStringLiteral("0201100010")), -1L); // chapter 02 still unticked

        p.recorder.answer(1); // 是
        toolsItem(p.window.get(), "m_undoimport")->trigger();
        QCOMPARE(p.recorder.boxes().size(), 1);
        QCOMPARE(p.recorder.boxes().first().title, QStringLiteral("恢复上一版本"));
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

        QTest::mouseClick(dialog->cb_apply, Qt::LeftButton);
        QTRY_VERIFY(!p.window->findChild<w_edition_import *>());
        QCOMPARE(p.recorder.boxes().size(), 0);
        QCOMPARE(tradeTreeName(p, QStringLiteral("0102")), QStringLiteral("Bovine animals (2027)"));
        QCOMPARE(treeName(p, QStringLiteral("0102")), QStringLiteral("Bovine animals (2027)"));
        QCOMPARE(tradeTreeName(p, QStringLiteral("010190")), QString());
        QCOMPARE(p.handleOf(QStringLiteral("0201100010")), -1L); // chapter 02 still unticked

        p.recorder.answer(1); // 是
        toolsItem(p.window.get(), "m_undoimport")->trigger();
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
        QCOMPARE(p.recorder.boxes().size(), 1);
        QCOMPARE(TestDatabase::column(p.file, kName), QStringList{QStringLiteral("新名称")});
        QCOMPARE(treeName(p, QStringLiteral("0101210010")), QStringLiteral("新名称"));
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

QTEST_MAIN(tst_w_edition_import)
#include "tst_w_edition_import.moc"
