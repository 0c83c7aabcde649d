#include "core/runtime/SqliteLibrary.h"
#include "core/runtime/Transaction.h"

#include "TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

#include <sqlite3.h>

// The library takes the setting only before it starts: one test function, in a process of its own.
class tst_SqliteLibrary : public QObject
{
    Q_OBJECT

private slots:
    // Rows read through the ODBC driver come back whole, the library counted none of the memory
    // it handed out for them, and settling it again is refused: the driver started this library.
    void theDriverReadsThroughTheSettledLibrary()
    {
        QVERIFY(runtime::settleSqliteLibrary());
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("K-I-V.db"));
        QVERIFY(QFile::copy(QStringLiteral(KIV_RUN_DIR "/K-I-V.db"), file));
        runtime::Transaction sqlca;
        sqlca.dbParm = QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(file));
        QCOMPARE(sqlca.connect(), 0);
        QVector<QVector<QVariant>> rows;
        QCOMPARE(sqlca.select(QStringLiteral("SELECT code, name FROM list_hscode WHERE code IN ('01', '0101') ORDER BY code"),
                              {runtime::ColumnType::String, runtime::ColumnType::String}, &rows), 0);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).at(0).toString(), QStringLiteral("01"));
        QVERIFY(!rows.at(1).at(1).toString().isEmpty());
        QCOMPARE(sqlite3_memory_used(), sqlite3_int64(0));
        QVERIFY(!runtime::settleSqliteLibrary());
    }
};

KIV_TEST_GUILESS_MAIN(tst_SqliteLibrary)
#include "tst_sqlitelibrary.moc"
