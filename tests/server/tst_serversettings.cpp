// The [server] section of the profile file: reading, checking and writing the team database's
// settings.

#include "core/server/ServerSettings.h"

#include "TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

using server::ServerSettings;

class tst_serversettings : public QObject
{
    Q_OBJECT
private slots:
    void noSectionMeansTheBundledFile();
    void readsAValidSection();
    void badSections_data();
    void badSections();
    void writeKeepsOtherSectionsAndRoundTrips();
    void clearGoesBackToTheBundledFile();
};

namespace {
QString profileWith(const TestEnv &env, const QByteArray &text)
{
    const QString file = env.path(QStringLiteral("velquor_kiv.ini"));
    TestEnv::writeFile(file, text);
    return file;
}
} // namespace

void tst_serversettings::noSectionMeansTheBundledFile()
{
    TestEnv env;
    const QString file = profileWith(env, "[data]\r\nHGDETAIL=N\r\n[server]\r\nhost=\r\n");
    bool configured = true;
    ServerSettings::read(file, &configured);
    QVERIFY(!configured);
    QVERIFY(!ServerSettings::configured(file));
    QVERIFY(!ServerSettings::configured(env.path(QStringLiteral("missing.ini"))));
}

void tst_serversettings::readsAValidSection()
{
    TestEnv env;
    const QString file =
        profileWith(env, "[SERVER]\r\nDriver=postgresql\r\nhost = db.example.lan\r\nport=6543\r\n"
                         "database=kiv\r\nuser=\xe5\xbc\xa0\xe4\xb8\x89\r\n");
    const ServerSettings s = ServerSettings::read(file);
    QVERIFY(ServerSettings::configured(file));
    QCOMPARE(s.host, QStringLiteral("db.example.lan"));
    QCOMPARE(s.portNumber(), 6543);
    QCOMPARE(s.database, QStringLiteral("kiv"));
    QCOMPARE(s.user, QStringLiteral("张三"));
    QCOMPARE(s.validate(), QString());
}

void tst_serversettings::badSections_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QString>("message");
    const QByteArray rest = "database=kiv\r\nuser=li\r\n";
    QTest::newRow("missing host") << "driver=postgresql\r\nport=5432\r\n" + rest
                                  << QStringLiteral("配置文件的 [server] 节缺少 host 项");
    QTest::newRow("missing user") << QByteArray("driver=postgresql\r\nhost=h\r\nport=5432\r\ndatabase=kiv\r\n")
                                  << QStringLiteral("配置文件的 [server] 节缺少 user 项");
    QTest::newRow("missing driver") << "host=h\r\nport=5432\r\n" + rest
                                    << QStringLiteral("配置文件的 [server] 节缺少 driver 项");
    QTest::newRow("port not a number") << "driver=postgresql\r\nhost=h\r\nport=54x2\r\n" + rest
                                       << QStringLiteral("配置文件的 [server] 节的 port 项不是数字：“54x2”");
    QTest::newRow("port out of range") << "driver=postgresql\r\nhost=h\r\nport=70000\r\n" + rest
                                       << QStringLiteral("配置文件的 [server] 节的 port 项应在 1 到 65535 之间：“70000”");
    QTest::newRow("host with blanks") << "driver=postgresql\r\nhost=db server\r\nport=5432\r\n" + rest
                                      << QStringLiteral("配置文件的 [server] 节的 host 项不能含空格：“db server”");
    QTest::newRow("other driver") << "driver=mysql\r\nhost=h\r\nport=5432\r\n" + rest
                                  << QStringLiteral("配置文件的 [server] 节的 driver 项只能是 postgresql，现在是“mysql”");
    QTest::newRow("connect string break") << QByteArray("driver=postgresql\r\nhost=h\r\nport=5432\r\n"
                                                        "database=kiv;Password=x\r\nuser=li\r\n")
                                          << QStringLiteral("配置文件的 [server] 节的 database 项不能含 ; = { }：“kiv;Password=x”");
}

void tst_serversettings::badSections()
{
    QFETCH(QByteArray, section);
    QFETCH(QString, message);
    TestEnv env;
    const QString file = profileWith(env, "[data]\r\nHGDETAIL=N\r\n[server]\r\n" + section);
    QVERIFY(ServerSettings::configured(file)); // so the bundled file is not taken instead
    QCOMPARE(ServerSettings::read(file).validate(), message);
}

void tst_serversettings::writeKeepsOtherSectionsAndRoundTrips()
{
    TestEnv env;
    const QString file = profileWith(env, "[data]\r\nHGDETAIL=Y\r\n");
    ServerSettings s;
    s.host = QStringLiteral("10.0.0.7");
    s.port = QStringLiteral(" 5433 ");
    s.database = QStringLiteral("kiv");
    s.user = QStringLiteral("wang");
    QString error;
    QCOMPARE(s.write(file, &error), 1);
    QCOMPARE(error, QString());
    const QByteArray text = TestEnv::readFile(file);
    QVERIFY(text.startsWith("[data]\r\nHGDETAIL=Y\r\n"));
    QVERIFY(!text.toLower().contains("password"));
    ServerSettings expected = s;
    expected.port = QStringLiteral("5433");
    QCOMPARE(ServerSettings::read(file), expected);
    // Settings that fail the checks are not written at all.
    s.port = QStringLiteral("abc");
    QCOMPARE(s.write(file, &error), -1);
    QVERIFY(error.contains(QStringLiteral("port")));
    QCOMPARE(ServerSettings::read(file), expected);
}

void tst_serversettings::clearGoesBackToTheBundledFile()
{
    TestEnv env;
    const QString file = profileWith(env, "[server]\r\ndriver=postgresql\r\nhost=h\r\nport=1\r\n"
                                          "database=d\r\nuser=u\r\n[data]\r\nHGDETAIL=Y\r\n");
    QVERIFY(ServerSettings::configured(file));
    QCOMPARE(ServerSettings::clear(file), 1);
    QVERIFY(!ServerSettings::configured(file));
    QVERIFY(TestEnv::readFile(file).contains("[data]\r\nHGDETAIL=Y\r\n"));
}

KIV_TEST_GUILESS_MAIN(tst_serversettings)
#include "tst_serversettings.moc"
