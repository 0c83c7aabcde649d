#include "core/runtime/Transaction.h"

#include "TestDatabase.h"
#include "TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

#include <sqlite3.h>

using runtime::ColumnType;
using runtime::Transaction;

namespace {

using Rows = QVector<QVector<QVariant>>;

QString connectParm(const QString &dbFile)
{
    return QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(dbFile));
}

// Connects to the database file with autocommit as asked; connect()'s answer.
int connectTo(Transaction &sqlca, const QString &dbFile, bool autoCommit)
{
    sqlca.dbParm = connectParm(dbFile);
    sqlca.autoCommit = autoCommit;
    return sqlca.connect();
}

// A database with three customs rows: a chapter, a code with a null and a long name.
bool makeDatabase(const QString &file)
{
    return TestDatabase::create(file)
           && TestDatabase::exec(file, QStringLiteral(
                  "insert into list_hscode (code, name, tsl, stdflag, flag) values "
                  "('01', '活动物', 13.5, 1, 'Y'), ('0101', 'Live horses', NULL, NULL, NULL), "
                  "('02', '肉及食用杂碎', 9, 2, 'N')"));
}

} // namespace

class tst_Transaction : public QObject
{
    Q_OBJECT
private slots:
    void connectStringOf_data();
    void connectStringOf();
    void connectsCommitsAndDisconnects();
    void failedConnectGivesTheDriversText();
    void callsWithoutConnectionFail();
    void selectConvertsToColumnTypes();
    void longValuesComeBackWhole();
    void failedSelectLeavesRowsAlone();
    void parameterisedUpdate();
    void rollbackUndoes();
    void autoCommitOffHidesUncommittedWork();
    void autoCommitOnShowsWorkAtOnce();
    void queriesOutsideAutoCommitLeaveTheFileWritable();
    void adaptSqlFollowsTheDriver();
    void lentConnectionWaitsForTheWorker();
    void releasingMemoryKeepsWorkAndLetsOthersWrite();
};

void tst_Transaction::connectStringOf_data()
{
    QTest::addColumn<QString>("dbParm");
    QTest::addColumn<QString>("expected");
    QTest::newRow("system's spelling") << "Connectstring='DSN=K-I-V'" << "DSN=K-I-V";
    QTest::newRow("any case, spaces") << "  CONNECTSTRING = 'DSN=K-I-V;UID=DBA'" << "DSN=K-I-V;UID=DBA";
    QTest::newRow("double quotes") << "ConnectString=\"DSN=x\"" << "DSN=x";
    QTest::newRow("among other parameters") << "DisableBind=1,ConnectString='DSN=y',Other=2" << "DSN=y";
    QTest::newRow("missing") << "DisableBind=1" << "";
    QTest::newRow("part of another keyword") << "MyConnectString='DSN=z'" << "";
    QTest::newRow("after one that is not closed") << "ConnectString='DSN=a,ConnectString=\"DSN=b\"" << "DSN=b";
    QTest::newRow("the first of two") << "ConnectString='DSN=c', connectstring='DSN=d'" << "DSN=c";
    QTest::newRow("no value") << "ConnectString=" << "";
    QTest::newRow("no equals sign") << "ConnectString 'DSN=e',X=1" << "";
    QTest::newRow("a leading comma") << ",ConnectString='DSN=f'" << "DSN=f";
}

void tst_Transaction::connectStringOf()
{
    QFETCH(QString, dbParm);
    QFETCH(QString, expected);
    QCOMPARE(Transaction::connectStringOf(dbParm), expected);
}

