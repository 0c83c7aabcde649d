// What 测试连接 tells the user for the texts libpq and the server really give, and how a typed
// password is written where psqlODBC and libpq read it back. No server needed.

#include "core/server/ConnectionProblem.h"
#include "core/server/PasswordFile.h"
#include "core/server/ServerConnection.h"
#include "support/TestMain.h"

#include <QFile>
#include <QtTest>

using server::ConnectionProblem;
using server::ServerConnection;

class tst_connectionproblem : public QObject
{
    Q_OBJECT
private slots:
    void driverTextsBecomeSentences_data();
    void driverTextsBecomeSentences();
    void passwordsAreEncodedAsTheDriverDecodes_data();
    void passwordsAreEncodedAsTheDriverDecodes();
    void passwordFileIsPrivateAndEscaped();
};

void tst_connectionproblem::driverTextsBecomeSentences_data()
{
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("no such host") << "could not translate host name \"db.lan\" to address: Name or service not known"
                                  << "找不到服务器 db.lan";
    QTest::newRow("refused") << "SQLSTATE = 08001\nconnection to server at \"db.lan\" (10.0.0.5), port 5433 failed: "
                                "Connection refused\n\tIs the server running on that host and accepting TCP/IP connections?"
                             << "服务器 db.lan 拒绝了连接：端口 5433";
    QTest::newRow("no answer") << "connection to server at \"db.lan\", port 5433 failed: timeout expired"
                               << "在规定时间内没有应答";
    QTest::newRow("lock") << "SQLSTATE = 55P03\nERROR: canceling statement due to lock timeout"
                          << "没有完成查询（可能另一位用户正在导入或恢复）";
    QTest::newRow("password") << "FATAL:  password authentication failed for user \"zhang\"" << "zhang 的密码不对";
    QTest::newRow("database") << "FATAL:  database \"kiv\" does not exist" << "服务器上没有数据库 kiv";
    QTest::newRow("user") << "FATAL:  role \"zhang\" does not exist" << "服务器上没有用户 zhang";
    QTest::newRow("no login") << "FATAL:  role \"zhang\" is not permitted to log in" << "不允许登录";
    QTest::newRow("not in the team") << "FATAL:  permission denied for database \"kiv\"\nDETAIL:  User does not have "
                                        "CONNECT privilege."
                                     << "GRANT kivtree_users TO zhang";
    QTest::newRow("not set up") << "ERROR: relation \"dbo.list_hscode\" does not exist" << "kivtree --init-server";
    QTest::newRow("anything else") << "SSL SYSCALL error: EOF detected" << "SSL SYSCALL error: EOF detected";
}

void tst_connectionproblem::driverTextsBecomeSentences()
{
    QFETCH(QString, driver);
    QFETCH(QString, sentence);
    server::ServerSettings s;
    s.host = QStringLiteral("db.lan");
    s.port = QStringLiteral("5433");
    s.database = QStringLiteral("kiv");
    s.user = QStringLiteral("zhang");
    const QString said = ConnectionProblem::describe(driver, s);
    QVERIFY2(said.contains(sentence), qPrintable(said));
}

void tst_connectionproblem::passwordsAreEncodedAsTheDriverDecodes_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("stored");
    QTest::newRow("plain") << "Secret42" << "Secret42";
    QTest::newRow("plus and percent") << "p+w%41x" << "p%2Bw%2541x";
    QTest::newRow("blank") << "x y+z" << "x+y%2Bz";
    QTest::newRow("connect string characters") << "a;b{c}=d" << "a%3Bb%7Bc%7D%3Dd";
    QTest::newRow("Chinese") << "密" << "%E5%AF%86";
}

void tst_connectionproblem::passwordsAreEncodedAsTheDriverDecodes()
{
    QFETCH(QString, password);
    QFETCH(QString, stored);
    QCOMPARE(ServerConnection::encodedPassword(password), stored);
}

void tst_connectionproblem::passwordFileIsPrivateAndEscaped()
{
    server::ServerSettings s;
    s.host = QStringLiteral("db.lan");
    s.port = QStringLiteral("5433");
    s.database = QStringLiteral("kiv");
    s.user = QStringLiteral("zhang");
    QString path;
    {
        server::PasswordFile file;
        QVERIFY(file.write(s, QStringLiteral("a:b\\c")));
        path = file.path();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("db.lan:5433:kiv:zhang:a\\:b\\\\c\n"));
        QCOMPARE(int(f.permissions() & 0x0777), int(QFileDevice::ReadUser | QFileDevice::WriteUser));
    }
    QVERIFY(!QFile::exists(path)); // gone with the object
    QCOMPARE(server::PasswordFile::conninfoValue(QStringLiteral("dir/a b'c")), QStringLiteral("dir/a\\ b\\'c"));
}

KIV_TEST_MAIN(tst_connectionproblem)
#include "tst_connectionproblem.moc"
