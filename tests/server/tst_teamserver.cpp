// The program on a team database: a real PostgreSQL server of the test's own (PostgresCluster),
// set up by --init-server, reached through the data source that f_registerodbc registers.

#include "app/kiv.h"
#include "core/data/dataviews.h"
#include "core/edition/EditionUndo.h"
#include "core/edition/ImportCommand.h"
#include "core/edition/ServerEditionBackups.h"
#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/server/ConsistentRead.h"
#include "core/server/InitServerCommand.h"
#include "core/server/ServerConnection.h"
#include "core/server/ServerRegistration.h"
#include "core/server/ServerSettings.h"
#include "core/session/f_registerodbc.h"
#include "core/session/globals.h"
#include "ui/auxiliary/u_list_dw.h"
#include "ui/mainwin/TrayIcon.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/options/w_sys_option.h"

#include "support/ChapterListDriver.h"
#include "support/TeamServer.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using runtime::ColumnType;

namespace {

using Server = TeamServer;

// A port where the connection is accepted and then nothing is ever answered.
class SilentServer
{
public:
    SilentServer()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
            && ::listen(m_fd, 4) == 0 && ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~SilentServer()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace

class tst_teamserver : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void setUpCopiesTheBundledDataAndRefusesASecondTime();
    void dataSourceKeysFollowTheKindOfDatabase();
    void startFailures_data();
    void startFailures();
    void eachRoleHasItsOwnChapterChoices();
    void loadingReadsOneSnapshot();
    void importAndUndoKeepTheChoices();

private:
    std::unique_ptr<runtime::Transaction> connectAs(const QString &user) { return m_server.connectAs(user); }
    QString adminConnect() const { return m_server.adminConnectString(); }