void tst_Transaction::connectsCommitsAndDisconnects()
{
    TestEnv env;
    QVERIFY(makeDatabase(env.path("k.db")));
    Transaction sqlca;
    sqlca.dbms = QStringLiteral("ODBC");
    sqlca.autoCommit = false;
    sqlca.dbParm = connectParm(env.path("k.db"));
    QCOMPARE(sqlca.connect(), 0);
    QCOMPARE(sqlca.sqlCode(), 0L);
    QVERIFY(sqlca.isConnected());
    QCOMPARE(sqlca.connect(), -1); // already connected, and stays so
    QVERIFY(sqlca.isConnected());
    QCOMPARE(sqlca.commit(), 0);
    QCOMPARE(sqlca.rollback(), 0);
    QCOMPARE(sqlca.execute(QStringLiteral("update list_hscode set flag = 'Y' where code = '02'")), 0);
    // Disconnecting commits the open work.
    QCOMPARE(sqlca.disconnect(), 0);
    QVERIFY(!sqlca.isConnected());
    QCOMPARE(TestDatabase::column(env.path("k.db"),
                                  QStringLiteral("select flag from list_hscode where code = '02'")),
             QStringList{QStringLiteral("Y")});
    QCOMPARE(sqlca.disconnect(), -1);
    QCOMPARE(sqlca.sqlCode(), -1L);
    // A transaction connects again after a disconnect.
    QCOMPARE(sqlca.connect(), 0);
}

void tst_Transaction::failedConnectGivesTheDriversText()
{
    TestEnv env;
    Transaction sqlca;
    sqlca.dbParm = QStringLiteral("Connectstring='DSN=No-Such-Source'");
    QCOMPARE(sqlca.connect(), -1);
    QCOMPARE(sqlca.sqlCode(), -1L);
    QVERIFY2(sqlca.sqlErrText().contains(QLatin1String("IM002")), qPrintable(sqlca.sqlErrText()));
    QVERIFY(!sqlca.isConnected());

    // NoCreat: a missing database file is an error, not a new empty database.
    sqlca.dbParm = connectParm(env.path("missing.db"));
    QCOMPARE(sqlca.connect(), -1);
    QVERIFY(!sqlca.sqlErrText().isEmpty());
    QVERIFY(!QFile::exists(env.path("missing.db")));

    sqlca.dbParm = QStringLiteral("DisableBind=1");
    QCOMPARE(sqlca.connect(), -1);
    QVERIFY(!sqlca.sqlErrText().isEmpty());
}

void tst_Transaction::callsWithoutConnectionFail()
{
    Transaction sqlca;
    Rows rows;
    QCOMPARE(sqlca.commit(), -1);
    QCOMPARE(sqlca.rollback(), -1);
    QCOMPARE(sqlca.select(QStringLiteral("select 1"), {ColumnType::Long}, &rows), -1);
    QCOMPARE(sqlca.execute(QStringLiteral("delete from list_hscode")), -1);
    QCOMPARE(sqlca.sqlCode(), -1L);
    QVERIFY(rows.isEmpty());
    const QString sql = QStringLiteral("select dbo.t.a from dbo.t where Left(a,1) = 'x'");
    QCOMPARE(sqlca.adaptSql(sql), sql);
}

void tst_Transaction::selectConvertsToColumnTypes()
{
    TestEnv env;
    QVERIFY(makeDatabase(env.path("k.db")));
    Transaction sqlca;
    sqlca.dbParm = connectParm(env.path("k.db"));
    QCOMPARE(sqlca.connect(), 0);

    Rows rows;
    const QList<ColumnType> types{ColumnType::String, ColumnType::String, ColumnType::Number,
                                  ColumnType::Number, ColumnType::Long};
    QCOMPARE(sqlca.select(QStringLiteral("select code, name, tsl, stdflag, 0 as handle "
                                         "from list_hscode order by code"),
                          types, &rows),
             0);
    QCOMPARE(sqlca.sqlCode(), 0L);
    QCOMPARE(sqlca.sqlNRows(), 3L);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].size(), 5);
    QCOMPARE(rows[0][0].metaType().id(), QMetaType::QString);
    QCOMPARE(rows[0][0].toString(), QStringLiteral("01"));
    QCOMPARE(rows[0][1].toString(), QStringLiteral("活动物"));
    QCOMPARE(rows[0][2].metaType().id(), QMetaType::Double);
    QCOMPARE(rows[0][2].toDouble(), 13.5);
    QCOMPARE(rows[0][4].metaType().id(), QMetaType::Int);
    QCOMPARE(rows[0][4].toInt(), 0);
    QCOMPARE(rows[1][1].toString(), QStringLiteral("Live horses"));
    QVERIFY(!rows[1][2].isValid()); // SQL NULL in a number column
    QVERIFY(!rows[1][3].isValid());
    QCOMPARE(rows[2][1].toString(), QStringLiteral("肉及食用杂碎"));

    // Rows are appended; a query without rows reports SQLCode 100.
    QCOMPARE(sqlca.select(QStringLiteral("select code from list_hscode where code = 'none'"),
                          {ColumnType::String}, &rows),
             0);
    QCOMPARE(sqlca.sqlCode(), 100L);
    QCOMPARE(rows.size(), 3);
    // Columns beyond the given types are read as text; nulls there are invalid too.
    QCOMPARE(sqlca.select(QStringLiteral("select code, flag from list_hscode where code = '0101'"),
                          {}, &rows),
             0);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[3][0].toString(), QStringLiteral("0101"));
    QVERIFY(!rows[3][1].isValid());
}

