#include "app/kiv.h"

#include "core/runtime/DataView.h"
#include "core/runtime/ProfileStrings.h"
#include "core/runtime/Transaction.h"
#include "core/session/globals.h"
#include "support/ChapterListDriver.h"
#include "support/ForeignLock.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "ui/auxiliary/u_list_dw.h"
#include "ui/mainwin/DetailPanel.h"
#include "ui/mainwin/TrayIcon.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/options/w_sys_option.h"
#include "ui/tree/u_tv.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <sqlite3.h>

namespace {
const auto readAll = &TestEnv::readFile;
const auto writeFile = &TestEnv::writeFile;

bool makeDatabase(const QString &file)
{
    return TestDatabase::create(file)
           && TestDatabase::exec(file, QStringLiteral(
                  "INSERT INTO list_hscode(code, name, flag) VALUES ('01', '活动物', 'Y'), ('0101', '马', NULL);"
                  "INSERT INTO list_jmwcode(jmw_code, name, flag) VALUES ('01', '活动物', 'Y');"));
}

// The whole program running on the small database, with its options dialog open.
struct RunningProgram
{
    TestEnv env;
    const QString db = env.path(QStringLiteral("K-I-V.db"));
    MessageRecorder recorder;
    kiv::kiv app;
    w_kiv *main = nullptr;
    w_sys_option *options = nullptr;

    // False when the program does not start or the trees or the dialog's lists do not load.
    bool startWithOptions()
    {
        if (!makeDatabase(db))
            return false;
        app.create();
        if (app.open() != 1)
            return false;
        main = app.mainWindow();
        if (!QTest::qWaitFor([this] { return main->tv_1->itemCount() == 3; })) // root, 01, 0101
            return false;
        options = w_sys_option::openFor(main);
        return QTest::qWaitFor([this] { return options->dw_1->dataView()->rowCount() == 1; });
    }
};
} // namespace

