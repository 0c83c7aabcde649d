#include "app/kiv.h"

#include "core/runtime/ProfileStrings.h"
#include "core/runtime/Transaction.h"
#include "core/session/globals.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "ui/mainwin/TrayIcon.h"
#include "ui/mainwin/w_kiv.h"

#include <QFile>
#include <QtTest>

namespace {
QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

bool makeSmallDatabase(const QString &file)
{
    return TestDatabase::create(file)
        && TestDatabase::exec(file, QStringLiteral(
               "INSERT INTO list_hscode(code, name, flag) VALUES ('01', '活动物', 'Y');"
               "INSERT INTO list_hscode(code, name, flag) VALUES ('0101210010', '改良种用濒危野马', NULL);"
               "INSERT INTO list_jmwcode(jmw_code, name, flag) VALUES ('01', '活动物', 'Y');"));
}

const QByteArray kDefaultProfile = "[data]\r\nHGDETAIL=N\r\nWJDETAIL=N\r\nHGtype=R\r\njmwtype=R\r\n";
} // namespace

class tst_Kiv : public QObject
{
    Q_OBJECT
private slots:
    // Start-up is tested on a desktop with a notification area; the tray's own tests cover
    // the desktop without one.
    void initTestCase() { TrayIcon::setAvailableForTesting(1); }

    void createSetsTheApplicationUp()
    {
        TestEnv env;
        kiv::kiv app;
        app.create();
        QCOMPARE(app.appName(), QStringLiteral("kiv"));
        QVERIFY(sqlca);
        QCOMPARE(gs_docname, env.configHome() + QStringLiteral("/velquor_kiv.ini"));
        app.destroy();
        QVERIFY(!sqlca);
    }

    void missingDatabaseStopsBeforeAnythingElse()
    {
        TestEnv env;
        MessageRecorder recorder;
        kiv::kiv app;
        app.create();
        QCOMPARE(app.open(), -1);
        QCOMPARE(recorder.boxes().size(), 1);
        QCOMPARE(recorder.boxes().first().title, QStringLiteral("错 误 信 息"));
        QCOMPARE(recorder.boxes().first().text, QStringLiteral("注册数据库失败!"));
        QCOMPARE(recorder.boxes().first().icon, runtime::MessageIcon::StopSign);
        QCOMPARE(recorder.beeps(), 1);
        QVERIFY(!app.mainWindow());
        QVERIFY(!w_kiv::instance());
        QVERIFY(!QFile::exists(env.odbcIni()));
        QVERIFY(!QFile::exists(gs_docname));
    }

    void startUpOpensTheMainWindow()
    {
        TestEnv env;
        QVERIFY(makeSmallDatabase(env.path(QStringLiteral("K-I-V.db"))));
        writeFile(env.path(QStringLiteral("help.TXT")), "#1Alpha#2Beta#3#4#5#6#7Eta#8");
        MessageRecorder recorder;
        kiv::kiv app;
        app.create();
        QCOMPARE(app.open(), 1);
        QVERIFY(recorder.boxes().isEmpty());
        QCOMPARE(recorder.beeps(), 0);

        // The data source, the connection, the help texts, the profile file.
        QVERIFY(readAll(env.odbcIni()).contains("[K-I-V]"));
        QVERIFY(sqlca->isConnected());
        QVERIFY(!sqlca->autoCommit);
        QCOMPARE(sqlca->dbParm, QStringLiteral("Connectstring='DSN=K-I-V'"));
        QCOMPARE(gs_help[1], QStringLiteral("Alpha"));
        QCOMPARE(gs_help[7], QStringLiteral("Eta"));
        QCOMPARE(readAll(gs_docname), kDefaultProfile);
        QCOMPARE(runtime::profileString(gs_docname, QStringLiteral("data"), QStringLiteral("hgtype"),
                                        QStringLiteral("N")),
                 QStringLiteral("R"));

        QVERIFY(app.mainWindow());
        QCOMPARE(app.mainWindow(), w_kiv::instance());
        QCOMPARE(app.mainWindow()->windowTitle(), QStringLiteral("Kivtree V2.2"));
        QVERIFY(app.toolbarText());
        QCOMPARE(app.microHelpDefault(), QStringLiteral("我们服务于您的信息化建设!"));

        app.close();
        QVERIFY(!sqlca->isConnected());
    }