void tst_Transaction::longValuesComeBackWhole()
{
    TestEnv env;
    const QString db = env.path("k.db");
    QVERIFY(TestDatabase::create(db));
    // 600 rows: more than one rowset, with long names in the first and in later rowsets.
    QString sql = QStringLiteral("insert into list_hscode (code, name) values ");
    QStringList names;
    for (int i = 0; i < 600; ++i) {
        QString name = QStringLiteral("品名%1").arg(i);
        if (i == 3)
            name = QString(300, QChar(0x6D3B)); // 300 characters, 900 bytes of UTF-8
        else if (i == 5 || i == 400)
            name = QString(5000, QLatin1Char('x')) + QString::number(i);
        else if (i == 401)
            name = QString(20000, QChar(0x7269)) + QLatin1Char('!');
        names.append(name);
        sql += QStringLiteral("%1('%2', '%3')")
                   .arg(i ? QStringLiteral(",") : QString())
                   .arg(i, 6, 10, QLatin1Char('0'))
                   .arg(name);
    }
    QVERIFY(TestDatabase::exec(db, sql));

    Transaction sqlca;
    QCOMPARE(connectTo(sqlca, db, true), 0);
    Rows rows;
    QCOMPARE(sqlca.select(QStringLiteral("select code, name from list_hscode order by code"),
                          {ColumnType::String, ColumnType::String}, &rows),
             0);
    QCOMPARE(rows.size(), 600);
    for (int i = 0; i < 600; ++i) {
        QCOMPARE(rows[i][0].toString(), QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')));
        QCOMPARE(rows[i][1].toString(), names[i]);
    }
    QCOMPARE(rows[3][1].toString().size(), 300);
}

void tst_Transaction::failedSelectLeavesRowsAlone()
{
    TestEnv env;
    QVERIFY(makeDatabase(env.path("k.db")));
    Transaction sqlca;
    sqlca.dbParm = connectParm(env.path("k.db"));
    QCOMPARE(sqlca.connect(), 0);
    Rows rows{{QStringLiteral("kept")}};
    QCOMPARE(sqlca.select(QStringLiteral("select nothing from nowhere"), {ColumnType::String}, &rows),
             -1);
    QCOMPARE(sqlca.sqlCode(), -1L);
    QVERIFY(!sqlca.sqlErrText().isEmpty());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(sqlca.execute(QStringLiteral("update nowhere set a = 1")), -1);
    QVERIFY(!sqlca.sqlErrText().isEmpty());
    // The connection is still usable after an error.
    QCOMPARE(sqlca.select(QStringLiteral("select code from list_hscode"), {ColumnType::String}, &rows),
             0);
    QCOMPARE(rows.size(), 4);
}

void tst_Transaction::parameterisedUpdate()
{
    TestEnv env;
    const QString db = env.path("k.db");
    QVERIFY(makeDatabase(db));
    Transaction sqlca;
    QCOMPARE(connectTo(sqlca, db, false), 0);

    QCOMPARE(sqlca.execute(QStringLiteral("update list_hscode set flag = ?, tsl = ?, stdflag = ?, "
                                          "name = ? where code = ?"),
                           {QStringLiteral("是"), 7.25, qint32(42), QVariant(), QStringLiteral("02")}),
             0);
    QCOMPARE(sqlca.sqlCode(), 0L);
    QCOMPARE(sqlca.sqlNRows(), 1L);
    QCOMPARE(sqlca.commit(), 0);
    QCOMPARE(TestDatabase::column(db, QStringLiteral("select flag || '|' || tsl || '|' || stdflag || '|' "
                                                     "|| coalesce(name, '<null>') from list_hscode "
                                                     "where code = '02'")),
             QStringList{QStringLiteral("是|7.25|42|<null>")});
    // A literal '?' is no parameter, and a text parameter may hold quotes.
    QCOMPARE(sqlca.execute(QStringLiteral("update list_hscode set note = '?', name = ? where code = ?"),
                           {QStringLiteral("it's"), QStringLiteral("01")}),
             0);
    QCOMPARE(sqlca.sqlNRows(), 1L);
    QCOMPARE(sqlca.execute(QStringLiteral("update list_hscode set flag = 'N' where code = ?"),
                           {QStringLiteral("none")}),
             0);
    QCOMPARE(sqlca.sqlNRows(), 0L);
    QCOMPARE(sqlca.commit(), 0);
    QCOMPARE(TestDatabase::column(db, QStringLiteral("select note || name from list_hscode where code = '01'")),
             QStringList{QStringLiteral("?it's")});
}

void tst_Transaction::rollbackUndoes()
{
    TestEnv env;
    const QString db = env.path("k.db");
    QVERIFY(makeDatabase(db));
    Transaction sqlca;
    QCOMPARE(connectTo(sqlca, db, false), 0);
    const QString flagOf02 = QStringLiteral("select flag from list_hscode where code = '02'");
    QCOMPARE(sqlca.execute(QStringLiteral("update list_hscode set flag = 'Y' where code = '02'")), 0);
    Rows rows;
    QCOMPARE(sqlca.select(flagOf02, {ColumnType::String}, &rows), 0);
    QCOMPARE(rows.value(0).value(0).toString(), QStringLiteral("Y")); // its own change is seen
    QCOMPARE(sqlca.rollback(), 0);
    rows.clear();
    QCOMPARE(sqlca.select(flagOf02, {ColumnType::String}, &rows), 0);
    QCOMPARE(rows.value(0).value(0).toString(), QStringLiteral("N"));
    QCOMPARE(sqlca.disconnect(), 0);
    QCOMPARE(TestDatabase::column(db, flagOf02), QStringList{QStringLiteral("N")});
}

void tst_Transaction::autoCommitOffHidesUncommittedWork()
{
    TestEnv env;
    const QString db = env.path("k.db");
    QVERIFY(makeDatabase(db));
    Transaction sqlca;
    QCOMPARE(connectTo(sqlca, db, false), 0);
    Transaction other;
    QCOMPARE(connectTo(other, db, true), 0);
    const QString flagOf02 = QStringLiteral("select flag from list_hscode where code = '02'");
    const auto otherSees = [&]() {
        Rows rows;
        return other.select(flagOf02, {ColumnType::String}, &rows) == 0
                   ? rows.value(0).value(0).toString()
                   : QStringLiteral("error: ") + other.sqlErrText();
    };

    QCOMPARE(sqlca.execute(QStringLiteral("update list_hscode set flag = 'Y' where code = '02'")), 0);
    QCOMPARE(otherSees(), QStringLiteral("N"));
    QCOMPARE(sqlca.commit(), 0);
    QCOMPARE(otherSees(), QStringLiteral("Y"));

    // Autocommit stays off after a commit.
    QCOMPARE(sqlca.execute(QStringLiteral("update list_hscode set flag = 'X' where code = '02'")), 0);
    QCOMPARE(otherSees(), QStringLiteral("Y"));
    QCOMPARE(sqlca.rollback(), 0);
    QCOMPARE(otherSees(), QStringLiteral("Y"));
}

void tst_Transaction::autoCommitOnShowsWorkAtOnce()
{
    TestEnv env;
    const QString db = env.path("k.db");
    QVERIFY(makeDatabase(db));
    Transaction sqlca;
    QCOMPARE(connectTo(sqlca, db, true), 0);
    QCOMPARE(sqlca.execute(QStringLiteral("update list_hscode set flag = 'Y' where code = '02'")), 0);
    QCOMPARE(TestDatabase::column(db, QStringLiteral("select flag from list_hscode where code = '02'")),
             QStringList{QStringLiteral("Y")});
    // Switching autoCommit off on a connected transaction takes effect with the next statement.
    sqlca.autoCommit = false;
    QCOMPARE(sqlca.execute(QStringLiteral("update list_hscode set flag = 'Z' where code = '02'")), 0);
    QCOMPARE(TestDatabase::column(db, QStringLiteral("select flag from list_hscode where code = '02'")),
             QStringList{QStringLiteral("Y")});
    QCOMPARE(sqlca.rollback(), 0);
}

void tst_Transaction::adaptSqlFollowsTheDriver()
{
    TestEnv env;
    QVERIFY(makeDatabase(env.path("k.db")));
    Transaction sqlca;
    sqlca.dbParm = connectParm(env.path("k.db"));
    QCOMPARE(sqlca.connect(), 0);
    // SQLite has no owners and no Left(): the system's query must be adapted to run.
    const QString sql = QStringLiteral(
        "select dbo.list_hscode.code, 0 handle from dbo.list_hscode where Left(code,2) in "
        "(Select code from list_hscode where length(code)=2 and flag='Y') order by code");
    Rows rows;
    QCOMPARE(sqlca.select(sql, {ColumnType::String, ColumnType::Long}, &rows), -1);
    const QString adapted = sqlca.adaptSql(sql);
    QVERIFY(!adapted.contains(QLatin1String("dbo.")));
    QVERIFY(!adapted.contains(QLatin1String("Left(")));
    QCOMPARE(sqlca.select(adapted, {ColumnType::String, ColumnType::Long}, &rows), 0);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0][0].toString(), QStringLiteral("01"));
    QCOMPARE(rows[1][0].toString(), QStringLiteral("0101"));
}


