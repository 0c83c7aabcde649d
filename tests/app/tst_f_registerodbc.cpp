#include "core/session/f_registerodbc.h"

#include "core/runtime/Registry.h"
#include "core/runtime/Transaction.h"

#include "TestDatabase.h"
#include "TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

#include <unistd.h>

using runtime::registryGet;

namespace {

const QString kDriverKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBCINST.INI\\MY ASA DATABASE");
const QString kSourcesKey = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI\\ODBC DATA SOURCES");
const QString kSourceKey = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI\\K-I-V");

QString valueOf(const QString &key, const QString &name)
{
    QString value;
    return registryGet(key, name, &value) == 1 ? value : QStringLiteral("<missing>");
}

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

bool makeKivDb()
{
    return TestDatabase::create(QStringLiteral("K-I-V.db"))
           && TestDatabase::exec(QStringLiteral("K-I-V.db"),
                                 QStringLiteral("insert into list_hscode (code, name, flag) "
                                                "values ('01', '活动物', 'Y')"));
}

// Connects as the start-up does and reads the chapter row; "" when that works.
QString connectProblem()
{
    runtime::Transaction sqlca;
    sqlca.dbms = QStringLiteral("ODBC");
    sqlca.autoCommit = false;
    sqlca.dbParm = QStringLiteral("Connectstring='DSN=K-I-V'");
    if (sqlca.connect() != 0)
        return QStringLiteral("connect: ") + sqlca.sqlErrText();
    QVector<QVector<QVariant>> rows;
    if (sqlca.select(QStringLiteral("select name from list_hscode where code = '01'"),
                     {runtime::ColumnType::String}, &rows) != 0)
        return QStringLiteral("select: ") + sqlca.sqlErrText();
    if (rows.value(0).value(0).toString() != QStringLiteral("活动物"))
        return QStringLiteral("wrong rows");
    return QString();
}

} // namespace

class tst_f_registerodbc : public QObject
{
    Q_OBJECT
private slots:
    void missingDatabaseWritesNothing();
    void writesTheEntriesAndTheSourceConnects();
    void handChangedValuesAreOverwrittenOthersKept();
    void unwritableDriversFileIsIgnored();
    void readOnlyDriversFileIsIgnored();
    void removedDatabaseIsNotCreatedAgain();
};

void tst_f_registerodbc::missingDatabaseWritesNothing()
{
    TestEnv env;
    QCOMPARE(f_registerodbc(), -1);
    QVERIFY(!QFile::exists(env.odbcIni()));
    QCOMPARE(readAll(runtime::odbcDriversIniPath()), QByteArray());
    // A folder of that name is no database file either.
    QVERIFY(QDir().mkdir(QStringLiteral("K-I-V.db")));
    QCOMPARE(f_registerodbc(), -1);
    QVERIFY(!QFile::exists(env.odbcIni()));
}

void tst_f_registerodbc::writesTheEntriesAndTheSourceConnects()
{
    TestEnv env;
    QVERIFY(makeKivDb());
    QCOMPARE(f_registerodbc(), 1);
    const QString driver = TestEnv::driverPath();
    QCOMPARE(valueOf(kDriverKey, "Driver"), driver);
    QCOMPARE(valueOf(kDriverKey, "SETUP"), driver);
    QCOMPARE(valueOf(kSourcesKey, "K-I-V"), QStringLiteral("MY ASA DATABASE"));
    QCOMPARE(valueOf(kSourceKey, "Driver"), driver);
    QCOMPARE(valueOf(kSourceKey, "UID"), QStringLiteral("DBA"));
    QCOMPARE(valueOf(kSourceKey, "PWD"), QStringLiteral("qzt4"));
    QCOMPARE(valueOf(kSourceKey, "DatabaseFile"), QStringLiteral(".\\K-I-V.db"));
    QCOMPARE(valueOf(kSourceKey, "AutoStop"), QStringLiteral("Yes"));
    QCOMPARE(valueOf(kSourceKey, "Integrated"), QStringLiteral("NO"));
    QCOMPARE(valueOf(kSourceKey, "Debug"), QStringLiteral("NO"));
    QCOMPARE(valueOf(kSourceKey, "start"), QStringLiteral(".\\dbeng7.exe -c 8m"));
    QCOMPARE(valueOf(kSourceKey, "DisableMultiROWfetch"), QStringLiteral("NO"));
    QCOMPARE(valueOf(kSourceKey, "Database"), QStringLiteral("./K-I-V.db"));
    QCOMPARE(valueOf(kSourceKey, "NoCreat"), QStringLiteral("1"));
    QCOMPARE(valueOf(kSourceKey, "Timeout"), QStringLiteral("2000"));
    // Written in the order of the registration, in the files unixODBC reads.
    const QByteArray userIni = readAll(env.odbcIni());
    QVERIFY(userIni.indexOf("UID=DBA") < userIni.indexOf("DisableMultiROWfetch=NO"));
    QVERIFY(userIni.indexOf("K-I-V=MY ASA DATABASE") < userIni.indexOf("[K-I-V]"));
    QVERIFY(readAll(env.odbcSysIniDir() + QStringLiteral("/odbcinst.ini")).contains("[MY ASA DATABASE]"));

    const QString problem = connectProblem();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    // A second start writes the same again.
    QCOMPARE(f_registerodbc(), 1);
    QCOMPARE(readAll(env.odbcIni()), userIni);
}