// The whole program's start against broken surroundings: each fault ends in the system's
// message or a sound default, never in a crash, and nothing of the user's is lost.
class tst_KivFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TrayIcon::setAvailableForTesting(1); }

    void databaseLockedByAnotherProgramAtStart()
    {
        TestEnv env;
        const QString db = env.path(QStringLiteral("K-I-V.db"));
        QVERIFY(makeDatabase(db));
        const QByteArray before = readAll(db);
        ForeignLock lock(db);
        QVERIFY(lock.locked());
        MessageRecorder recorder;
        kiv::kiv app;
        app.create();
        QElapsedTimer clock;
        clock.start();
        app.open();
        // The failure comes from the loading posted by the window's open event.
        QTRY_VERIFY_WITH_TIMEOUT(!recorder.boxes().isEmpty(), 20000);
        qInfo("a locked database was reported after %lld ms", clock.elapsed());
        const QStringList expected{QStringLiteral("数据库连接失败!"), QStringLiteral("创建商品数据存储失败,系统将退出!")};
        QVERIFY2(expected.contains(recorder.boxes().first().text), qPrintable(recorder.boxes().first().text));
        QCOMPARE(recorder.boxes().first().title, QStringLiteral("系统提醒您:"));
        app.destroy();
        QCOMPARE(readAll(db), before);
    }

    void databaseLockedDuringASaveSavesNothingUntilRetried()
    {
        RunningProgram p;
        QVERIFY(p.startWithOptions());
        ChapterListDriver::toggleFlag(p.options->dw_1, 1); // 01 off

        {
            ForeignLock lock(p.db);
            QVERIFY(lock.locked());
            QTest::mouseClick(p.options->cb_3, Qt::LeftButton); // 应用
            QTRY_VERIFY_WITH_TIMEOUT(!p.recorder.boxes().isEmpty(), 20000);
            QCOMPARE(p.recorder.boxes().last().title, QStringLiteral("Warning :"));
            QCOMPARE(p.recorder.boxes().last().text, QStringLiteral("Hello User,The Operate is  invalidation!!"));
        }
        QCOMPARE(TestDatabase::column(p.db, QStringLiteral("SELECT flag FROM list_hscode WHERE code = '01'")),
                 QStringList{QStringLiteral("Y")});
        QCOMPARE(p.options->dw_1->dataView()->itemString(1, QStringLiteral("flag")), QStringLiteral("N"));

        // Once the other program lets go, the same save goes through and the trees follow.
        QTest::mouseClick(p.options->cb_3, Qt::LeftButton);
        QCOMPARE(p.recorder.boxes().size(), 1);
        QCOMPARE(TestDatabase::column(p.db, QStringLiteral("SELECT flag FROM list_hscode WHERE code = '01'")),
                 QStringList{QStringLiteral("N")});
        QTRY_COMPARE(p.main->tv_1->itemCount(), 1); // only the root: no chapter is chosen
        p.options->close();
        p.app.close();
    }

    // The database turning read-only while the program runs. Root ignores file permissions and
    // an open file stays writable after a chmod, so the engine's own read-only switch stands in:
    // every write is refused with the same "readonly database" error a read-only file gives.
    void databaseReadOnlyDuringASaveSavesNothingUntilRetried()
    {
        RunningProgram p;
        QVERIFY(p.startWithOptions());
        ChapterListDriver::toggleFlag(p.options->dw_1, 1); // 01 off
        ChapterListDriver::toggleFlag(p.options->dw_2, 1);
        const QString hgFlag = QStringLiteral("SELECT flag FROM list_hscode WHERE code = '01'");
        const QString wmFlag = QStringLiteral("SELECT flag FROM list_jmwcode WHERE jmw_code = '01'");

        QCOMPARE(sqlca->execute(QStringLiteral("PRAGMA query_only = ON")), 0);
        QTest::mouseClick(p.options->cb_3, Qt::LeftButton); // 应用
        QCOMPARE(p.recorder.boxes().size(), 1);
        QCOMPARE(p.recorder.boxes().last().title, QStringLiteral("Warning :"));
        QCOMPARE(p.recorder.boxes().last().text, QStringLiteral("Hello User,The Operate is  invalidation!!"));
        QCOMPARE(TestDatabase::column(p.db, hgFlag), QStringList{QStringLiteral("Y")});
        QCOMPARE(TestDatabase::column(p.db, wmFlag), QStringList{QStringLiteral("Y")});
        QCOMPARE(p.options->dw_1->dataView()->modifiedCount(), 1L);
        QCOMPARE(p.options->dw_2->dataView()->modifiedCount(), 1L);
        QCOMPARE(p.main->tv_1->itemCount(), 3); // the trees still show what is stored

        // Writable again: the same save goes through for both lists and the trees follow.
        QCOMPARE(sqlca->execute(QStringLiteral("PRAGMA query_only = OFF")), 0);
        QTest::mouseClick(p.options->cb_3, Qt::LeftButton);
        QCOMPARE(p.recorder.boxes().size(), 1);
        QCOMPARE(TestDatabase::column(p.db, hgFlag), QStringList{QStringLiteral("N")});
        QCOMPARE(TestDatabase::column(p.db, wmFlag), QStringList{QStringLiteral("N")});
        QTRY_COMPARE(p.main->tv_1->itemCount(), 1);
        p.options->close();
        p.app.close();
    }

    void corruptProfileFileIsReadAsDefaultsAndKept()
    {
        TestEnv env;
        QVERIFY(makeDatabase(env.path(QStringLiteral("K-I-V.db"))));
        QByteArray garbage(1024 * 1024, Qt::Uninitialized);
        QRandomGenerator generator(42);
        for (char &c : garbage)
            c = char(generator.bounded(256));
        const QString profile = env.configHome() + QStringLiteral("/velquor_kiv.ini");
        QVERIFY(writeFile(profile, garbage));
        MessageRecorder recorder;
        kiv::kiv app;
        app.create();
        QCOMPARE(app.open(), 1);
        QTRY_COMPARE(app.mainWindow()->tv_1->itemCount(), 3);
        QVERIFY(recorder.boxes().isEmpty());
        QVERIFY(!app.mainWindow()->dwPanel_1->isVisible()); // HGDETAIL reads as "N"
        app.close();
        QCOMPARE(readAll(profile), garbage); // the user's file is not replaced
    }

    void helpFileOfAMegabyte()
    {
        TestEnv env;
        QVERIFY(makeDatabase(env.path(QStringLiteral("K-I-V.db"))));
        QByteArray help = "#1" + QByteArray("一行帮助文字。\r\n").repeated(70000) + "#2Two#3Three#8";
        QVERIFY(help.size() > 1000 * 1000);
        QVERIFY(writeFile(env.path(QStringLiteral("help.TXT")), help));
        MessageRecorder recorder;
        kiv::kiv app;
        app.create();
        QCOMPARE(app.open(), 1);
        // A help file of 32,767 bytes or more is not read: the help windows stay empty.
        for (const QString &text : gs_help)
            QVERIFY(text.isEmpty());
        QVERIFY(recorder.boxes().isEmpty());
        QTRY_COMPARE(app.mainWindow()->tv_1->itemCount(), 3);
        app.close();
    }

    void odbcFilesThatCannotBeWrittenStopWithAMessage()
    {
        TestEnv env;
        QVERIFY(makeDatabase(env.path(QStringLiteral("K-I-V.db"))));
        // Both ODBC files would have to go inside a file: even root cannot write them.
        const QString blocked = env.root() + QStringLiteral("/blocked");
        QVERIFY(writeFile(blocked, "not a folder"));
        qputenv("ODBCINI", (blocked + QStringLiteral("/odbc.ini")).toLocal8Bit());
        qputenv("ODBCSYSINI", blocked.toLocal8Bit());
        MessageRecorder recorder;
        kiv::kiv app;
        app.create();
        // The failed writes are ignored. Where the user's data source exists from an earlier
        // start (unixODBC then reads the home folder's file), the program runs on it; where
        // none exists, the connection fails with the system's message.
        const int opened = app.open();
        if (opened == 1) {
            QVERIFY(recorder.boxes().isEmpty());
            QVERIFY(sqlca->isConnected());
        } else {
            QCOMPARE(opened, -1);
            QVERIFY(!app.mainWindow());
            QCOMPARE(recorder.texts(), QStringList{QStringLiteral("数据库连接失败!")});
        }
        QCOMPARE(readAll(blocked), QByteArray("not a folder"));
    }
};

KIV_TEST_MAIN(tst_KivFaults)
#include "tst_kiv_faults.moc"
