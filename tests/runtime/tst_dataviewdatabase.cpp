#include "DataViewRows.h"

#include "TestDatabase.h"
#include "TestEnv.h"
#include "support/TestMain.h"

#include <QTest>

// A data view and its database: retrieving converts the types, an update writes only what changed.
class TestDataViewDatabase : public QObject
{
    Q_OBJECT
private slots:
    void retrieveConvertsTypes();
    void retrieveFailures();
    void updateWritesOnlyModifiedRowsByOriginalKey();
    void updateFailureKeepsFlags();
    void updateFailsOnTrigger();
    void updateKeepsFlagsOnRequest();
    void sortKeepsFlagsAndOriginalKeys();

private:
    bool openDatabase(TestEnv &env, Transaction &transaction, const QString &extraSql = QString());
    // The chapter rows of the open database, through the transaction; retrieve()'s answer.
    static long retrieveChapters(DataView &view, Transaction &transaction);
    QString m_file;
};

long TestDataViewDatabase::retrieveChapters(DataView &view, Transaction &transaction)
{
    view.setDefinition(chapterDefinition());
    view.setTransObject(&transaction);
    return view.retrieve();
}

bool TestDataViewDatabase::openDatabase(TestEnv &env, Transaction &transaction, const QString &extraSql)
{
    m_file = env.path(QStringLiteral("test.db"));
    if (!TestDatabase::create(m_file))
        return false;
    const QString rows = QStringLiteral(
        "INSERT INTO list_hscode (code, name, flag, tsl) VALUES ('01', '活动物', 'Y', 0);"
        "INSERT INTO list_hscode (code, name, flag, tsl) VALUES ('0101', '马', 'N', 0.13);"
        "INSERT INTO list_hscode (code, name, flag, tsl) VALUES ('02', '肉', 'N', 9);"
        "INSERT INTO list_hscode (code, name, flag, tsl) VALUES ('03', NULL, 'Y', NULL);"
        "INSERT INTO list_hscode (code, name, flag, tsl) VALUES ('04', '乳品', 'Y', 13);"
        "CREATE TABLE update_log (code TEXT);"
        "CREATE TRIGGER log_updates AFTER UPDATE ON list_hscode "
        "BEGIN INSERT INTO update_log VALUES (new.code); END;");
    if (!TestDatabase::exec(m_file, rows + extraSql))
        return false;
    transaction.dbms = QStringLiteral("ODBC");
    transaction.dbParm = "Connectstring='" + TestEnv::directConnectString(m_file) + "'";
    transaction.autoCommit = false;
    if (transaction.connect() != 0) {
        qWarning("connect: %s", qPrintable(transaction.sqlErrText()));
        return false;
    }
    return true;
}

void TestDataViewDatabase::retrieveConvertsTypes()
{
    TestEnv env;
    Transaction transaction;
    QVERIFY(openDatabase(env, transaction));
    DataView view;
    view.setDefinition(chapterDefinition());
    view.setTransObject(&transaction);
    QCOMPARE(view.transObject(), &transaction);
    QSignalSpy reset(&view, &DataView::rowsReset);
    QCOMPARE(view.retrieve(), 4); // chapters 01, 02, 03 and the heading 0101
    QCOMPARE(reset.count(), 1);
    QCOMPARE(view.currentRow(), 1);
    QCOMPARE(columnValues(view, "code"), (QStringList{"01", "0101", "02", "03"}));
    QCOMPARE(view.item(2, "code").typeId(), int(QMetaType::QString));
    QCOMPARE(view.item(2, "name").toString(), QString("马"));
    QCOMPARE(view.item(2, "tsl").typeId(), int(QMetaType::Double));
    QCOMPARE(view.itemNumber(2, "tsl"), 0.13);
    QCOMPARE(view.item(3, "tsl").toDouble(), 9.0);
    QCOMPARE(view.item(1, "handle").typeId(), int(QMetaType::Int));
    QCOMPARE(view.item(1, "handle").toInt(), 0);
    QVERIFY(view.isNull(4, "name"));
    QVERIFY(view.isNull(4, "tsl"));
    QCOMPARE(view.modifiedCount(), 0);
    QCOMPARE(view.find("code = '02'", 1, view.rowCount()), 3);
}

