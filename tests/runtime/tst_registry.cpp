#include "core/runtime/Registry.h"
#include "core/runtime/Transaction.h"

#include "TestDatabase.h"
#include "TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

#include <unistd.h>

using runtime::registryGet;
using runtime::registrySet;

namespace {

const QString kDriverKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBCINST.INI\\MY ASA DATABASE");
const QString kSourcesKey = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI\\ODBC DATA SOURCES");
const QString kSourceKey = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI\\K-I-V");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeAll(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// What a new unixODBC process reads: `odbcinst -q` with this process's environment.
QString odbcinstQuery(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("odbcinst"), arguments);
    if (!process.waitForFinished(10000))
        return QStringLiteral("<odbcinst did not run>");
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class tst_Registry : public QObject
{
    Q_OBJECT
private slots:
    void filesAreTheOnesUnixOdbcUses();
    void driverKeyWritesOdbcinstIni();
    void dataSourceKeysWriteTheUsersOdbcIni();
    void keysAreMatchedWithoutCase();
    void otherKeysAreRefused();
    void editsKeepEveryOtherLine();
    void newSectionsAndFilesAreCreated();
    void failedWritesAnswerMinusOne();
    void readOnlyFileAnswersMinusOne();
};

void tst_Registry::filesAreTheOnesUnixOdbcUses()
{
    TestEnv env;
    QCOMPARE(runtime::odbcUserIniPath(), env.odbcIni());
    QCOMPARE(runtime::odbcDriversIniPath(), env.odbcSysIniDir() + QStringLiteral("/odbcinst.ini"));
    const QString paths = [] {
        QProcess process;
        process.start(QStringLiteral("odbcinst"), {QStringLiteral("-j")});
        process.waitForFinished(10000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }();
    QVERIFY2(paths.contains(QStringLiteral("DRIVERS............: ") + runtime::odbcDriversIniPath()),
             qPrintable(paths));
    QVERIFY2(paths.contains(QStringLiteral("USER DATA SOURCES..: ") + runtime::odbcUserIniPath()),
             qPrintable(paths));
}

void tst_Registry::driverKeyWritesOdbcinstIni()
{
    TestEnv env;
    QCOMPARE(registrySet(kDriverKey, QStringLiteral("Driver"), TestEnv::driverPath()), 1);
    QCOMPARE(registrySet(kDriverKey, QStringLiteral("SETUP"), TestEnv::driverPath()), 1);
    const QString section = odbcinstQuery({"-q", "-d", "-n", "MY ASA DATABASE"});
    QVERIFY2(section.contains(QStringLiteral("Driver=") + TestEnv::driverPath()), qPrintable(section));
    QVERIFY2(section.contains(QStringLiteral("SETUP=") + TestEnv::driverPath()), qPrintable(section));
    QString value;
    QCOMPARE(registryGet(kDriverKey, QStringLiteral("setup"), &value), 1);
    QCOMPARE(value, TestEnv::driverPath());
    QVERIFY(!QFile::exists(env.odbcIni())); // the user's file is not touched
}

void tst_Registry::dataSourceKeysWriteTheUsersOdbcIni()
{
    TestEnv env;
    QVERIFY(TestDatabase::create(env.path("K-I-V.db")));
    QVERIFY(TestDatabase::exec(env.path("K-I-V.db"),
                               QStringLiteral("insert into list_jmwcode (jmw_code) values ('84')")));
    QCOMPARE(registrySet(kSourcesKey, QStringLiteral("K-I-V"), QStringLiteral("MY ASA DATABASE")), 1);
    QCOMPARE(registrySet(kSourceKey, QStringLiteral("Driver"), TestEnv::driverPath()), 1);
    QCOMPARE(registrySet(kSourceKey, QStringLiteral("Database"), QStringLiteral("./K-I-V.db")), 1);
    QCOMPARE(registrySet(kSourceKey, QStringLiteral("NoCreat"), QStringLiteral("1")), 1);
    QCOMPARE(readAll(env.odbcIni()),
             QByteArray("[ODBC Data Sources]\r\nK-I-V=MY ASA DATABASE\r\n[K-I-V]\r\nDriver=")
                 + TestEnv::driverPath().toUtf8() + "\r\nDatabase=./K-I-V.db\r\nNoCreat=1\r\n");
    const QString sources = odbcinstQuery({"-q", "-s"});
    QVERIFY2(sources.contains(QLatin1String("[K-I-V]")), qPrintable(sources));

    // The driver manager finds the data source and the driver opens the database.
    runtime::Transaction sqlca;
    sqlca.dbParm = QStringLiteral("Connectstring='DSN=K-I-V'");
    QCOMPARE(sqlca.connect(), 0);
    QVector<QVector<QVariant>> rows;
    QCOMPARE(sqlca.select(QStringLiteral("select jmw_code from list_jmwcode"),
                          {runtime::ColumnType::String}, &rows),
             0);
    QCOMPARE(rows.value(0).value(0).toString(), QStringLiteral("84"));
}

void tst_Registry::keysAreMatchedWithoutCase()
{
    TestEnv env;
    QCOMPARE(registrySet(QStringLiteral("hkey_local_machine\\software\\odbc\\odbcinst.ini\\MY ASA DATABASE"),
                         QStringLiteral("Driver"), QStringLiteral("a")),
             1);
    QCOMPARE(registrySet(QStringLiteral("Hkey_local_machine\\software\\odbc\\odbcinst.ini\\my asa database\\"),
                         QStringLiteral("DRIVER"), QStringLiteral("b")),
             1);
    QCOMPARE(readAll(runtime::odbcDriversIniPath()), QByteArray("[MY ASA DATABASE]\r\nDriver=b\r\n"));

    QCOMPARE(registrySet(QStringLiteral("hkey_current_user\\software\\odbc\\odbc.ini\\odbc data sources"),
                         QStringLiteral("K-I-V"), QStringLiteral("x")),
             1);
    QCOMPARE(registrySet(kSourcesKey, QStringLiteral("k-i-v"), QStringLiteral("y")), 1);
    QCOMPARE(readAll(env.odbcIni()), QByteArray("[ODBC Data Sources]\r\nK-I-V=y\r\n"));
    QString value;
    QCOMPARE(registryGet(QStringLiteral("HKEY_CURRENT_USER\\Software\\ODBC\\ODBC.INI\\ODBC Data Sources"),
                         QStringLiteral("K-I-V"), &value),
             1);
    QCOMPARE(value, QStringLiteral("y"));
}

void tst_Registry::otherKeysAreRefused()
{
    TestEnv env;
    const QStringList keys{
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBC.INI\\K-I-V"),
        QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBCINST.INI\\MY ASA DATABASE"),
        QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\Run"),
        QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI"),
        QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI\\K-I-V\\More"),
        QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI\\bad]name"),
        QString()};
    for (const QString &key : keys)
        QVERIFY2(registrySet(key, QStringLiteral("Driver"), QStringLiteral("x")) == -1, qPrintable(key));
    // Names and values that would break the file's lines.
    QCOMPARE(registrySet(kSourceKey, QStringLiteral("a=b"), QStringLiteral("x")), -1);
    QCOMPARE(registrySet(kSourceKey, QString(), QStringLiteral("x")), -1);
    QCOMPARE(registrySet(kSourceKey, QStringLiteral("UID"), QStringLiteral("x\ny=z")), -1);
    QVERIFY(!QFile::exists(env.odbcIni()));
    QCOMPARE(readAll(runtime::odbcDriversIniPath()), QByteArray());
    QString value;
    QCOMPARE(registryGet(kSourceKey, QStringLiteral("UID"), &value), -1); // no file yet
}

void tst_Registry::editsKeepEveryOtherLine()
{
    TestEnv env;
    const QByteArray before =
        "; the user's own notes\r\n"
        "[ODBC Data Sources]\r\n"
        "Other = Some Driver\r\n"
        "\r\n"
        "[k-i-v]\r\n"
        "uid = someone ; hand-made\r\n"
        "# Extra stays\r\n"
        "Extra=keep\r\n"
        "\r\n"
        "[Other]\r\n"
        "UID=other\r\n";
    QVERIFY(writeAll(env.odbcIni(), before));
    QCOMPARE(registrySet(kSourceKey, QStringLiteral("UID"), QStringLiteral("DBA")), 1);
    QCOMPARE(registrySet(kSourceKey, QStringLiteral("PWD"), QStringLiteral("qzt4")), 1);
    QCOMPARE(registrySet(kSourcesKey, QStringLiteral("K-I-V"), QStringLiteral("MY ASA DATABASE")), 1);
    QCOMPARE(readAll(env.odbcIni()),
             QByteArray("; the user's own notes\r\n"
                        "[ODBC Data Sources]\r\n"
                        "Other = Some Driver\r\n"
                        "K-I-V=MY ASA DATABASE\r\n"
                        "\r\n"
                        "[k-i-v]\r\n"
                        "uid=DBA\r\n"
                        "# Extra stays\r\n"
                        "Extra=keep\r\n"
                        "PWD=qzt4\r\n"
                        "\r\n"
                        "[Other]\r\n"
                        "UID=other\r\n"));
    QString value;
    QCOMPARE(registryGet(QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI\\Other"),
                         QStringLiteral("uid"), &value),
             1);
    QCOMPARE(value, QStringLiteral("other"));
    QCOMPARE(registryGet(kSourceKey, QStringLiteral("Missing"), &value), -1);
}

void tst_Registry::newSectionsAndFilesAreCreated()
{
    TestEnv env;
    // A last line without its line end, and a comment line that looks like a key.
    QVERIFY(writeAll(env.odbcIni(), "[Other]\n;UID=commented\nUID=other"));
    QCOMPARE(registrySet(QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI\\Other"),
                         QStringLiteral("UID"), QStringLiteral("changed")),
             1);
    QCOMPARE(registrySet(kSourceKey, QStringLiteral("UID"), QStringLiteral("DBA")), 1);
    QCOMPARE(readAll(env.odbcIni()),
             QByteArray("[Other]\n;UID=commented\nUID=changed\n[K-I-V]\nUID=DBA\n"));

    QVERIFY(QFile::remove(runtime::odbcDriversIniPath()));
    QCOMPARE(registrySet(kDriverKey, QStringLiteral("Driver"), QStringLiteral("lib.so")), 1);
    QCOMPARE(readAll(runtime::odbcDriversIniPath()), QByteArray("[MY ASA DATABASE]\r\nDriver=lib.so\r\n"));
}

void tst_Registry::failedWritesAnswerMinusOne()
{
    TestEnv env;
    // odbcinst.ini that is a folder cannot be written, whoever runs the test.
    QVERIFY(QFile::remove(runtime::odbcDriversIniPath()));
    QVERIFY(QDir().mkdir(runtime::odbcDriversIniPath()));
    QCOMPARE(registrySet(kDriverKey, QStringLiteral("Driver"), QStringLiteral("x")), -1);
    QString value;
    QCOMPARE(registryGet(kDriverKey, QStringLiteral("Driver"), &value), -1);
    // A drivers folder that does not exist.
    qputenv("ODBCSYSINI", QFile::encodeName(env.root() + QStringLiteral("/no/such/folder")));
    QCOMPARE(registrySet(kDriverKey, QStringLiteral("Driver"), QStringLiteral("x")), -1);
    // The user's file is unaffected by either.
    QCOMPARE(registrySet(kSourceKey, QStringLiteral("UID"), QStringLiteral("DBA")), 1);
}

void tst_Registry::readOnlyFileAnswersMinusOne()
{
    if (geteuid() == 0)
        QSKIP("root writes read-only files; the folder case of failedWritesAnswerMinusOne covers root");
    TestEnv env;
    const QString drivers = runtime::odbcDriversIniPath();
    QVERIFY(writeAll(drivers, "[Other]\nDriver=x\n"));
    QVERIFY(QFile::setPermissions(drivers, QFileDevice::ReadOwner));
    QVERIFY(QFile::setPermissions(env.odbcSysIniDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QCOMPARE(registrySet(kDriverKey, QStringLiteral("Driver"), QStringLiteral("y")), -1);
    QCOMPARE(readAll(drivers), QByteArray("[Other]\nDriver=x\n"));
    QFile::setPermissions(env.odbcSysIniDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                   | QFileDevice::ExeOwner);
}

KIV_TEST_GUILESS_MAIN(tst_Registry)
#include "tst_registry.moc"