void tst_f_registerodbc::handChangedValuesAreOverwrittenOthersKept()
{
    TestEnv env;
    QVERIFY(makeKivDb());
    QVERIFY(writeAll(env.odbcIni(), "# mine\n"
                                    "[ODBC Data Sources]\nOther=Other Driver\nK-I-V=Wrong\n\n"
                                    "[K-I-V]\nDriver=/nowhere/lib.so\nuid=somebody\n"
                                    "Database=/nowhere/x.db\nDescription=kept\n\n"
                                    "[Other]\nDriver=other.so\n"));
    QCOMPARE(f_registerodbc(), 1);
    QCOMPARE(valueOf(kSourceKey, "Driver"), TestEnv::driverPath());
    QCOMPARE(valueOf(kSourceKey, "UID"), QStringLiteral("DBA"));
    QCOMPARE(valueOf(kSourceKey, "Database"), QStringLiteral("./K-I-V.db"));
    QCOMPARE(valueOf(kSourceKey, "Description"), QStringLiteral("kept"));
    QCOMPARE(valueOf(kSourcesKey, "K-I-V"), QStringLiteral("MY ASA DATABASE"));
    QCOMPARE(valueOf(kSourcesKey, "Other"), QStringLiteral("Other Driver"));
    const QByteArray after = readAll(env.odbcIni());
    QVERIFY(after.startsWith("# mine\n"));
    QVERIFY(after.endsWith("\n\n[Other]\nDriver=other.so\n"));
    QCOMPARE(after.count("[K-I-V]"), 1);
    const QString problem = connectProblem();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void tst_f_registerodbc::unwritableDriversFileIsIgnored()
{
    TestEnv env;
    QVERIFY(makeKivDb());
    // A folder in place of odbcinst.ini: no write there can succeed, not even as root.
    QVERIFY(QFile::remove(runtime::odbcDriversIniPath()));
    QVERIFY(QDir().mkdir(runtime::odbcDriversIniPath()));
    QCOMPARE(f_registerodbc(), 1);
    QCOMPARE(valueOf(kDriverKey, "Driver"), QStringLiteral("<missing>"));
    QCOMPARE(valueOf(kSourceKey, "DisableMultiROWfetch"), QStringLiteral("NO"));
    QCOMPARE(valueOf(kSourceKey, "NoCreat"), QStringLiteral("1"));
    const QString problem = connectProblem();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void tst_f_registerodbc::readOnlyDriversFileIsIgnored()
{
    if (geteuid() == 0)
        QSKIP("root writes read-only files; unwritableDriversFileIsIgnored covers root");
    TestEnv env;
    QVERIFY(makeKivDb());
    QVERIFY(QFile::setPermissions(runtime::odbcDriversIniPath(), QFileDevice::ReadOwner));
    QVERIFY(QFile::setPermissions(env.odbcSysIniDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QCOMPARE(f_registerodbc(), 1);
    QCOMPARE(readAll(runtime::odbcDriversIniPath()), QByteArray());
    QCOMPARE(valueOf(kSourceKey, "Driver"), TestEnv::driverPath());
    const QString problem = connectProblem();
    QFile::setPermissions(env.odbcSysIniDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                   | QFileDevice::ExeOwner);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void tst_f_registerodbc::removedDatabaseIsNotCreatedAgain()
{
    TestEnv env;
    QVERIFY(makeKivDb());
    QCOMPARE(f_registerodbc(), 1);
    QVERIFY(QFile::remove(QStringLiteral("K-I-V.db")));
    runtime::Transaction sqlca;
    sqlca.dbParm = QStringLiteral("Connectstring='DSN=K-I-V'");
    QCOMPARE(sqlca.connect(), -1);
    QVERIFY(!sqlca.sqlErrText().isEmpty());
    QVERIFY(!QFile::exists(QStringLiteral("K-I-V.db")));
}

KIV_TEST_GUILESS_MAIN(tst_f_registerodbc)
#include "tst_f_registerodbc.moc"
