// The program's connections to a real team database: passwords with the characters that the
// driver decodes or the connect string splits on, a lock another session holds while the
// program tests, loads or saves, and the sentences 测试连接 answers with.

#include "app/kiv.h"
#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/server/ServerConnection.h"
#include "core/server/ServerRegistration.h"
#include "core/session/f_registerodbc.h"
#include "core/tariff/NotesStore.h"
#include "support/ChapterListDriver.h"
#include "ui/auxiliary/u_list_dw.h"
#include "ui/mainwin/TrayIcon.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/options/w_sys_option.h"
#include "ui/server/w_datasource.h"

#include "support/TeamServer.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QLabel>
#include <QtTest>

using server::ServerConnection;

class tst_serverconnection : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void passwordsConnectInTheTestAndAtTheNextStart_data();
    void passwordsConnectInTheTestAndAtTheNextStart();
    void aHeldLockIsAnsweredWithinTheTimeout_data();
    void aHeldLockIsAnsweredWithinTheTimeout();
    void aHeldLockAtStartEndsTheLoadingInTime();
    void aHeldLockDuringASaveWarnsInTime();
    void theDialogAnswersAndClosesWithinTheTimeout();
    void connectionTestSaysWhatWentWrong_data();
    void connectionTestSaysWhatWentWrong();

private:
    server::ServerSettings settings(const QString &user, const QString &database = TeamServer::database()) const;
    TeamServer m_server;
};

server::ServerSettings tst_serverconnection::settings(const QString &user, const QString &database) const
{
    server::ServerSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = QString::number(m_server.port());
    s.database = database;
    s.user = user;
    return s;
}

void tst_serverconnection::initTestCase()
{
    const QString missing = PostgresCluster::missingReason();
    if (!missing.isEmpty())
        QSKIP(qPrintable(missing));
    QString error;
    QVERIFY2(m_server.start(true, &error), qPrintable(error));
    QVERIFY(m_server.cluster().exec(QStringLiteral("postgres"),
                                    {QStringLiteral("CREATE ROLE carol LOGIN IN ROLE kivtree_users"),
                                     QStringLiteral("CREATE ROLE outsider LOGIN PASSWORD 'outsider-pw'")}));
}

void tst_serverconnection::passwordsConnectInTheTestAndAtTheNextStart_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("plus and percent") << QStringLiteral("p+w%41x");
    QTest::newRow("blank and plus") << QStringLiteral("x y+z");
    QTest::newRow("connect string characters") << QStringLiteral("a;b{c}=d");
    QTest::newRow("colon, backslash, Chinese") << QStringLiteral("密:码\\1");
}

void tst_serverconnection::passwordsConnectInTheTestAndAtTheNextStart()
{
    QFETCH(QString, password);
    QString literal = password;
    literal.replace(QLatin1Char('\''), QLatin1String("''"));
    QVERIFY(m_server.cluster().exec(QStringLiteral("postgres"),
                                    {QStringLiteral("ALTER ROLE carol PASSWORD '%1'").arg(literal)}));
    // 测试连接, as the dialog calls it.
    QCOMPARE(ServerConnection::test(settings(QStringLiteral("carol")), password), QString());
    // 确定 stores it, and the next start connects through the data source.
    TestEnv env;
    QVERIFY(TestEnv::writeFile(env.configHome() + QStringLiteral("/velquor_kiv.ini"),
                               m_server.profileSection(QStringLiteral("carol"))));
    QCOMPARE(f_registerodbc(), 1);
    QCOMPARE(server::ServerRegistration::setPassword(password), 1);
    QVERIFY(!TestEnv::readFile(env.odbcIni()).contains(password.toUtf8()));
    auto start = TeamServer::transaction(QStringLiteral("DSN=K-I-V"));
    QCOMPARE(start->connect(), 0);
    // The program's own limits come with its connection.
    QCOMPARE(TeamServer::scalar(start.get(), QStringLiteral("SELECT concat_ws(' ', current_user, current_setting('search_path'), "
                                                            "current_setting('statement_timeout'), "
                                                            "current_setting('lock_timeout'))")),
             QStringLiteral("carol dbo,public %1s %2s")
                 .arg(ServerConnection::kStatementTimeoutMs / 1000)
                 .arg(ServerConnection::kLockTimeoutMs / 1000));
    // A connect string written with the password (PWD={...}) connects as well.
    auto direct = TeamServer::transaction(ServerConnection::connectString(settings(QStringLiteral("carol")), password));
    QVERIFY2(direct->connect() == 0, qPrintable(direct->sqlErrText()));
    // A wrong password is still wrong.
    QVERIFY(!ServerConnection::test(settings(QStringLiteral("carol")), password + QLatin1Char('x')).isEmpty());
}

void tst_serverconnection::aHeldLockIsAnsweredWithinTheTimeout_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("work");
    QTest::newRow("测试连接") << "list_hscode_shared" << "test";
    QTest::newRow("loading") << "list_hscode_shared" << "load";
    QTest::newRow("saving a note") << "user_note" << "save";
}

