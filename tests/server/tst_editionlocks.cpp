// Imports and restores one at a time, with a second user acting at the worst moment: between
// the first one's reading and its copying (a PausePoint handler). On a real team database and
// on the bundled file opened twice.

#include "core/edition/EditionBackups.h"
#include "core/edition/EditionLock.h"
#include "core/edition/EditionUndo.h"
#include "core/edition/ImportCommand.h"
#include "core/edition/PausePoint.h"
#include "core/edition/ServerEditionBackups.h"
#include "core/runtime/Transaction.h"
#include "core/session/globals.h"
#include "ui/edition/w_edition_import.h"
#include "ui/runtime/MessageBox.h"

#include "support/TeamServer.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QElapsedTimer>
#include <QtTest>

using edition::EditionLock;
using edition::EditionUndo;
using edition::PausePoint;

namespace {

// The second user's work, run once at the named point of the first's.
class SecondActor
{
public:
    SecondActor(const char *point, std::function<void()> work)
    {
        PausePoint::setHandler([this, point, work](const QByteArray &name) {
            if (name != point || m_done)
                return;
            m_done = true;
            QElapsedTimer clock;
            clock.start();
            work();
            m_waitedMs = clock.elapsed();
        });
    }
    ~SecondActor() { PausePoint::setHandler({}); }
    bool done() const { return m_done; }
    qint64 waitedMs() const { return m_waitedMs; }

private:
    bool m_done = false;
    qint64 m_waitedMs = 0;
};

} // namespace

class tst_editionlocks : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void secondWorkAtTheWorstMomentIsRefused_data();
    void secondWorkAtTheWorstMomentIsRefused();
    void theQuestionNamesTheEditionsAndItsBackupIsRestored();
    void aRestoreRefusedInTheWindowSaysWhy();
    void twoRestoresOfOneFile();

private:
    int import(const QString &edition, QString *err);
    QString counts(runtime::Transaction *t) const;

    TeamServer m_server;
    std::unique_ptr<TestEnv> m_env;
};

void tst_editionlocks::initTestCase()
{
    const QString missing = PostgresCluster::missingReason();
    if (!missing.isEmpty())
        QSKIP(qPrintable(missing));
    QString error;
    QVERIFY2(m_server.start(true, &error), qPrintable(error));
    m_env = std::make_unique<TestEnv>();
    const QByteArray bundled = TestEnv::readFile(QStringLiteral(KIV_SOURCE_DIR "/db/cn_hscode_2026.csv"));
    for (const char *year : {"2027", "2028"})
        QVERIFY(TestEnv::writeFile(m_env->path(QStringLiteral("cn_hscode_%1.csv").arg(QLatin1String(year))),
                                   QByteArray(bundled).replace(",改良种用濒危野马,", ",改良种用濒危野马" + QByteArray(year) + ",")));
}

int tst_editionlocks::import(const QString &edition, QString *err)
{
    QString out;
    QTextStream o(&out), e(err);
    const int status = edition::ImportCommand::run({QStringLiteral("kivtree"), QStringLiteral("--import"),
                                                    QStringLiteral("cn_hscode_%1.csv").arg(edition)},
                                                   m_server.adminConnectString(), o, e, m_env->workDir());
    e.flush();
    return status;
}

// Rows of every table a restore copies back, and the backups there are.
QString tst_editionlocks::counts(runtime::Transaction *t) const
{
    t->commit();
    return TeamServer::scalar(t, QStringLiteral("SELECT concat_ws(',', (SELECT count(*) FROM dbo.list_hscode_shared), "
                                                "(SELECT count(*) FROM dbo.list_jmwcode_shared), "
                                                "(SELECT count(*) FROM dbo.tariff_line), "
                                                "(SELECT count(*) FROM dbo.tariff_chapter), "
                                                "(SELECT count(*) FROM dbo.supervision_certificate), "
                                                "(SELECT count(*) FROM dbo.inspection_category))"));
}

void tst_editionlocks::secondWorkAtTheWorstMomentIsRefused_data()
{
    QTest::addColumn<QByteArray>("first");  // restore or import
    QTest::addColumn<QByteArray>("second");
    QTest::newRow("two restores") << QByteArray("restore") << QByteArray("restore");
    QTest::newRow("a restore, then an import") << QByteArray("restore") << QByteArray("import");
    QTest::newRow("an import, then a restore") << QByteArray("import") << QByteArray("restore");
    QTest::newRow("two imports") << QByteArray("import") << QByteArray("import");
}

