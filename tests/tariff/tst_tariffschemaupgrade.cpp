#include "core/tariff/TariffSchemaUpgrade.h"

#include "core/runtime/Transaction.h"
#include "core/tariff/NotesStore.h"
#include "core/tariff/TariffStore.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

// A database made before the tariff tables existed, brought up to date at start.
class tst_TariffSchemaUpgrade : public QObject
{
    Q_OBJECT

    // Only the two code tables, with a chapter the user unticked.
    static bool makeOldDatabase(const QString &file)
    {
        return TestDatabase::exec(
            file, QStringLiteral("CREATE TABLE list_hscode (code char(13) PRIMARY KEY, name, unit, sz, zssl_set, "
                                 "zssl_set1, tsl_ym, splb, note, flag, op_user, op_date);"
                                 "CREATE TABLE list_jmwcode (jmw_code char(13) PRIMARY KEY, m_flag, name, unit, flag);"
                                 "INSERT INTO list_hscode(code, name, flag) VALUES ('01', '活动物', 'N'),"
                                 " ('0101210010', '改良种用濒危野马', NULL);"));
    }

private slots:
    void upgrade_data()
    {
        QTest::addColumn<bool>("withSource");
        QTest::newRow("from the installed database") << true;
        QTest::newRow("without one") << false;
    }

    void upgrade()
    {
        QFETCH(bool, withSource);
        TestEnv env;
        const QString file = env.path(QStringLiteral("K-I-V.db"));
        QVERIFY(makeOldDatabase(file));
        runtime::Transaction sqlca;
        sqlca.dbParm = QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(file));
        sqlca.autoCommit = false;
        QCOMPARE(sqlca.connect(), 0);
        const auto result = tariff::TariffSchemaUpgrade::upgrade(
            &sqlca, withSource ? QStringLiteral(KIV_RUN_DIR "/K-I-V.db") : QString());
        QCOMPARE(result.complete(), withSource);
        // The user's flag stays, and notes can be kept either way.
        QCOMPARE(TestDatabase::column(file, QStringLiteral("SELECT flag FROM list_hscode WHERE code = '01'")),
                 QStringList{QStringLiteral("N")});
        tariff::NotesStore notes(&sqlca);
        QVERIFY(notes.save(QStringLiteral("hs"), QStringLiteral("0101210010"), QStringLiteral("备注"), QString()).ok());
        const auto record = tariff::TariffStore(&sqlca).record(QStringLiteral("0101210010"));
        QVERIFY(record);
        if (withSource) {
            QCOMPARE(record->supervisionConditions, QStringLiteral("AFEB"));
            QVERIFY(record->missingFields.isEmpty());
        } else {
            QVERIFY(record->missingFields.contains(QStringLiteral("declarationElements")));
        }
        // A second start finds nothing more to do.
        QCOMPARE(tariff::TariffSchemaUpgrade::upgrade(&sqlca, QString()).status == tariff::TariffSchemaUpgrade::Status::UpToDate,
                 withSource);
        sqlca.disconnect();
    }
};

KIV_TEST_MAIN(tst_TariffSchemaUpgrade)
#include "tst_tariffschemaupgrade.moc"
