#include "core/runtime/SqliteLibrary.h"
#include "core/runtime/Transaction.h"

#include "TestEnv.h"
#include "support/TestMain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

// One test function: the library can be settled only once a process, before it starts.
class tst_SqliteLibrary : public QObject
{
    Q_OBJECT

private slots:
    // Settled before anything starts the library, the rows read through the ODBC driver come
    // back whole and the library counted none of the memory it handed out for them. The library
    // the driver started is this one: settling it again is refused, as a started library refuses.
    void theDriverReadsThroughTheSettledLibrary()
    {
        QVERIFY(runtime::settleSqliteLibrary());

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("K-I-V.db"));
        QVERIFY(QFile::copy(QStringLiteral(KIV_RUN_DIR "/K-I-V.db"), file));
        runtime::Transaction sqlca;
        sqlca.dbParm = QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(file));
        sqlca.autoCommit = false;
        QCOMPARE(sqlca.connect(), 0);
        QVector<QVector<QVariant>> rows;
        QCOMPARE(sqlca.select(QStringLiteral("SELECT code, name FROM list_hscode WHERE code IN ('01', '0101') ORDER BY code"),
                              {runtime::ColumnType::String, runtime::ColumnType::String}, &rows),
                 0);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).at(0).toString(), QStringLiteral("01"));
        QVERIFY(!rows.at(1).at(1).toString().isEmpty());

        QCOMPARE(sqlite3_memory_used(), sqlite3_int64(0));
        QVERIFY(!runtime::settleSqliteLibrary());
        QCOMPARE(sqlca.disconnect(), 0);
    }
};

KIV_TEST_GUILESS_MAIN(tst_SqliteLibrary)
#include "tst_sqlitelibrary.moc"