void tst_serverconnection::aHeldLockIsAnsweredWithinTheTimeout()
{
    QFETCH(QString, table);
    QFETCH(QString, work);
    // Another session holds the table as --init-server --force would (dropping a trigger).
    auto holder = TeamServer::transaction(m_server.adminConnectString());
    QCOMPARE(holder->connect(), 0);
    QCOMPARE(holder->execute(QStringLiteral("LOCK TABLE dbo.%1 IN ACCESS EXCLUSIVE MODE").arg(table)), 0);
    QElapsedTimer clock;
    clock.start();
    QString answer;
    if (work == QLatin1String("test")) {
        answer = ServerConnection::test(settings(QStringLiteral("alice")), QStringLiteral("alice-pw"));
        QVERIFY2(answer.contains(QStringLiteral("没有完成查询")), qPrintable(answer));
    } else {
        auto alice = m_server.connectAs(QStringLiteral("alice"));
        if (work == QLatin1String("load")) {
            QVector<QVector<QVariant>> rows;
            QCOMPARE(alice->select(QStringLiteral("SELECT code, name FROM list_hscode"), {runtime::ColumnType::String}, &rows),
                     -1);
            answer = alice->sqlErrText();
        } else {
            tariff::NotesStore store(alice.get());
            const auto saved = store.save(QStringLiteral("hs"), QStringLiteral("01"), QStringLiteral("x"), QString());
            QVERIFY(!saved.ok());
            answer = saved.message;
        }
        QVERIFY2(answer.contains(QStringLiteral("lock timeout")), qPrintable(answer));
    }
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= ServerConnection::kLockTimeoutMs - 500 && elapsed < ServerConnection::kStatementTimeoutMs,
             qPrintable(QString::number(elapsed)));
    holder->rollback();
}

// The whole start as alice while another session holds the customs list: the loading's own
// message, soon, never a window that waits for ever.
void tst_serverconnection::aHeldLockAtStartEndsTheLoadingInTime()
{
    TrayIcon::setAvailableForTesting(1);
    auto holder = TeamServer::transaction(m_server.adminConnectString());
    QCOMPARE(holder->connect(), 0);
    QCOMPARE(holder->execute(QStringLiteral("LOCK TABLE dbo.list_hscode_shared IN ACCESS EXCLUSIVE MODE")), 0);
    TestEnv env;
    QVERIFY(TestEnv::writeFile(env.configHome() + QStringLiteral("/velquor_kiv.ini"),
                               m_server.profileSection(QStringLiteral("alice"))));
    QCOMPARE(server::ServerRegistration::setPassword(QStringLiteral("alice-pw")), 1);
    MessageRecorder recorder;
    QElapsedTimer clock;
    clock.start();
    {
        kiv::kiv app;
        app.create();
        if (app.open() == 1)
            QVERIFY(QTest::qWaitFor([&] { return !recorder.boxes().isEmpty(); }, 30000));
        app.destroy();
    }
    const qint64 elapsed = clock.elapsed();
    holder->rollback();
    QCOMPARE(recorder.boxes().size(), 1);
    QCOMPARE(recorder.boxes().first().text, QStringLiteral("创建商品数据存储失败,系统将退出!"));
    QVERIFY2(elapsed < ServerConnection::kStatementTimeoutMs, qPrintable(QString::number(elapsed)));
}

// The options dialog's 应用 as alice while another session holds the chapter choices: the
// save warning within the lock timeout, the choice kept in the dialog; the retry saves it.
void tst_serverconnection::aHeldLockDuringASaveWarnsInTime()
{
    TrayIcon::setAvailableForTesting(1);
    TestEnv env;
    QVERIFY(TestEnv::writeFile(env.configHome() + QStringLiteral("/velquor_kiv.ini"),
                               m_server.profileSection(QStringLiteral("alice"))));
    QCOMPARE(server::ServerRegistration::setPassword(QStringLiteral("alice-pw")), 1);
    MessageRecorder recorder;
    kiv::kiv app;
    app.create();
    QCOMPARE(app.open(), 1);
    w_kiv *main = app.mainWindow();
    QVERIFY(QTest::qWaitFor([&] { return main->dw_1->rowCount() > 10000; }, 30000));
    w_sys_option *options = w_sys_option::openFor(main);
    QVERIFY(QTest::qWaitFor([&] { return options->dw_1->dataView()->rowCount() > 90; }, 10000));
    const QString before = options->dw_1->dataView()->itemString(1, QStringLiteral("flag"));
    ChapterListDriver::toggleFlag(options->dw_1, 1);

    auto holder = TeamServer::transaction(m_server.adminConnectString());
    QCOMPARE(holder->connect(), 0);
    QCOMPARE(holder->execute(QStringLiteral("LOCK TABLE dbo.chapter_choice IN ACCESS EXCLUSIVE MODE")), 0);
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(options->cb_3, Qt::LeftButton); // 应用
    QTRY_VERIFY_WITH_TIMEOUT(!recorder.boxes().isEmpty(), 20000);
    const qint64 elapsed = clock.elapsed();
    holder->rollback();
    QCOMPARE(recorder.boxes().last().text, QStringLiteral("Hello User,The Operate is  invalidation!!"));
    QVERIFY2(elapsed < ServerConnection::kStatementTimeoutMs, qPrintable(QString::number(elapsed)));
    QVERIFY(options->dw_1->dataView()->itemString(1, QStringLiteral("flag")) != before);

    QTest::mouseClick(options->cb_3, Qt::LeftButton);
    QCOMPARE(recorder.boxes().size(), 1);
    auto alice = m_server.connectAs(QStringLiteral("alice"));
    QVERIFY(TeamServer::scalar(alice.get(), QStringLiteral("SELECT flag FROM list_hscode ORDER BY code LIMIT 1")) != before);
    options->close();
    app.close();
    app.destroy();
}