void tst_Transaction::queriesOutsideAutoCommitLeaveTheFileWritable()
{
    TestEnv env;
    const QString db = env.path("k.db");
    QVERIFY(makeDatabase(db));
    Transaction sqlca;
    QCOMPARE(connectTo(sqlca, db, false), 0);
    Rows rows;
    QCOMPARE(sqlca.select(QStringLiteral("select code from list_hscode"), {ColumnType::String}, &rows), 0);
    // Another program can still write while our rows are on screen.
    QVERIFY(TestDatabase::exec(db, QStringLiteral("update list_hscode set flag = 'Y' where code = '02'")));

    // A query between our own statements does not commit them.
    QCOMPARE(sqlca.execute(QStringLiteral("update list_hscode set flag = 'N' where code = '01'")), 0);
    rows.clear();
    QCOMPARE(sqlca.select(QStringLiteral("select flag from list_hscode where code = '01'"),
                          {ColumnType::String}, &rows), 0);
    QCOMPARE(rows.value(0).value(0).toString(), QStringLiteral("N"));
    QCOMPARE(sqlca.rollback(), 0);
    QCOMPARE(TestDatabase::column(db, QStringLiteral("select flag from list_hscode where code in ('01', '02') order by code")),
             (QStringList{QStringLiteral("Y"), QStringLiteral("Y")}));
    QCOMPARE(sqlca.disconnect(), 0);
}