void tst_editionlocks::secondWorkAtTheWorstMomentIsRefused()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QString err;
    // Two backups to go back to.
    while (TeamServer::scalar(m_server.connectAs(QStringLiteral("alice")).get(),
                              QStringLiteral("SELECT count(*) FROM dbo.edition_backup"))
               .toInt()
           < 2)
        QVERIFY2(import(QStringLiteral("2027"), &err) == 0 && import(QStringLiteral("2028"), &err) == 0, qPrintable(err));
    auto one = TeamServer::transaction(m_server.adminConnectString());
    auto two = TeamServer::transaction(m_server.adminConnectString());
    QCOMPARE(one->connect(), 0);
    QCOMPARE(two->connect(), 0);
    const QString full = counts(one.get());
    const QString backups = QStringLiteral("SELECT string_agg(id::text, ',' ORDER BY id) FROM dbo.edition_backup");
    const QString before = TeamServer::scalar(one.get(), backups);
    // Both users confirmed the same newest backup.
    const EditionUndo::Choice choice = EditionUndo::newest(one.get(), QString());
    QVERIFY(choice.serverId > 0);
    QVERIFY2(choice.currentEdition.startsWith(QLatin1String("CN20")) && choice.backupEdition.startsWith(QLatin1String("CN20")),
             qPrintable(choice.currentEdition + QLatin1Char(' ') + choice.backupEdition));

    QString secondMessage;
    int secondStatus = -1;
    SecondActor actor(first == "restore" ? "restore-read" : "apply-locked", [&] {
        if (second == "restore") {
            const EditionUndo::Result r = EditionUndo::restore(two.get(), QString(), choice);
            secondStatus = r.ok ? 0 : 1;
            secondMessage = r.message;
        } else {
            secondStatus = import(QStringLiteral("2027"), &secondMessage);
        }
    });
    QString firstError;
    const bool firstOk = first == "restore" ? EditionUndo::restore(one.get(), QString(), choice).ok
                                            : import(QStringLiteral("2028"), &firstError) == 0;
    QVERIFY2(firstOk, qPrintable(firstError));
    QVERIFY(actor.done());
    QVERIFY(secondStatus != 0);
    QVERIFY2(secondMessage.contains(EditionLock::busyMessage()), qPrintable(secondMessage));
    // Told after a bounded wait, not at once and not never.
    QVERIFY2(actor.waitedMs() >= (EditionLock::kWaitSeconds - 1) * 1000 && actor.waitedMs() < 30000,
             qPrintable(QString::number(actor.waitedMs())));

    QCOMPARE(counts(two.get()), full);
    const QStringList ids = before.split(QLatin1Char(','));
    const QString after = TeamServer::scalar(two.get(), backups);
    if (first == "restore") // the restored backup goes, the older one stays
        QCOMPARE(after, QStringList(ids.mid(0, ids.size() - 1)).join(QLatin1Char(',')));
    else
        QVERIFY2(after.startsWith(QStringList(ids.mid(ids.size() - 2)).join(QLatin1Char(','))), qPrintable(after));
    QVERIFY(!counts(two.get()).split(QLatin1Char(',')).contains(QStringLiteral("0")));
}

// 恢复上一版本 as the owner clicks it: the question names the editions and the backup's date;
// a colleague imports while it is on screen, and yet the confirmed backup is the one restored.
void tst_editionlocks::theQuestionNamesTheEditionsAndItsBackupIsRestored()
{
    QString err;
    QVERIFY2(import(QStringLiteral("2027"), &err) == 0, qPrintable(err));
    auto owner = TeamServer::transaction(m_server.adminConnectString());
    QCOMPARE(owner->connect(), 0);
    const QString newest = QStringLiteral("SELECT max(id) FROM dbo.edition_backup");
    const QString confirmed = TeamServer::scalar(owner.get(), newest);
    const QString madeAt = TeamServer::scalar(
        owner.get(), QStringLiteral("SELECT to_char(made_at, 'YYYY-MM-DD HH24:MI:SS') FROM dbo.edition_backup WHERE id = %1")
                         .arg(confirmed));
    const QString name = QStringLiteral("SELECT name FROM dbo.list_hscode_shared WHERE code = '0101210010'");
    const QString before = TeamServer::scalar(owner.get(), QStringLiteral("SELECT name FROM dbo.list_hscode_shared_backup "
                                                                          "WHERE code = '0101210010' AND backup_id = %1")
                                                               .arg(confirmed));
    owner->commit();
    QStringList questions;
    runtime::setMessageHandler([&](const runtime::MessageRequest &box) {
        questions.append(box.text);
        if (questions.size() == 1) { // meanwhile a colleague imports another edition
            QString e;
            if (import(QStringLiteral("2028"), &e) != 0)
                questions.append(e);
        }
        return 1;
    });
    runtime::Transaction *main = sqlca;
    sqlca = owner.get();
    edition::w_edition_import::undoLast(nullptr);
    sqlca = main;
    runtime::setMessageHandler({});
    // The question, then the report of what the restore changed: no colleague's error between.
    QCOMPARE(questions.size(), 2);
    QVERIFY2(questions.at(1).startsWith(QStringLiteral("已恢复上一版本")), qPrintable(questions.at(1)));
    QVERIFY2(questions.first().contains(QStringLiteral("当前版本 CN2027 / HS2022"))
                 && questions.first().contains(QStringLiteral("备份于 ") + madeAt),
             qPrintable(questions.first()));
    owner->commit();
    QCOMPARE(TeamServer::scalar(owner.get(), name), before);
    const QString left = TeamServer::scalar(owner.get(), QStringLiteral("SELECT string_agg(id::text, ',') FROM dbo.edition_backup"));
    QVERIFY2(!left.split(QLatin1Char(',')).contains(confirmed), qPrintable(left));
    QVERIFY2(left.split(QLatin1Char(',')).contains(QString::number(confirmed.toInt() + 1)), qPrintable(left)); // the colleague's
}