void TestDataViewDatabase::retrieveFailures()
{
    DataView view;
    view.setDefinition(chapterDefinition());
    view.loadRows(sampleRows());
    QCOMPARE(view.retrieve(), -1); // no transaction
    QCOMPARE(view.rowCount(), 0);

    TestEnv env;
    Transaction transaction;
    view.setTransObject(&transaction);
    view.loadRows(sampleRows());
    QCOMPARE(view.retrieve(), -1); // not connected
    QCOMPARE(view.rowCount(), 0);

    QVERIFY(openDatabase(env, transaction));
    DataViewDefinition broken = chapterDefinition();
    broken.query = QStringLiteral("SELECT code, name, flag, tsl, 0 FROM no_such_table");
    view.setDefinition(broken);
    view.loadRows(sampleRows());
    QCOMPARE(view.retrieve(), -1);
    QCOMPARE(view.rowCount(), 0);
    QCOMPARE(view.currentRow(), 0);
    QCOMPARE(transaction.sqlCode(), -1);
    QCOMPARE(view.update(), 1); // nothing to write
}

void TestDataViewDatabase::updateWritesOnlyModifiedRowsByOriginalKey()
{
    TestEnv env;
    Transaction transaction;
    QVERIFY(openDatabase(env, transaction));
    DataView view;
    QCOMPARE(retrieveChapters(view, transaction), 4L);

    view.setItem(2, "flag", "Y");             // 0101
    view.setItem(3, "code", "05");            // 02 gets a new key
    view.setItem(3, "name", "鱼");
    view.setItem(4, "tsl", 99.0);             // not updatable: no statement
    view.setItem(1, "handle", 7);             // computed: no statement
    QCOMPARE(view.update(), 1);
    QCOMPARE(view.modifiedCount(), 0);

    // Not committed by the view: another connection still sees the old rows.
    QCOMPARE(TestDatabase::column(m_file, "SELECT flag FROM list_hscode WHERE code='0101'"), QStringList{"N"});
    QCOMPARE(transaction.commit(), 0);
    QCOMPARE(TestDatabase::column(m_file, "SELECT code FROM update_log ORDER BY code"),
             (QStringList{"0101", "05"}));
    QCOMPARE(TestDatabase::column(m_file, "SELECT flag FROM list_hscode WHERE code='0101'"), QStringList{"Y"});
    QCOMPARE(TestDatabase::column(m_file, "SELECT name FROM list_hscode WHERE code='05'"), QStringList{"鱼"});
    QCOMPARE(TestDatabase::column(m_file, "SELECT count(*) FROM list_hscode WHERE code='02'"), QStringList{"0"});
    QCOMPARE(TestDatabase::column(m_file, "SELECT tsl FROM list_hscode WHERE code='03'"), QStringList{"<null>"});

    // After the reset the new key is the original one.
    view.setItem(3, "flag", "Y");
    QCOMPARE(view.update(), 1);
    QCOMPARE(transaction.commit(), 0);
    QCOMPARE(TestDatabase::column(m_file, "SELECT flag FROM list_hscode WHERE code='05'"), QStringList{"Y"});
}

void TestDataViewDatabase::updateFailureKeepsFlags()
{
    TestEnv env;
    Transaction transaction;
    QVERIFY(openDatabase(env, transaction));
    DataView view;
    QCOMPARE(retrieveChapters(view, transaction), 4L);
    QCOMPARE(transaction.execute("DELETE FROM list_hscode WHERE code = '0101'"), 0);

    view.setItem(2, "flag", "Y"); // its row is gone: the update finds no row
    view.setItem(4, "flag", "N"); // would succeed, but the update stops first
    QCOMPARE(view.update(), -1);
    QCOMPARE(view.modifiedCount(), 2);
    QCOMPARE(view.itemStatus(2, 3), ItemStatus::DataModified);
    QCOMPARE(view.itemStatus(4, 3), ItemStatus::DataModified);
    QCOMPARE(transaction.commit(), 0);
    QCOMPARE(TestDatabase::column(m_file, "SELECT code FROM update_log"), QStringList{});
    QCOMPARE(TestDatabase::column(m_file, "SELECT flag FROM list_hscode WHERE code='03'"), QStringList{"Y"});

    // Without a connection nothing is tried.
    QCOMPARE(transaction.disconnect(), 0);
    QCOMPARE(view.update(), -1);
    QCOMPARE(view.modifiedCount(), 2);

    // A view without an update table cannot write its changes.
    DataView readOnly;
    DataViewDefinition definition = chapterDefinition();
    definition.updateTable.clear();
    readOnly.setDefinition(definition);
    readOnly.setTransObject(&transaction);
    QCOMPARE(transaction.connect(), 0);
    QCOMPARE(readOnly.retrieve(), 3);
    readOnly.setItem(1, "flag", "N");
    QCOMPARE(readOnly.update(), -1);
    QCOMPARE(readOnly.modifiedCount(), 1);
}

