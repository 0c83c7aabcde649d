// Chinese names of headings on the team database: one declarant imports them with the
// customs list's chapters file, a colleague sees them, a WCO list keeps a renamed heading's
// name, and 恢复上一版本 goes back through both imports.

#include "core/edition/EditionUndo.h"
#include "core/edition/ImportCommand.h"
#include "core/export/ExportSource.h"
#include "core/runtime/Transaction.h"
#include "core/tariff/HeadingNames.h"

#include "support/TeamServer.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

class tst_ServerHeadingNames : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QString missing = PostgresCluster::missingReason();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        QString error;
        QVERIFY2(m_server.start(true, &error), qPrintable(error));
    }

    void importedByOneSeenByAnother()
    {
        TestEnv env;
        const QString db = QStringLiteral(KIV_SOURCE_DIR "/db/");
        QVERIFY(QFile::copy(db + QStringLiteral("cn_hscode_2026.csv"), env.path(QStringLiteral("cn_hscode_2027.csv"))));
        QVERIFY(TestEnv::writeFile(env.path(QStringLiteral("cn_chapters_2027.csv")),
                                   TestEnv::readFile(db + QStringLiteral("cn_chapters_2026.csv"))
                                       + "0101,,马、驴、骡,\n010121,,改良种用马,\n"));
        const QByteArray wco = TestEnv::readFile(db + QStringLiteral("harmonized-system.csv"));
        const QByteArray renamed = "\"Horses, asses, mules and hinnies; live\"";
        QVERIFY(wco.contains(renamed));
        QVERIFY(TestEnv::writeFile(env.path(QStringLiteral("hs_2027.csv")),
                                   QByteArray(wco).replace(renamed, "\"Horses, asses and mules; live\"")));

        auto alice = m_server.connectAs(QStringLiteral("alice"));
        QVERIFY(alice);
        const auto namesOf = [&alice]() {
            QHash<QString, QString> names;
            QString error;
            if (!tariff::HeadingNames::read(alice.get(), &names, &error))
                qWarning() << error;
            alice->rollback(); // a new snapshot for the next read
            return names;
        };
        QVERIFY(namesOf().isEmpty());

        QString out;
        const auto import = [&](const QStringList &arguments) {
            QString err;
            out.clear();
            QTextStream o(&out), e(&err);
            const int status = edition::ImportCommand::run(QStringList{QStringLiteral("kivtree"), QStringLiteral("--import")}
                                                               + arguments,
                                                           m_server.adminConnectString(), o, e,
                                                           env.workDir());
            if (status != 0)
                qWarning() << out << err;
            return status;
        };
        QCOMPARE(import({QStringLiteral("cn_hscode_2027.csv"), QStringLiteral("--chapters"),
                         QStringLiteral("cn_chapters_2027.csv")}),
                 0);
        QCOMPARE(namesOf().value(QStringLiteral("0101")), QStringLiteral("马、驴、骡"));
        kivexport::ExportSource source(alice.get());
        const auto records = source.subtree(QStringLiteral("hs"), QStringLiteral("0101"));
        QVERIFY(records && records->size() > 2);
        QCOMPARE(records->value(0).name, QStringLiteral("马、驴、骡"));
        QCOMPARE(records->value(1).name, QStringLiteral("改良种用马"));
        alice->rollback();

        QCOMPARE(import({QStringLiteral("hs_2027.csv"), QStringLiteral("--list"), QStringLiteral("trade")}), 0);
        QVERIFY2(out.contains(QStringLiteral("请核对中文名称：1 个品目或子目的英文名称已变更，其中文名称保留不变：0101")),
                 qPrintable(out));
        QCOMPARE(namesOf().value(QStringLiteral("0101")), QStringLiteral("马、驴、骡"));

        auto owner = TeamServer::transaction(m_server.adminConnectString()); // only the owner restores
        QCOMPARE(owner->connect(), 0);
        for (int undo = 0; undo < 2; ++undo) {
            const edition::EditionUndo::Result undone = edition::EditionUndo::restoreNewest(owner.get(), QString());
            QVERIFY2(undone.ok, qPrintable(undone.message));
        }
        QVERIFY(namesOf().isEmpty());
    }

    // A team database set up before the names had a table: imports and 恢复上一版本 go on
    // without it, and a chapters file with names is refused whole, saying why.
    void anOlderTeamDatabaseWithoutTheTable()
    {
        QVERIFY(m_server.cluster().exec(TeamServer::database(),
                                        {QStringLiteral("DROP TABLE dbo.heading_name_cn_backup"),
                                         QStringLiteral("DROP TABLE dbo.heading_name_cn")}));
        TestEnv env;
        const QString db = QStringLiteral(KIV_SOURCE_DIR "/db/");
        QVERIFY(TestEnv::writeFile(env.path(QStringLiteral("cn_hscode_2027.csv")),
                                   TestEnv::readFile(db + QStringLiteral("cn_hscode_2026.csv"))
                                       .replace(",改良种用濒危野马,", ",改良种用濒危野马（新）,")));
        QVERIFY(TestEnv::writeFile(env.path(QStringLiteral("cn_chapters_2027.csv")),
                                   TestEnv::readFile(db + QStringLiteral("cn_chapters_2026.csv")) + "0101,,马、驴、骡,\n"));
        const auto import = [&](const QStringList &arguments, QString *err) {
            QString out;
            QTextStream o(&out), e(err);
            return edition::ImportCommand::run(QStringList{QStringLiteral("kivtree"), QStringLiteral("--import"),
                                                           QStringLiteral("cn_hscode_2027.csv")}
                                                   + arguments,
                                               m_server.adminConnectString(), o, e, env.workDir());
        };
        auto alice = m_server.connectAs(QStringLiteral("alice"));
        const QString name = QStringLiteral("SELECT name FROM list_hscode WHERE code = '0101210010'");
        QString err;
        QCOMPARE(import({QStringLiteral("--chapters"), QStringLiteral("cn_chapters_2027.csv")}, &err), 1);
        QVERIFY2(err.contains(QStringLiteral("heading_name_cn")), qPrintable(err));
        QCOMPARE(TeamServer::scalar(alice.get(), name), QStringLiteral("改良种用濒危野马"));
        alice->rollback();
        QCOMPARE(import({}, &err), 0);
        QCOMPARE(TeamServer::scalar(alice.get(), name), QStringLiteral("改良种用濒危野马（新）"));
        alice->rollback();
        auto owner = TeamServer::transaction(m_server.adminConnectString()); // only the owner restores
        QCOMPARE(owner->connect(), 0);
        const edition::EditionUndo::Result undone = edition::EditionUndo::restoreNewest(owner.get(), QString());
        QVERIFY2(undone.ok, qPrintable(undone.message));
        alice->rollback(); // a new snapshot
        QCOMPARE(TeamServer::scalar(alice.get(), name), QStringLiteral("改良种用濒危野马"));
    }

private:
    TeamServer m_server;
};

KIV_TEST_MAIN(tst_ServerHeadingNames)
#include "tst_serverheadingnames.moc"