    void existingProfileIsNeverChanged()
    {
        TestEnv env;
        QVERIFY(makeSmallDatabase(env.path(QStringLiteral("K-I-V.db"))));
        const QString profile = env.configHome() + QStringLiteral("/velquor_kiv.ini");
        const QByteArray custom = "; mine\n[other]\nx=1\n";
        writeFile(profile, custom);
        MessageRecorder recorder;
        kiv::kiv app;
        app.create();
        QCOMPARE(app.open(), 1);
        QCOMPARE(readAll(profile), custom);
        // The keys it lacks read as "N".
        QCOMPARE(runtime::profileString(gs_docname, QStringLiteral("data"), QStringLiteral("HGDETAIL"),
                                        QStringLiteral("N")),
                 QStringLiteral("N"));
    }

    void unwritableProfileFolderIsNoReasonToStop()
    {
        TestEnv env;
        QVERIFY(makeSmallDatabase(env.path(QStringLiteral("K-I-V.db"))));
        // The configuration "folder" is a file: nothing can be created inside it.
        const QString blocked = env.root() + QStringLiteral("/blocked");
        writeFile(blocked, "not a folder");
        qputenv("XDG_CONFIG_HOME", blocked.toLocal8Bit());
        MessageRecorder recorder;
        kiv::kiv app;
        app.create();
        QCOMPARE(app.open(), 1);
        QVERIFY(recorder.boxes().isEmpty());
        QVERIFY(!QFileInfo::exists(gs_docname));
        QCOMPARE(runtime::profileString(gs_docname, QStringLiteral("data"), QStringLiteral("jmwtype"),
                                        QStringLiteral("N")),
                 QStringLiteral("N"));
    }

    void unusableDatabaseFilesStopWithTheConnectionMessage_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("not a database") << "text";
        QTest::newRow("truncated") << "truncated";
    }

    void unusableDatabaseFilesStopWithTheConnectionMessage()
    {
        QFETCH(QString, kind);
        TestEnv env;
        const QString db = env.path(QStringLiteral("K-I-V.db"));
        if (kind == QLatin1String("text")) {
            writeFile(db, QByteArray("this is not a database\n").repeated(200));
        } else {
            QVERIFY(makeSmallDatabase(db));
            QString many = QStringLiteral("BEGIN;");
            for (int i = 0; i < 3000; ++i)
                many += QStringLiteral("INSERT INTO list_hscode(code, name) VALUES ('01%1', '名称名称名称名称名称%1');")
                            .arg(i, 8, 10, QLatin1Char('0'));
            QVERIFY(TestDatabase::exec(db, many + QStringLiteral("COMMIT;")));
            QFile file(db);
            QVERIFY(file.resize(file.size() / 2));
        }
        MessageRecorder recorder;
        kiv::kiv app;
        app.create();
        QCOMPARE(app.open(), -1);
        QCOMPARE(recorder.texts(), QStringList{QStringLiteral("数据库连接失败!")});
        QCOMPARE(recorder.boxes().first().title, QStringLiteral("系统提醒您:"));
        QCOMPARE(recorder.boxes().first().icon, runtime::MessageIcon::StopSign);
        QCOMPARE(recorder.beeps(), 1);
        QVERIFY(!app.mainWindow());
        // The profile file made before the connection stays.
        QCOMPARE(readAll(gs_docname), kDefaultProfile);
    }

    // A sound database without the commodity tables opens the window; its loading then
    // says that the data could not be read, and the program ends.
    void databaseWithoutTheTablesStopsWhileLoading_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty file") << "empty";
        QTest::newRow("other tables only") << "other";
        QTest::newRow("one of the two tables") << "one";
    }

    void databaseWithoutTheTablesStopsWhileLoading()
    {
        QFETCH(QString, kind);
        TestEnv env;
        const QString db = env.path(QStringLiteral("K-I-V.db"));
        if (kind == QLatin1String("empty"))
            writeFile(db, QByteArray());
        else if (kind == QLatin1String("other"))
            QVERIFY(TestDatabase::exec(db, QStringLiteral("CREATE TABLE other(x);")));
        else
            QVERIFY(TestDatabase::exec(db, QStringLiteral("CREATE TABLE list_hscode(code, name, flag);")));
        MessageRecorder recorder;
        kiv::kiv app;
        app.create();
        QCOMPARE(app.open(), 1);
        QVERIFY(app.mainWindow());
        QTRY_COMPARE(recorder.texts(), QStringList{QStringLiteral("创建商品数据存储失败,系统将退出!")});
        QCOMPARE(recorder.boxes().first().title, QStringLiteral("系统提醒您:"));
        QCOMPARE(recorder.boxes().first().icon, runtime::MessageIcon::StopSign);
        QCOMPARE(recorder.beeps(), 1);
    }
};

KIV_TEST_MAIN(tst_Kiv)
#include "tst_kiv.moc"