    TeamServer m_server;
};

void tst_teamserver::initTestCase()
{
    TrayIcon::setAvailableForTesting(1); // the start-up adds its tray icon
    const QString missing = PostgresCluster::missingReason();
    if (!missing.isEmpty())
        QSKIP(qPrintable(missing));
    QString error;
    QVERIFY2(m_server.start(false, &error), qPrintable(error));
    QVERIFY(m_server.cluster().exec(QStringLiteral("postgres"), {QStringLiteral("CREATE ROLE idle NOLOGIN PASSWORD 'idle-pw'")}));
}

void tst_teamserver::setUpCopiesTheBundledDataAndRefusesASecondTime()
{
    const QStringList command{QStringLiteral("kivtree"), QStringLiteral("--init-server")};
    QString out, err;
    QTextStream o(&out), e(&err);
    QCOMPARE(server::InitServerCommand::run(command, {}, adminConnect(), Server::bundledDatabase(), o, e), 0);
    QVERIFY2(err.isEmpty(), qPrintable(err));

    auto alice = connectAs(QStringLiteral("alice"));
    for (const char *table : {"list_hscode", "list_jmwcode", "tariff_line", "tariff_chapter",
                                 "supervision_certificate", "inspection_category"}) {
        const QString count = QStringLiteral("SELECT count(*) FROM %1").arg(table);
        QCOMPARE(Server::scalar(alice.get(), count), TestDatabase::column(Server::bundledDatabase(), count).value(0));
    }
    // Texts come back whole and unpadded, the longest names too.
    const QString longest = QStringLiteral("SELECT name FROM list_hscode ORDER BY length(name) DESC, code LIMIT 1");
    QCOMPARE(Server::scalar(alice.get(), longest), TestDatabase::column(Server::bundledDatabase(), longest).value(0));
    QCOMPARE(Server::scalar(alice.get(), QStringLiteral("SELECT flag || '|' FROM dbo.list_hscode WHERE code = '01'")),
             QStringLiteral("Y|"));

    out.clear();
    QCOMPARE(server::InitServerCommand::run(command, {}, adminConnect(), Server::bundledDatabase(), o, e), 2);
    QVERIFY2(err.contains(QStringLiteral("已有商品编码表")), qPrintable(err));
    err.clear();
    QCOMPARE(server::InitServerCommand::run(command + QStringList{QStringLiteral("--force")}, {}, adminConnect(),
                                            Server::bundledDatabase(), o, e),
             0);
    QVERIFY2(out.contains(QStringLiteral("备份模式 dbo_backup_")), qPrintable(out));
    const QString backup = out.section(QStringLiteral("备份模式 "), 1).section(QStringLiteral("。"), 0, 0);
    QCOMPARE(Server::scalar(alice.get(), QStringLiteral("SELECT count(*) FROM %1.list_hscode_shared").arg(backup)),
             Server::scalar(alice.get(), QStringLiteral("SELECT count(*) FROM list_hscode")));
    QCOMPARE(server::InitServerCommand::run(command, QStringLiteral("配置文件中没有 [server] 节"), adminConnect(),
                                            Server::bundledDatabase(), o, e),
             2);
}

void tst_teamserver::dataSourceKeysFollowTheKindOfDatabase()
{
    TestEnv env;
    const QString profile = env.configHome() + QStringLiteral("/velquor_kiv.ini");
    QVERIFY(TestEnv::writeFile(profile, m_server.profileSection(QStringLiteral("alice"))));
    QCOMPARE(f_registerodbc(), 1); // no K-I-V.db needed
    QByteArray ini = TestEnv::readFile(env.odbcIni());
    for (const QString &line : {QStringLiteral("Servername=127.0.0.1"), QStringLiteral("Database=kiv"),
                                QStringLiteral("Username=alice"), QStringLiteral("pqopt=connect_timeout=5"),
                                QStringLiteral("Driver=") + server::ServerConnection::driverLibrary()})
        QVERIFY2(ini.contains(line.toUtf8()), qPrintable(line));
    for (const char *key : {"Password", "NoCreat", "UID=", "PWD="})
        QVERIFY2(!ini.contains(key), key);
    QCOMPARE(int(QFile::permissions(env.odbcIni()) & 0x0777), int(QFileDevice::ReadUser | QFileDevice::WriteUser));

    // The password from libpq's password file; a typed one stored in the entry wins over it.
    const QString passFile = env.path(QStringLiteral("pgpass"));
    QVERIFY(TestEnv::writeFile(passFile, QStringLiteral("127.0.0.1:%1:kiv:alice:alice-pw\n").arg(m_server.port()).toUtf8()));
    QFile::setPermissions(passFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    qputenv("PGPASSFILE", passFile.toLocal8Bit());
    const auto currentUser = [] {
        auto t = Server::transaction(QStringLiteral("DSN=K-I-V"));
        return t->connect() == 0 ? Server::scalar(t.get(), QStringLiteral("SELECT current_user")) : t->sqlErrText();
    };
    QCOMPARE(currentUser(), QStringLiteral("alice"));
    QCOMPARE(server::ServerRegistration::setPassword(QStringLiteral("typed wrong")), 1);
    QVERIFY(currentUser().contains(QStringLiteral("password authentication failed")));
    QCOMPARE(int(QFile::permissions(env.odbcIni()) & 0x0777), int(QFileDevice::ReadUser | QFileDevice::WriteUser));
    QCOMPARE(server::ServerRegistration::setPassword(QString()), 1);
    QCOMPARE(currentUser(), QStringLiteral("alice"));
    qunsetenv("PGPASSFILE");

    // Back to the bundled file: the server's keys go, the file's come back.
    QCOMPARE(server::ServerRegistration::setPassword(QStringLiteral("secret")), 1);
    QCOMPARE(server::ServerSettings::clear(profile), 1);
    QVERIFY(TestDatabase::create(env.path(QStringLiteral("K-I-V.db"))));
    QCOMPARE(f_registerodbc(), 1);
    ini = TestEnv::readFile(env.odbcIni());
    for (const char *key : {"Servername", "Username", "Password", "pqopt", "Port="})
        QVERIFY2(!ini.contains(key), key);
    QVERIFY(ini.contains("NoCreat=1"));
    QVERIFY(ini.contains("Driver=" KIV_SQLITE_ODBC_DRIVER));
}

void tst_teamserver::startFailures_data()
{
    QTest::addColumn<QByteArray>("profile");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("reason");
    const QString connection = QStringLiteral("数据库连接失败!");
    const QString title = QStringLiteral("系统提醒您:");
    QTest::newRow("server not running") << m_server.profileSection(QStringLiteral("alice"), Server::database(), PostgresCluster::freePort())
                                        << "alice-pw" << title << connection << "Connection refused";
    QTest::newRow("server never answers") << QByteArray("silent") << "alice-pw" << title << connection << "timeout";
    QTest::newRow("wrong password") << m_server.profileSection(QStringLiteral("alice")) << "bob-pw" << title
                                    << connection << "password authentication failed";
    QTest::newRow("unknown database") << m_server.profileSection(QStringLiteral("alice"), QStringLiteral("nowhere"))
                                      << "alice-pw" << title << connection << "database \"nowhere\" does not exist";
    QTest::newRow("role without login") << m_server.profileSection(QStringLiteral("idle")) << "idle-pw" << title
                                        << connection << "not permitted to log in";
    const QString registration = QStringLiteral("注册数据库失败!");
    const QString bad = QStringLiteral("错 误 信 息");
    QTest::newRow("port not a number") << QByteArray("[server]\r\ndriver=postgresql\r\nhost=h\r\nport=x1\r\n"
                                                     "database=kiv\r\nuser=alice\r\n")
                                       << "" << bad << registration << "port 项不是数字";
}

// The start-up as the user meets it: the system's message and the reason, soon, and never the
// bundled file in place of the server.
void tst_teamserver::startFailures()
{
    QFETCH(QByteArray, profile);
    QFETCH(QString, password);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(QString, reason);
    TestEnv env;
    QVERIFY(TestDatabase::create(env.path(QStringLiteral("K-I-V.db"))));
    SilentServer silent;
    if (profile == "silent")
        profile = m_server.profileSection(QStringLiteral("alice"), Server::database(), silent.port());
    QVERIFY(TestEnv::writeFile(env.configHome() + QStringLiteral("/velquor_kiv.ini"), profile));
    if (!password.isEmpty())
        QCOMPARE(server::ServerRegistration::setPassword(password), 1);
    MessageRecorder recorder;
    kiv::kiv app;
    app.create();
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(app.open(), -1);
    const qint64 elapsed = clock.elapsed();
    app.destroy();
    QCOMPARE(recorder.boxes().size(), 1);
    QCOMPARE(recorder.boxes().first().title, title);
    const QString text = recorder.boxes().first().text;
    QVERIFY2(text.startsWith(message + QStringLiteral("\n\n")) && text.contains(reason), qPrintable(text));
    // A bound on a hang, with room for a loaded machine: the login timeout is five seconds.
    QVERIFY2(elapsed < 9000, qPrintable(QString::number(elapsed)));
}

// The options dialog's save as one role, plain SQL as another: each sees its own flags, and the
// main window's loading builds each its own trees.
void tst_teamserver::eachRoleHasItsOwnChapterChoices()
{
    auto alice = connectAs(QStringLiteral("alice"));
    auto bob = connectAs(QStringLiteral("bob"));
    runtime::DataView options;
    options.setDefinition(d_option_hgats());
    options.setTransObject(alice.get());
    QVERIFY(options.retrieve() > 90);
    QVERIFY(options.setItem(options.find(QStringLiteral("code = '01'"), 1, options.rowCount()), QStringLiteral("flag"),
                            QStringLiteral("N"))
            == 1);
    QCOMPARE(options.update(), 1);
    QCOMPARE(alice->commit(), 0);
    QCOMPARE(bob->execute(QStringLiteral("UPDATE list_jmwcode SET flag = 'N' WHERE jmw_code = '02'")), 0);
    QCOMPARE(bob->sqlNRows(), 1L); // the trigger returns the row: the update counts it
    QCOMPARE(bob->commit(), 0);

    const QString flags = QStringLiteral("SELECT (SELECT flag FROM list_hscode WHERE code = '01') || "
                                         "(SELECT flag FROM list_jmwcode WHERE jmw_code = '02')");
    QCOMPARE(Server::scalar(alice.get(), flags), QStringLiteral("NY"));
    QCOMPARE(Server::scalar(bob.get(), flags), QStringLiteral("YN"));
    auto admin = Server::transaction(adminConnect());
    QCOMPARE(admin->connect(), 0);
    QCOMPARE(Server::scalar(admin.get(), flags), QStringLiteral("YY"));

    // The whole start of the program as each role: the trees hold the role's own chapters.
    const auto startedAs = [this](const QString &role) {
        TestEnv env;
        TestEnv::writeFile(env.configHome() + QStringLiteral("/velquor_kiv.ini"), m_server.profileSection(role));
        server::ServerRegistration::setPassword(role + QStringLiteral("-pw"));
        MessageRecorder recorder;
        kiv::kiv app;
        app.create();
        long found = -2;
        if (app.open() == 1 && QTest::qWaitFor([&] { return app.mainWindow()->dw_1->rowCount() > 10000; }))
            found = app.mainWindow()->dw_1->find(QStringLiteral("code like '01%'"), 1, app.mainWindow()->dw_1->rowCount());
        app.destroy();
        return recorder.boxes().isEmpty() ? found : -3;
    };
    QCOMPARE(startedAs(QStringLiteral("alice")), 0L);
    QVERIFY(startedAs(QStringLiteral("bob")) > 0);
}

void tst_teamserver::loadingReadsOneSnapshot()
{
    auto reader = connectAs(QStringLiteral("alice"));
    auto writer = connectAs(QStringLiteral("bob"));
    const QString notes = QStringLiteral("SELECT count(*) FROM user_note");
    const QString before = Server::scalar(reader.get(), notes);
    {
        const server::ConsistentRead snapshot(reader.get());
        QVERIFY(snapshot.active());
        QCOMPARE(Server::scalar(reader.get(), QStringLiteral("SELECT current_setting('transaction_isolation')")),
                 QStringLiteral("repeatable read"));
        QCOMPARE(Server::scalar(reader.get(), notes), before);
        QCOMPARE(writer->execute(QStringLiteral("INSERT INTO user_note (list, code, note, changed_at, version) "
                                                "VALUES ('hs', '01', 'x', '2026-01-01T00:00:00', 1)")),
                 0);
        QCOMPARE(writer->commit(), 0);
        QCOMPARE(Server::scalar(reader.get(), notes), before);
    }
    QCOMPARE(Server::scalar(reader.get(), notes), QString::number(before.toInt() + 1));
    QCOMPARE(writer->execute(QStringLiteral("DELETE FROM user_note")), 0);
    QCOMPARE(writer->commit(), 0);

    TestEnv env;
    QVERIFY(TestDatabase::create(env.path(QStringLiteral("K-I-V.db"))));
    auto file = Server::transaction(TestEnv::directConnectString(env.path(QStringLiteral("K-I-V.db"))));
    QCOMPARE(file->connect(), 0);
    QVERIFY(!server::ConsistentRead(file.get()).active());
}


// --import against the server by the owner: the edition whole in one transaction with its
// backup tables; 恢复上一版本 puts the rows back. Chapter choices, each role's own, survive both.
void tst_teamserver::importAndUndoKeepTheChoices()
{
    TestEnv env;
    const QByteArray bundled = TestEnv::readFile(QStringLiteral(KIV_SOURCE_DIR "/db/cn_hscode_2026.csv"));
    QVERIFY(TestEnv::writeFile(env.path(QStringLiteral("cn_hscode_2027.csv")),
                               QByteArray(bundled).replace(",改良种用濒危野马,", ",改良种用濒危野马（新）,")));
    auto alice = connectAs(QStringLiteral("alice"));
    const QString name = QStringLiteral("SELECT name FROM list_hscode WHERE code = '0101210010'");
    const QString editions = QStringLiteral("SELECT string_agg(DISTINCT op_user, ',') FROM list_hscode "
                                            "WHERE length(code) = 10");
    const QString choice = QStringLiteral("SELECT flag FROM list_hscode WHERE code = '01'");
    QCOMPARE(Server::scalar(alice.get(), choice), QStringLiteral("N")); // from the test before
    QVERIFY(server::ServerEditionBackups::newest(alice.get()).isEmpty());

    QString out, err;
    QTextStream o(&out), e(&err);
    QCOMPARE(edition::ImportCommand::run({QStringLiteral("kivtree"), QStringLiteral("--import"),
                                          QStringLiteral("cn_hscode_2027.csv")},
                                         m_server.adminConnectString(), o, e, env.workDir()),
             0);
    QVERIFY2(out.contains(QStringLiteral("服务器上的备份表 #")), qPrintable(out + err));
    QCOMPARE(Server::scalar(alice.get(), name), QStringLiteral("改良种用濒危野马（新）"));
    QCOMPARE(Server::scalar(alice.get(), editions), QStringLiteral("CN2027"));
    QCOMPARE(Server::scalar(alice.get(), choice), QStringLiteral("N"));
    QVERIFY(!server::ServerEditionBackups::newest(alice.get()).isEmpty());

    auto owner = Server::transaction(adminConnect());
    QCOMPARE(owner->connect(), 0);
    const edition::EditionUndo::Result undone = edition::EditionUndo::restoreNewest(owner.get(), QString());
    QVERIFY2(undone.ok, qPrintable(undone.message));
    QCOMPARE(Server::scalar(alice.get(), name), QStringLiteral("改良种用濒危野马"));
    QCOMPARE(Server::scalar(alice.get(), editions), QStringLiteral("CN2026"));
    QCOMPARE(Server::scalar(alice.get(), choice), QStringLiteral("N"));
    QVERIFY(server::ServerEditionBackups::newest(alice.get()).isEmpty());
    QVERIFY(!edition::EditionUndo::restoreNewest(owner.get(), QString()).ok);
}

KIV_TEST_MAIN(tst_teamserver)
#include "tst_teamserver.moc"