void TestDataViewDatabase::updateFailsOnTrigger()
{
    TestEnv env;
    Transaction transaction;
    QVERIFY(openDatabase(env, transaction,
                         "CREATE TRIGGER refuse BEFORE UPDATE ON list_hscode WHEN new.flag = 'X' "
                         "BEGIN SELECT RAISE(ABORT,'no'); END;"));
    DataView view;
    QCOMPARE(retrieveChapters(view, transaction), 4L);
    view.setItem(1, "flag", "X");
    QCOMPARE(view.update(), -1);
    QCOMPARE(view.modifiedCount(), 1);
    QCOMPARE(view.itemStatus(1, 3), ItemStatus::DataModified);
    QCOMPARE(transaction.sqlCode(), -1);
    QVERIFY(!transaction.sqlErrText().isEmpty());
    // Once the value is acceptable the same changes go through.
    view.setItem(1, "flag", "N");
    QCOMPARE(view.update(), 1);
    QCOMPARE(transaction.commit(), 0);
    QCOMPARE(TestDatabase::column(m_file, "SELECT flag FROM list_hscode WHERE code='01'"), QStringList{"N"});
}

void TestDataViewDatabase::updateKeepsFlagsOnRequest()
{
    TestEnv env;
    Transaction transaction;
    QVERIFY(openDatabase(env, transaction));
    DataView view;
    QCOMPARE(retrieveChapters(view, transaction), 4L);
    view.setItem(4, "flag", "N");
    QCOMPARE(view.update(false), 1);
    QCOMPARE(view.modifiedCount(), 1);
    QCOMPARE(view.itemStatus(4, 3), ItemStatus::DataModified);
    QCOMPARE(view.resetUpdate(), 1);
    QCOMPARE(view.modifiedCount(), 0);
    QCOMPARE(transaction.commit(), 0);
    QCOMPARE(TestDatabase::column(m_file, "SELECT flag FROM list_hscode WHERE code='03'"), QStringList{"N"});
}

// A changed row keeps its flags and its original key through a sort, and only it is written.
void TestDataViewDatabase::sortKeepsFlagsAndOriginalKeys()
{
    TestEnv env;
    Transaction transaction;
    QVERIFY(openDatabase(env, transaction));
    DataView view;
    QCOMPARE(retrieveChapters(view, transaction), 4L);
    QCOMPARE(view.itemString(3, "code"), QStringLiteral("02"));
    view.setItem(3, "code", "09");
    view.setItem(3, "name", "鱼");
    QCOMPARE(view.setSort(QStringLiteral("code D")), 1);
    QCOMPARE(view.sort(), 1);
    QCOMPARE(view.itemString(1, "code"), QStringLiteral("09")); // first when sorted down
    QCOMPARE(view.itemStatus(1, 1), ItemStatus::DataModified);
    QCOMPARE(view.itemStatus(1, 3), ItemStatus::NotModified);
    for (long row = 2; row <= 4; ++row)
        QCOMPARE(view.itemStatus(row, 0), ItemStatus::NotModified);
    QCOMPARE(view.modifiedCount(), 1);

    QCOMPARE(view.update(), 1);
    QCOMPARE(transaction.commit(), 0);
    QCOMPARE(TestDatabase::column(m_file, "SELECT code FROM update_log"), QStringList{"09"});
    QCOMPARE(TestDatabase::column(m_file, "SELECT name FROM list_hscode WHERE code='09'"), QStringList{"鱼"});
    QCOMPARE(TestDatabase::column(m_file, "SELECT count(*) FROM list_hscode WHERE code='02'"), QStringList{"0"});
}

KIV_TEST_GUILESS_MAIN(TestDataViewDatabase)
#include "tst_dataviewdatabase.moc"