// 恢复上一版本 chosen while a colleague's restore is under way: after the bounded wait the
// user reads why, not the general save warning.
void tst_editionlocks::aRestoreRefusedInTheWindowSaysWhy()
{
    QString err;
    QVERIFY2(import(QStringLiteral("2027"), &err) == 0, qPrintable(err));
    auto one = TeamServer::transaction(m_server.adminConnectString());
    auto two = TeamServer::transaction(m_server.adminConnectString());
    QCOMPARE(one->connect(), 0);
    QCOMPARE(two->connect(), 0);
    MessageRecorder recorder;
    recorder.answer(1); // 是: restore
    SecondActor actor("restore-read", [&] {
        runtime::Transaction *main = sqlca;
        sqlca = two.get();
        edition::w_edition_import::undoLast(nullptr);
        sqlca = main;
    });
    QVERIFY(EditionUndo::restoreNewest(one.get(), QString()).ok);
    QVERIFY(actor.done());
    QCOMPARE(recorder.texts().size(), 2);
    QVERIFY2(recorder.texts().first().contains(QStringLiteral("恢复为导入前的版本")), qPrintable(recorder.texts().first()));
    QCOMPARE(recorder.texts().last(), EditionLock::busyMessage());
}

// Two program instances on one bundled file: the second restore waits, then is told.
void tst_editionlocks::twoRestoresOfOneFile()
{
    TestEnv env;
    const QString db = env.path(QStringLiteral("K-I-V.db"));
    QVERIFY(QFile::copy(TeamServer::bundledDatabase(), db));
    auto one = TeamServer::transaction(TestEnv::directConnectString(db));
    auto two = TeamServer::transaction(TestEnv::directConnectString(db));
    QCOMPARE(one->connect(), 0);
    QCOMPARE(two->connect(), 0);
    QString error;
    QVERIFY2(!edition::EditionBackups(db).create(one.get(), QDateTime::currentDateTime(), &error).isEmpty(),
             qPrintable(error));
    const EditionUndo::Choice choice = EditionUndo::newest(one.get(), db);
    QVERIFY(choice.exists());
    QCOMPARE(choice.backupEdition, QStringLiteral("CN2026 / HS2022"));
    EditionUndo::Result secondResult;
    SecondActor actor("restore-read", [&] { secondResult = EditionUndo::restore(two.get(), db, choice); });
    const EditionUndo::Result firstResult = EditionUndo::restore(one.get(), db, choice);
    QVERIFY2(firstResult.ok, qPrintable(firstResult.message));
    QVERIFY(actor.done());
    QVERIFY(!secondResult.ok && secondResult.refused);
    QCOMPARE(secondResult.message, EditionLock::busyMessage());
    // Afterwards the backup is gone: a late second restore says so and changes nothing.
    const EditionUndo::Result late = EditionUndo::restore(two.get(), db, choice);
    QVERIFY(!late.ok && late.refused);
    QVERIFY2(late.message.contains(QStringLiteral("已不存在")), qPrintable(late.message));
    QCOMPARE(TestDatabase::column(db, QStringLiteral("SELECT count(*) FROM list_hscode")),
             TestDatabase::column(TeamServer::bundledDatabase(), QStringLiteral("SELECT count(*) FROM list_hscode")));
}

KIV_TEST_MAIN(tst_editionlocks)
#include "tst_editionlocks.moc"
