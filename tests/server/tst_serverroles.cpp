// Who may do what on a team database, tried as a team member would: plain SQL typed into psql
// as bob, the program's own import and restore as a member, and --init-server on a database
// where another application keeps its own schema dbo.

#include "core/edition/ImportCommand.h"
#include "core/library/ItemStore.h"
#include "core/runtime/Transaction.h"
#include "core/server/InitServerCommand.h"
#include "core/session/globals.h"
#include "core/tariff/ElementValuesStore.h"
#include "core/tariff/NotesStore.h"
#include "ui/edition/w_edition_import.h"

#include "support/TeamServer.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QtTest>

namespace {

// Every row of the tables a member must not change, as one text, read as the owner.
const QString kFingerprint = QStringLiteral(
    "SELECT concat_ws('|', (SELECT md5(string_agg(t::text, ',' ORDER BY t::text)) FROM dbo.list_hscode_shared t), "
    "(SELECT md5(string_agg(t::text, ',' ORDER BY t::text)) FROM dbo.list_jmwcode_shared t), "
    "(SELECT md5(string_agg(t::text, ',' ORDER BY t::text)) FROM dbo.tariff_line t), "
    "(SELECT md5(string_agg(t::text, ',' ORDER BY t::text)) FROM dbo.tariff_chapter t), "
    "(SELECT count(*) FROM dbo.supervision_certificate), (SELECT count(*) FROM dbo.inspection_category), "
    "(SELECT string_agg(t::text, ',' ORDER BY t::text) FROM dbo.chapter_choice t), "
    "(SELECT string_agg(t::text, ',' ORDER BY t::text) FROM dbo.user_note t), "
    "(SELECT string_agg(t::text, ',' ORDER BY t::text) FROM dbo.edition_backup t), "
    "(SELECT count(*) FROM dbo.list_hscode_shared_backup))");

} // namespace

class tst_serverroles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void memberSqlChangesNothing_data();
    void memberSqlChangesNothing();
    void notesNameTheirWriterAsTheServerKnowsIt();
    void memberImportAndRestoreRefusedBeforeReading();
    void initServerLeavesAForeignSchemaAlone();
    void itemsAndElementValuesAreTheTeams();

private:
    // Runs SQL as a role through psql, as a person would type it; the exit status and output.
    int psql(const QString &role, const QString &sql, QString *output = nullptr) const;

    TeamServer m_server;
    std::unique_ptr<runtime::Transaction> m_owner;
};