// A statement of the lending thread never lands inside the worker's transaction: it waits until
// the worker has committed and given the connection back, and sees the worker's rows.
void tst_Transaction::lentConnectionWaitsForTheWorker()
{
    TestEnv env;
    const QString db = env.path("k.db");
    QVERIFY(makeDatabase(db));
    Transaction sqlca;
    QCOMPARE(connectTo(sqlca, db, false), 0);

    sqlca.lend();
    QVERIFY(sqlca.isLent());
    QSemaphore started;
    int workerResult = -2;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        started.release();
        QThread::msleep(200); // the lending thread asks meanwhile
        workerResult = sqlca.execute(QStringLiteral("update list_hscode set flag = 'W' where code = '02'"));
        if (workerResult == 0)
            workerResult = sqlca.commit();
        sqlca.giveBack();
    }));
    worker->start();
    started.acquire();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("lending thread while a worker")));
    Rows rows;
    QCOMPARE(sqlca.select(QStringLiteral("select flag from list_hscode where code = '02'"), {ColumnType::String}, &rows),
             0);
    QCOMPARE(rows.value(0).value(0).toString(), QStringLiteral("W"));
    QVERIFY(worker->wait(10000));
    QCOMPARE(workerResult, 0);
    QVERIFY(!sqlca.isLent());

    // The worker's own statements never wait.
    sqlca.lend();
    std::unique_ptr<QThread> own(QThread::create([&] {
        workerResult = sqlca.execute(QStringLiteral("update list_hscode set flag = 'V' where code = '02'"));
        sqlca.giveBack();
    }));
    own->start();
    QVERIFY(own->wait(10000));
    QCOMPARE(workerResult, 0);
    QCOMPARE(sqlca.rollback(), 0);
}

