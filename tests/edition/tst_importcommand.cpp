#include "core/data/CommodityTables.h"
#include "core/edition/EditionBackups.h"
#include "core/edition/ImportCommand.h"
#include "core/edition/PausePoint.h"
#include "core/library/ItemStore.h"
#include "core/runtime/Transaction.h"

#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

#include <unistd.h>

using edition::ImportCommand;

namespace {

const QByteArray kBundledLines = TestEnv::readFile(QStringLiteral(KIV_SOURCE_DIR "/db/cn_hscode_2026.csv"));
const QString kName = QStringLiteral("SELECT name FROM list_hscode WHERE code = '0101210010'");

// The bundled list with one line renamed.
QByteArray renamedEdition()
{
    return QByteArray(kBundledLines).replace(",改良种用濒危野马,", ",改良种用濒危野马（新）,");
}

// The bundled WCO list with one heading renamed.
QByteArray renamedTradeEdition()
{
    return TestEnv::readFile(QStringLiteral(KIV_SOURCE_DIR "/db/harmonized-system.csv"))
        .replace("I,0102,Bovine animals; live,", "I,0102,Bovine animals; live (new),");
}

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

} // namespace

class tst_ImportCommand : public QObject
{
    Q_OBJECT
private slots:
    // The command in-process: what it prints, its exit status, and whether the database changed.
    void statusAndOutput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("connects"); // gets as far as naming the database
        const QByteArray good = renamedEdition();
        const QStringList import{QStringLiteral("--import"), QStringLiteral("edition.csv")};
        QTest::newRow("dry run") << import + QStringList{"--dry-run"} << good << 0
                                 << "名称变更 1 个" << false << true;
        QTest::newRow("apply") << import + QStringList{"--edition", "CN2027"} << good << 0 << "已导入" << true << true;
        QTest::newRow("bad rate") << import << QByteArray(good).replace(",改良种用濒危野马（新）,千克,头,0%,,0%,9%,",
                                                                    ",改良种用濒危野马（新）,千克,头,0%,,0%,9,")
                                  << 2 << "edition.csv:2: 增值税率" << false << true;
        QTest::newRow("missing file") << QStringList{"--import", "none.csv"} << good << 2 << "文件不存在" << false << true;
        QTest::newRow("no file named") << QStringList{"--import"} << good << 2 << "用法" << false << false;
        QTest::newRow("unknown option") << import + QStringList{"--force"} << good << 2 << "--force" << false << false;
        QTest::newRow("edition too long") << import + QStringList{"--edition", "CN2027-0101"} << good << 2 << "太长"
                                          << false << false;
        // A foreign-trade list is told by its header, or named with --list trade; the chapters
        // file is the customs list's.
        const QByteArray trade = renamedTradeEdition();
        QTest::newRow("trade list by its header")
            << import + QStringList{"--dry-run"} << trade << 0
            << "外经贸商品编码：新增 0 个编码，删除 0 个，名称变更 1 个" << false << true;
        QTest::newRow("--list trade") << import + QStringList{"--list", "trade", "--dry-run"} << trade << 0
                                      << "海关商品编码的品目和子目：新增 0 个，删除 0 个，名称变更 1 个" << false << true;
        QTest::newRow("--list customs for a trade list") << import + QStringList{"--list", "customs"} << trade << 2
                                                         << "edition.csv:1: 标题行缺少列" << false << true;
        QTest::newRow("older trade list: warned")
            << import + QStringList{"--edition", "HS2017", "--dry-run"} << trade << 0 << "注意：要应用的外经贸商品编码表版本 HS2017 比数据库中的当前版本 HS2022 旧" << false
            << true;
        QTest::newRow("--list of another name") << import + QStringList{"--list", "hs"} << trade << 2 << "--list hs"
                                                << false << false;
        QTest::newRow("--chapters with a trade list") << import + QStringList{"--chapters", "c.csv"} << trade << 2
                                                      << "--chapters" << false << false;
        QTest::newRow("no database") << import + QStringList{"--database-missing"} << good << 1 << "数据库连接失败"
                                     << false << false;
    }
    void statusAndOutput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, file);
        QFETCH(int, status);
        QFETCH(QString, printed);
        QFETCH(bool, changed);
        QFETCH(bool, connects);
        TestEnv env;
        const QString db = env.path(QStringLiteral("K-I-V.db"));
        QVERIFY(QFile::copy(QStringLiteral(KIV_RUN_DIR "/K-I-V.db"), db));
        QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(TestEnv::writeFile(env.path(QStringLiteral("edition.csv")), file));
        const bool noDatabase = arguments.removeAll(QStringLiteral("--database-missing")) > 0;
        const QString connect = TestEnv::directConnectString(noDatabase ? env.path(QStringLiteral("none.db")) : db);
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int result = ImportCommand::run(QStringList{QStringLiteral("kivtree")} + arguments, connect, outStream,
                                              errStream, env.workDir());
        outStream.flush();
        errStream.flush();
        QCOMPARE(result, status);
        QVERIFY2((out + err).contains(printed), qPrintable(out + err));
        QCOMPARE(out.startsWith(QStringLiteral("数据库：%1\n").arg(db)), connects);
        QCOMPARE(TestDatabase::column(db, kName).value(0) == QStringLiteral("改良种用濒危野马（新）"), changed);
        QCOMPARE(edition::EditionBackups(db).list().size(), changed ? 1 : 0);
    }

    // The program itself, in a run folder of its own and without a display: once through, and
    // killed at the test-only pause points inside the import's transaction and while the
    // backup is written. A kill leaves the old edition, whole, and no backup to undo to.
    void programKilledWhileImporting_data()
    {
        QTest::addColumn<QString>("pause");
        QTest::newRow("not killed") << QString();
        QTest::newRow("killed inside the transaction") << "apply";
        QTest::newRow("killed while the backup is written") << "backup";
    }
    void programKilledWhileImporting()
    {
        QFETCH(QString, pause);
        TestEnv env;
        const QString run = env.path(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(run));
        const QString program = run + QStringLiteral("/kivtree");
        // A run folder: the program beside its database (a link, not a copy of the binary).
        if (::link(KIV_RUN_DIR "/kivtree", QFile::encodeName(program).constData()) != 0)
            QVERIFY(QFile::copy(QStringLiteral(KIV_RUN_DIR "/kivtree"), program));
        const QString db = run + QStringLiteral("/K-I-V.db");
        QVERIFY(QFile::copy(QStringLiteral(KIV_RUN_DIR "/K-I-V.db"), db));
        QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(TestEnv::writeFile(env.path(QStringLiteral("cn_hscode_2027.csv")), renamedEdition()));
        const QString marker = env.path(QStringLiteral("paused"));
        // An item of the company's library on the line the edition renames: it goes on the worklist.
        QVERIFY(TestDatabase::exec(db, library::ItemStore::createStatement() + QStringLiteral(
            ";INSERT INTO item (part_no, name, code, basis, changed_at, version) VALUES ('H-1', '种马', "
            "'0101210010', '{\"name\":\"改良种用濒危野马\"}', '2026-01-01T00:00:00+08:00', 1)")));

        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        if (!pause.isEmpty())
            environment.insert(QString::fromLatin1(edition::PausePoint::variable()), pause + u':' + marker);
        child.setProcessEnvironment(environment);
        child.setWorkingDirectory(env.workDir());
        child.start(program, {QStringLiteral("--import"), QStringLiteral("cn_hscode_2027.csv")});
        QVERIFY(child.waitForStarted());
        if (pause.isEmpty()) {
            QVERIFY(child.waitForFinished(60000));
            const QString out = QString::fromUtf8(child.readAllStandardOutput());
            QVERIFY2(child.exitCode() == 0, qPrintable(out + child.readAllStandardError()));
            QVERIFY2(out.contains(QStringLiteral("数据库：%1").arg(db)) && out.contains(QStringLiteral("版本 CN2027")),
                     qPrintable(out));
            QCOMPARE(TestDatabase::column(db, kName), QStringList{QStringLiteral("改良种用濒危野马（新）")});
            QCOMPARE(edition::EditionBackups(db).list().size(), 1);
            QVERIFY2(out.contains(QStringLiteral("商品归类库: 1 个商品中有 1 个需要复核")), qPrintable(out));
            QCOMPARE(TestDatabase::column(db, QStringLiteral("SELECT review_changes FROM item")),
                     QStringList{QStringLiteral("名称: 改良种用濒危野马 → 改良种用濒危野马（新）")});
            return;
        }
        QVERIFY2(QTest::qWaitFor([&] { return QFile::exists(marker) || child.state() == QProcess::NotRunning; }, 60000),
                 "the import did not reach its pause point");
        QVERIFY2(QFile::exists(marker), child.readAllStandardError().constData());
        child.kill();
        QVERIFY(child.waitForFinished());

        // The next program to open the file rolls the cut-short transaction back.
        runtime::Transaction sqlca;
        sqlca.dbParm = QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(db));
        sqlca.autoCommit = false;
        QCOMPARE(sqlca.connect(), 0);
        QCOMPARE(commodityDatabaseState(&sqlca), DatabaseState::Ready);
        sqlca.disconnect();
        QCOMPARE(TestDatabase::column(db, QStringLiteral("PRAGMA integrity_check")), QStringList{QStringLiteral("ok")});
        QCOMPARE(TestDatabase::column(db, kName), QStringList{QStringLiteral("改良种用濒危野马")});
        QCOMPARE(TestDatabase::column(db, QStringLiteral("SELECT count(*) FROM list_hscode WHERE op_user = 'CN2026'")),
                 QStringList{QStringLiteral("12127")});
        const QStringList backups = edition::EditionBackups(db).list();
        // Killed in the transaction: the copy was whole before it began (and equals the file).
        QCOMPARE(backups.size(), pause == QLatin1String("apply") ? 1 : 0);
    }
};

KIV_TEST_GUILESS_MAIN(tst_ImportCommand)
#include "tst_importcommand.moc"