int tst_serverroles::psql(const QString &role, const QString &sql, QString *output) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), role + QStringLiteral("-pw"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("/usr/lib/postgresql/15/bin/psql"),
            {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(m_server.port()),
             QStringLiteral("-U"), role, QStringLiteral("-d"), TeamServer::database(), QStringLiteral("-X"),
             QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-c"), sql});
    p.waitForFinished(30000);
    if (output)
        *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void tst_serverroles::initTestCase()
{
    const QString missing = PostgresCluster::missingReason();
    if (!missing.isEmpty())
        QSKIP(qPrintable(missing));
    QString error;
    QVERIFY2(m_server.start(true, &error), qPrintable(error));
    m_owner = TeamServer::transaction(m_server.adminConnectString());
    QCOMPARE(m_owner->connect(), 0);
    // Alice's own choice and note, and a backup: what bob will try to change.
    QString out;
    QVERIFY2(psql(QStringLiteral("alice"), QStringLiteral("UPDATE dbo.list_hscode SET flag = 'N' WHERE code = '01'"), &out) == 0,
             qPrintable(out));
    QVERIFY2(psql(QStringLiteral("alice"), QStringLiteral("INSERT INTO dbo.user_note (list, code, note, version) "
                                                          "VALUES ('hs', '0101', 'alice''s note', 1)"),
                  &out)
                 == 0,
             qPrintable(out));
    QCOMPARE(m_owner->execute(QStringLiteral("INSERT INTO dbo.edition_backup DEFAULT VALUES")), 0);
    QCOMPARE(m_owner->commit(), 0);
}

void tst_serverroles::memberSqlChangesNothing_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("answer"); // the error, or what psql says when no row was allowed
    const QString denied = QStringLiteral("permission denied");
    QTest::newRow("shared chapter flag") << "UPDATE dbo.list_hscode_shared SET flag = 'N' WHERE code = '02'" << denied;
    QTest::newRow("shared list emptied") << "DELETE FROM dbo.list_jmwcode_shared" << denied;
    QTest::newRow("name through the view") << "UPDATE dbo.list_hscode SET name = 'x' WHERE code = '01'" << denied;
    QTest::newRow("row deleted through the view") << "DELETE FROM dbo.list_hscode WHERE code = '01'" << denied;
    QTest::newRow("row added through the view") << "INSERT INTO dbo.list_jmwcode (jmw_code, name) VALUES ('99', 'x')" << denied;
    QTest::newRow("tariff line") << "UPDATE dbo.tariff_line SET general_rate = '0'" << denied;
    QTest::newRow("tariff chapters") << "DELETE FROM dbo.tariff_chapter" << denied;
    QTest::newRow("certificates") << "DELETE FROM dbo.supervision_certificate" << denied;
    QTest::newRow("inspection") << "TRUNCATE dbo.inspection_category" << denied;
    QTest::newRow("backups deleted") << "DELETE FROM dbo.edition_backup" << denied;
    QTest::newRow("backup rows deleted") << "DELETE FROM dbo.list_hscode_shared_backup" << denied;
    QTest::newRow("backup forged") << "INSERT INTO dbo.edition_backup DEFAULT VALUES" << denied;
    QTest::newRow("another's choice changed") << "UPDATE dbo.chapter_choice SET flag = 'Y' WHERE role = 'alice'"
                                              << "UPDATE 0";
    QTest::newRow("another's choice deleted") << "DELETE FROM dbo.chapter_choice" << "DELETE 0";
    QTest::newRow("a choice in another's name")
        << "INSERT INTO dbo.chapter_choice (role, list, code, flag) VALUES ('alice', 'hs', '02', 'N')"
        << "row-level security";
    QTest::newRow("note in another's name")
        << "INSERT INTO dbo.user_note (list, code, note, changed_by, version) VALUES ('hs', '02', 'x', 'alice', 1)"
        << "changed_by is set by the server";
    QTest::newRow("another's note renamed") << "UPDATE dbo.user_note SET changed_by = 'kivadmin', note = 'x'"
                                            << "changed_by is set by the server";
    QTest::newRow("a code of 10^5 characters")
        << "INSERT INTO dbo.user_note (list, code, note, version) VALUES ('hs', repeat('8', 100000), 'x', 1)"
        << "check constraint";
}

void tst_serverroles::memberSqlChangesNothing()
{
    QFETCH(QString, sql);
    QFETCH(QString, answer);
    const QString before = TeamServer::scalar(m_owner.get(), kFingerprint);
    QVERIFY(!before.startsWith(QLatin1String("<")));
    QString out;
    const int status = psql(QStringLiteral("bob"), sql, &out);
    QVERIFY2(out.contains(answer), qPrintable(out));
    QVERIFY2((status == 0) == answer.endsWith(QLatin1String(" 0")), qPrintable(out));
    m_owner->commit();
    QCOMPARE(TeamServer::scalar(m_owner.get(), kFingerprint), before);
}

// Whoever a client claims, a note names the role that wrote it, at the server's time; the
// program's own saves (with the login name of the machine) go through.
void tst_serverroles::notesNameTheirWriterAsTheServerKnowsIt()
{
    QString out;
    QVERIFY2(psql(QStringLiteral("bob"), QStringLiteral("UPDATE dbo.user_note SET note = 'bob wrote this' "
                                                        "WHERE code = '0101'"),
                  &out)
                 == 0,
             qPrintable(out));
    m_owner->commit();
    QCOMPARE(TeamServer::scalar(m_owner.get(), QStringLiteral("SELECT changed_by || ':' || note FROM dbo.user_note "
                                                              "WHERE code = '0101'")),
             QStringLiteral("bob:bob wrote this"));
    auto alice = m_server.connectAs(QStringLiteral("alice"));
    tariff::NotesStore store(alice.get());
    const auto saved = store.save(QStringLiteral("hs"), QStringLiteral("0102"), QStringLiteral("<b>马</b>"),
                                  QString(), 0);
    QVERIFY2(saved.status == tariff::NotesStore::SaveStatus::Saved, qPrintable(saved.message));
    const auto note = store.note(QStringLiteral("hs"), QStringLiteral("0102"));
    QVERIFY(note.has_value());
    QCOMPARE(note->changedBy, QStringLiteral("alice"));
    QVERIFY(qAbs(note->changedAt.secsTo(QDateTime::currentDateTime())) < 120);
}

void tst_serverroles::memberImportAndRestoreRefusedBeforeReading()
{
    QString out, err;
    QTextStream o(&out), e(&err);
    // The file does not exist: a member hears who may import, not what is wrong with the file.
    QCOMPARE(edition::ImportCommand::run({QStringLiteral("kivtree"), QStringLiteral("--import"),
                                          QStringLiteral("no-such-file.csv")},
                                         m_server.connectString(QStringLiteral("bob")), o, e, QDir::tempPath()),
             int(edition::ImportCommand::BadInput));
    e.flush();
    QVERIFY2(err.contains(QStringLiteral("只有数据库的所有者 kivadmin")), qPrintable(err));

    auto bob = m_server.connectAs(QStringLiteral("bob"));
    runtime::Transaction *before = sqlca;
    sqlca = bob.get();
    MessageRecorder recorder;
    QVERIFY(!edition::w_edition_import::openFor(nullptr));
    edition::w_edition_import::undoLast(nullptr);
    sqlca = before;
    QCOMPARE(recorder.boxes().size(), 2); // no question about a backup: the answer comes first
    for (const auto &box : recorder.boxes())
        QVERIFY2(box.text.contains(QStringLiteral("只有数据库的所有者 kivadmin")), qPrintable(box.text));
}

void tst_serverroles::initServerLeavesAForeignSchemaAlone()
{
    PostgresCluster &cluster = m_server.cluster();
    QVERIFY(cluster.exec(QStringLiteral("postgres"), {QStringLiteral("CREATE DATABASE shop")}));
    QVERIFY(cluster.exec(QStringLiteral("shop"), {QStringLiteral("CREATE SCHEMA dbo"),
                                                  QStringLiteral("CREATE TABLE dbo.orders (id integer)"),
                                                  QStringLiteral("INSERT INTO dbo.orders VALUES (7)")}));
    const QString shop = cluster.connectString(QStringLiteral("shop"), PostgresCluster::adminUser(),
                                               PostgresCluster::adminPassword());
    auto owner = TeamServer::transaction(shop);
    QCOMPARE(owner->connect(), 0);
    const QString schemas = QStringLiteral("SELECT string_agg(nspname, ',' ORDER BY nspname) FROM pg_namespace "
                                           "WHERE nspname LIKE 'dbo%'");
    const QString setting = QStringLiteral("SELECT count(*) FROM pg_db_role_setting s JOIN pg_database d "
                                           "ON d.oid = s.setdatabase WHERE d.datname = 'shop'");

    QString out, err;
    QTextStream o(&out), e(&err);
    const QStringList command{QStringLiteral("kivtree"), QStringLiteral("--init-server")};
    QCOMPARE(server::InitServerCommand::run(command, {}, shop, TeamServer::bundledDatabase(), o, e),
             int(server::InitServerCommand::BadInput));
    e.flush();
    QVERIFY2(err.contains(QStringLiteral("dbo.orders")) && err.contains(QStringLiteral("--force")), qPrintable(err));
    QCOMPARE(TeamServer::scalar(owner.get(), schemas), QStringLiteral("dbo"));
    QCOMPARE(TeamServer::scalar(owner.get(), QStringLiteral("SELECT id FROM dbo.orders")), QStringLiteral("7"));
    owner->commit();

    QCOMPARE(server::InitServerCommand::run(command + QStringList{QStringLiteral("--force")}, {}, shop,
                                            TeamServer::bundledDatabase(), o, e),
             int(server::InitServerCommand::Done));
    o.flush();
    QVERIFY2(out.contains(QStringLiteral("dbo.orders")) && out.contains(QStringLiteral("dbo_backup_")), qPrintable(out));
    const QString kept = out.section(QStringLiteral("备份模式 "), 1).section(QStringLiteral("。"), 0, 0);
    QCOMPARE(TeamServer::scalar(owner.get(), QStringLiteral("SELECT id FROM %1.orders").arg(kept)), QStringLiteral("7"));
    // Nothing set for the database as a whole but who may connect.
    QCOMPARE(TeamServer::scalar(owner.get(), setting), QStringLiteral("0"));
    QCOMPARE(TeamServer::scalar(owner.get(), QStringLiteral("SELECT has_database_privilege('public', 'shop', 'CONNECT')::int")),
             QStringLiteral("0"));
}

// The item library and the elements last used are the team's: members write them, the server
// names the writer, a stale version is refused, and a database set up without the tables gets
// them from --init-server --upgrade.
void tst_serverroles::itemsAndElementValuesAreTheTeams()
{
    auto alice = m_server.connectAs(QStringLiteral("alice"));
    auto bob = m_server.connectAs(QStringLiteral("bob"));
    library::ItemStore aliceItems(alice.get());
    aliceItems.setUserName(QStringLiteral("someone-else")); // what the client claims does not count
    library::Item item;
    item.partNumber = QStringLiteral("T-1");
    item.name = QStringLiteral("种马");
    item.code = QStringLiteral("0101.2100.10");
    auto saved = aliceItems.save(item, 0);
    QVERIFY2(saved.ok(), qPrintable(saved.message));
    QCOMPARE(saved.saved.changedBy, QStringLiteral("alice"));
    QCOMPARE(saved.saved.code, QStringLiteral("0101210010"));

    library::ItemStore bobItems(bob.get());
    const auto read = bobItems.item(QStringLiteral("T-1"));
    QVERIFY(read);
    library::Item mine = saved.saved;
    mine.reason = QStringLiteral("alice again");
    QVERIFY(aliceItems.save(mine, saved.saved.version).ok());
    library::Item stale = *read;
    stale.reason = QStringLiteral("bob");
    const auto refused = bobItems.save(stale, read->version);
    QCOMPARE(refused.status, library::ItemStore::Status::Conflict);
    QCOMPARE(refused.current->reason, QStringLiteral("alice again"));

    QString out;
    QVERIFY2(psql(QStringLiteral("bob"), QStringLiteral("UPDATE dbo.item SET changed_by = 'alice', reason = 'typed'"), &out)
                 == 0,
             qPrintable(out));
    m_owner->commit();
    QCOMPARE(TeamServer::scalar(m_owner.get(), QStringLiteral("SELECT changed_by FROM dbo.item")), QStringLiteral("bob"));

    tariff::ElementValuesStore elements(bob.get());
    QVERIFY2(elements.save(QStringLiteral("0101210010"), {QStringLiteral("0"), QStringLiteral("3")}),
             qPrintable(elements.lastError()));
    QCOMPARE(tariff::ElementValuesStore(alice.get()).values(QStringLiteral("0101210010")),
             (QStringList{QStringLiteral("0"), QStringLiteral("3")}));
    QCOMPARE(TeamServer::scalar(m_owner.get(), QStringLiteral("SELECT changed_by FROM dbo.element_value")),
             QStringLiteral("bob"));
    alice->disconnect();
    bob->disconnect();

    // A team database from before the tables: the owner's upgrade adds them, nothing else.
    QCOMPARE(m_owner->execute(QStringLiteral("DROP TABLE dbo.item")), 0);
    QCOMPARE(m_owner->commit(), 0);
    const QString notes = TeamServer::scalar(m_owner.get(), QStringLiteral("SELECT count(*) FROM dbo.user_note"));
    m_owner->commit();
    QString upgradeOut, upgradeErr;
    QTextStream o(&upgradeOut), e(&upgradeErr);
    QCOMPARE(server::InitServerCommand::run({QStringLiteral("kivtree"), QStringLiteral("--init-server"),
                                             QStringLiteral("--upgrade")},
                                            {}, m_server.adminConnectString(), QString(), o, e),
             int(server::InitServerCommand::Done));
    QCOMPARE(TeamServer::scalar(m_owner.get(), QStringLiteral("SELECT count(*) FROM dbo.user_note")), notes);
    m_owner->commit();
    auto carol = m_server.connectAs(QStringLiteral("alice"));
    library::ItemStore again(carol.get());
    const auto afterUpgrade = again.save(item, 0);
    QVERIFY2(afterUpgrade.ok(), qPrintable(afterUpgrade.message));
    QCOMPARE(afterUpgrade.saved.changedBy, QStringLiteral("alice"));
}

KIV_TEST_MAIN(tst_serverroles)
#include "tst_serverroles.moc"