// The engine's cache of the pages read goes back (the driver shares the process's SQLite, whose
// count this reads); work not yet committed stays so, and no lock is left for other programs.
void tst_Transaction::releasingMemoryKeepsWorkAndLetsOthersWrite()
{
    TestEnv env;
    const QString db = env.path("k.db");
    QVERIFY(makeDatabase(db));
    QVERIFY(TestDatabase::exec(db, QStringLiteral(
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 20000) "
        "insert into list_hscode (code, name) select printf('9%09d', i), hex(randomblob(60)) from n")));
    Transaction sqlca;
    QCOMPARE(connectTo(sqlca, db, false), 0);
    QCOMPARE(sqlca.execute(QStringLiteral("update list_hscode set flag = 'N' where code = '01'")), 0);
    Rows rows;
    QCOMPARE(sqlca.select(QStringLiteral("select code, name from list_hscode"), {ColumnType::String, ColumnType::String},
                          &rows), 0);
    QCOMPARE(rows.size(), 20003);
    rows.clear();
    const long code = sqlca.sqlCode();
    const sqlite3_int64 cached = sqlite3_memory_used();

    sqlca.releaseMemory();
    QVERIFY2(sqlite3_memory_used() < cached - 1024 * 1024,
             qPrintable(QStringLiteral("%1 -> %2 bytes").arg(cached).arg(sqlite3_memory_used())));
    QCOMPARE(sqlca.sqlCode(), code);
    // Still uncommitted: another program does not see it, and rollback undoes it.
    QCOMPARE(TestDatabase::column(db, QStringLiteral("select flag from list_hscode where code = '01'")),
             QStringList{QStringLiteral("Y")});
    QCOMPARE(sqlca.rollback(), 0);
    QCOMPARE(TestDatabase::column(db, QStringLiteral("select flag from list_hscode where code = '01'")),
             QStringList{QStringLiteral("Y")});

    // With nothing pending, releasing leaves no transaction open: another program writes.
    QCOMPARE(sqlca.select(QStringLiteral("select name from list_hscode"), {ColumnType::String}, &rows), 0);
    sqlca.releaseMemory();
    QVERIFY(TestDatabase::exec(db, QStringLiteral("update list_hscode set flag = 'N' where code = '02'")));
    QCOMPARE(sqlca.disconnect(), 0);
}

KIV_TEST_GUILESS_MAIN(tst_Transaction)
#include "tst_transaction.moc"