// 数据源设置 with the real probe, typed and clicked as a user does: the answer in words, the
// window painting meanwhile; closed during a test that waits for a lock, it is gone within
// the test's own limits.
void tst_serverconnection::theDialogAnswersAndClosesWithinTheTimeout()
{
    TestEnv env;
    const auto make = [&] {
        auto d = std::make_unique<server::w_datasource>(env.path(QStringLiteral("kiv.ini")), &ServerConnection::test,
                                                        server::w_datasource::PasswordStore());
        d->show();
        QTest::mouseClick(d->rb_server, Qt::LeftButton, {}, QPoint(4, d->rb_server->height() / 2));
        for (QLineEdit *field : {d->sle_host, d->sle_port, d->sle_database, d->sle_user, d->sle_password})
            field->clear();
        QTest::keyClicks(d->sle_host, QStringLiteral("127.0.0.1"));
        QTest::keyClicks(d->sle_port, QString::number(PostgresCluster::freePort()));
        QTest::keyClicks(d->sle_database, TeamServer::database());
        QTest::keyClicks(d->sle_user, QStringLiteral("alice"));
        QTest::keyClicks(d->sle_password, QStringLiteral("alice-pw"));
        return d;
    };
    auto d = make();
    QSignalSpy tested(d.get(), &server::w_datasource::tested);
    QTest::keyClick(d->cb_test, Qt::Key_Space);
    QTRY_COMPARE_WITH_TIMEOUT(tested.size(), 1, 15000);
    QVERIFY2(d->st_status->text().contains(QStringLiteral("拒绝了连接")), qPrintable(d->st_status->text()));
    QVERIFY(!d->st_status->text().contains(QLatin1String("SQLSTATE")));

    auto holder = TeamServer::transaction(m_server.adminConnectString());
    QCOMPARE(holder->connect(), 0);
    QCOMPARE(holder->execute(QStringLiteral("LOCK TABLE dbo.list_hscode_shared IN ACCESS EXCLUSIVE MODE")), 0);
    d = make();
    d->sle_port->clear();
    QTest::keyClicks(d->sle_port, QString::number(m_server.port()));
    QTest::keyClick(d->cb_test, Qt::Key_Space);
    QTest::qWait(300); // connected by now, waiting for the lock
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(d.get(), Qt::Key_Escape);
    d.reset();
    QVERIFY2(clock.elapsed() < ServerConnection::kConnectTimeout * 1000 + ServerConnection::kLockTimeoutMs,
             qPrintable(QString::number(clock.elapsed())));
    holder->rollback();
}

void tst_serverconnection::connectionTestSaysWhatWentWrong_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("database");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("refused") << "alice" << "alice-pw" << "kiv" << PostgresCluster::freePort() << "拒绝了连接";
    QTest::newRow("wrong password") << "alice" << "bob-pw" << "kiv" << 0 << "alice 的密码不对";
    QTest::newRow("unknown database") << "alice" << "alice-pw" << "nowhere" << 0 << "没有数据库 nowhere";
    QTest::newRow("not in the team") << "outsider" << "outsider-pw" << "kiv" << 0 << "GRANT kivtree_users TO outsider";
    QTest::newRow("not set up") << "kivadmin" << "kiv-admin-pw" << "postgres" << 0 << "kivtree --init-server";
}

void tst_serverconnection::connectionTestSaysWhatWentWrong()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, database);
    QFETCH(int, port);
    QFETCH(QString, sentence);
    server::ServerSettings s = settings(user, database);
    if (port)
        s.port = QString::number(port);
    const QString answer = ServerConnection::test(s, password);
    QVERIFY2(answer.contains(sentence), qPrintable(answer));
    QVERIFY2(!answer.contains(QLatin1String("SQLSTATE")), qPrintable(answer));
}

KIV_TEST_MAIN(tst_serverconnection)
#include "tst_serverconnection.moc"
