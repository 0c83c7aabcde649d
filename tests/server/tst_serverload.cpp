// Many users on one team database at once, and a server that goes away under the program.

#include "core/edition/ImportCommand.h"
#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/server/ConsistentRead.h"
#include "core/session/globals.h"
#include "core/tariff/NotesStore.h"
#include "ui/auxiliary/u_list_dw.h"
#include "ui/options/w_sys_option.h"

#include "support/ChapterListDriver.h"
#include "support/TeamServer.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <thread>
#include <vector>

using runtime::ColumnType;

namespace {

// The renamed line tells the edition apart: its name must always match the op_user of the
// lines read in the same snapshot.
const QHash<QString, QString> kNames{{QStringLiteral("CN2026"), QStringLiteral("改良种用濒危野马")},
                                     {QStringLiteral("CN2027"), QStringLiteral("改良种用濒危野马（甲）")},
                                     {QStringLiteral("CN2028"), QStringLiteral("改良种用濒危野马（乙）")}};

} // namespace

class tst_serverload : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void twentyConnectionsSaveImportAndRead();
    void saveFailsWhileTheServerIsDownAndSucceedsAfter();

private:
    TeamServer m_server;
};

void tst_serverload::initTestCase()
{
    const QString missing = PostgresCluster::missingReason();
    if (!missing.isEmpty())
        QSKIP(qPrintable(missing));
    QString error;
    QVERIFY2(m_server.start(true, &error), qPrintable(error));
}

// Sixteen connections of two roles save chapter choices, the owner imports editions over and over,
// one saves a note, two load both lists: no save is lost, no snapshot holds half an edition,
// and nothing fails.
void tst_serverload::twentyConnectionsSaveImportAndRead()
{
    TestEnv env;
    const QByteArray bundled = TestEnv::readFile(QStringLiteral(KIV_SOURCE_DIR "/db/cn_hscode_2026.csv"));
    for (const QString &edition : {QStringLiteral("CN2027"), QStringLiteral("CN2028")})
        QVERIFY(TestEnv::writeFile(env.path(edition + QStringLiteral(".csv")),
                                   QByteArray(bundled).replace(",改良种用濒危野马,", ("," + kNames[edition] + ",").toUtf8())));
    const QStringList chapters =
        TestDatabase::column(TeamServer::bundledDatabase(), QStringLiteral("SELECT code FROM list_hscode WHERE length(code) = 2"));
    QVERIFY(chapters.size() > 90);

    constexpr int kSavers = 16;
    const QDeadlineTimer deadline(6000);
    QMutex mutex; // guards failed, which every worker adds to
    QStringList failed;
    const auto fail = [&](const QString &text) {
        const QMutexLocker lock(&mutex);
        failed.append(text);
    };
    QAtomicInt saves, imports, snapshots;
    // The value each saver last committed, per chapter: saver i alone writes its chapters of
    // its role.
    std::vector<QHash<QString, QString>> committed(kSavers);
    QString lastNote;
    std::vector<std::thread> workers;
    for (int i = 0; i < kSavers; ++i) {
        workers.emplace_back([&, i] {
            auto t = m_server.connectAs(i % 2 ? QStringLiteral("alice") : QStringLiteral("bob"));
            QStringList mine;
            for (qsizetype c = i / 2; c < chapters.size(); c += kSavers / 2)
                mine.append(chapters.at(c));
            while (!deadline.hasExpired()) {
                const QString code = mine.at(QRandomGenerator::global()->bounded(int(mine.size())));
                const QString flag = committed[i].value(code, QStringLiteral("Y")) == QLatin1String("Y")
                                         ? QStringLiteral("N")
                                         : QStringLiteral("Y");
                if (t->execute(QStringLiteral("UPDATE dbo.list_hscode SET flag = ? WHERE code = ?"), {flag, code}) != 0
                    || t->sqlNRows() != 1 || t->commit() != 0) {
                    fail(QStringLiteral("save %1: %2").arg(code, t->sqlErrText()));
                    t->rollback();
                    continue;
                }
                committed[i].insert(code, flag);
                saves.ref();
            }
        });
    }
    workers.emplace_back([&] {
        for (int n = 0; !deadline.hasExpired(); ++n) {
            const QString edition = n % 2 ? QStringLiteral("CN2028") : QStringLiteral("CN2027");
            QString out, err;
            QTextStream o(&out), e(&err);
            if (edition::ImportCommand::run({QStringLiteral("kivtree"), QStringLiteral("--import"), edition + ".csv",
                                             QStringLiteral("--edition"), edition},
                                            m_server.adminConnectString(), o, e, env.workDir()) // the owner imports
                != 0)
                fail(QStringLiteral("import %1: %2").arg(edition, err));
            else
                imports.ref();
        }
    });
    workers.emplace_back([&] {
        auto t = m_server.connectAs(QStringLiteral("bob"));
        tariff::NotesStore notes(t.get());
        for (int n = 0; !deadline.hasExpired(); ++n) {
            const QString text = QStringLiteral("备注 %1").arg(n);
            const auto result = notes.save(QStringLiteral("hs"), QStringLiteral("0101210010"), text, QString());
            if (result.ok())
                lastNote = text;
            else
                fail(QStringLiteral("note: %1").arg(result.message));
        }
    });
    for (int r = 0; r < 2; ++r) {
        workers.emplace_back([&] {
            auto t = m_server.connectAs(QStringLiteral("alice"));
            while (!deadline.hasExpired()) {
                QVector<QVector<QVariant>> lines, trade;
                {
                    const server::ConsistentRead snapshot(t.get());
                    if (t->select(QStringLiteral("SELECT op_user, count(*), max(CASE WHEN code = '0101210010' "
                                                 "THEN name END) FROM dbo.list_hscode WHERE length(code) = 10 "
                                                 "GROUP BY op_user"),
                                  {ColumnType::String, ColumnType::Long, ColumnType::String}, &lines)
                            != 0
                        || t->select(QStringLiteral("SELECT count(*) FROM dbo.list_jmwcode"), {ColumnType::Long}, &trade)
                               != 0) {
                        fail(QStringLiteral("read: %1").arg(t->sqlErrText()));
                        continue;
                    }
                }
                if (lines.size() != 1 || kNames.value(lines.first().value(0).toString()) != lines.first().value(2))
                    fail(QStringLiteral("half an edition: %1 editions in one snapshot").arg(lines.size()));
                snapshots.ref();
            }
        });
    }
    for (std::thread &worker : workers)
        worker.join();
    qInfo("%d saves, %d imports, %d snapshots", saves.loadRelaxed(), imports.loadRelaxed(), snapshots.loadRelaxed());
    QVERIFY2(failed.isEmpty(), qPrintable(failed.mid(0, 5).join(u'\n')));
    QVERIFY(saves.loadRelaxed() > kSavers && imports.loadRelaxed() > 0 && snapshots.loadRelaxed() > 0);

    // No save was lost: each role reads exactly what its savers last committed.
    for (const QString role : {"alice", "bob"}) {
        auto t = m_server.connectAs(role);
        QVector<QVector<QVariant>> rows;
        QCOMPARE(t->select(QStringLiteral("SELECT code, flag FROM list_hscode WHERE length(code) = 2"),
                           {ColumnType::String, ColumnType::String}, &rows),
                 0);
        QHash<QString, QString> expected;
        for (int i = role == QLatin1String("alice") ? 1 : 0; i < kSavers; i += 2)
            expected.insert(committed[i]);
        for (const QVector<QVariant> &row : rows)
            QCOMPARE(row.value(1).toString(), expected.value(row.value(0).toString(), QStringLiteral("Y")));
    }
    auto t = m_server.connectAs(QStringLiteral("alice"));
    QCOMPARE(TeamServer::scalar(t.get(), QStringLiteral("SELECT note FROM user_note WHERE code = '0101210010'")),
             lastNote);
}

// The options dialog's save with the server gone: the warning, the edits kept; once the
// server is back the same button saves them.
void tst_serverload::saveFailsWhileTheServerIsDownAndSucceedsAfter()
{
    TestEnv env;
    MessageRecorder recorder;
    gs_docname = env.configHome() + QStringLiteral("/velquor_kiv.ini");
    QVERIFY(m_server.cluster().exec(TeamServer::database(), {QStringLiteral("DELETE FROM dbo.chapter_choice")}));
    auto alice = m_server.connectAs(QStringLiteral("alice"));
    const QString flag = QStringLiteral("SELECT flag FROM list_hscode WHERE code = '02'");
    QCOMPARE(TeamServer::scalar(alice.get(), flag), QStringLiteral("Y"));
    sqlca = alice.get();
    auto dialog = std::make_unique<w_sys_option>();
    dialog->show();
    QCoreApplication::processEvents();
    runtime::DataView *customs = dialog->dw_1->dataView();
    QVERIFY(customs->rowCount() > 90);
    ChapterListDriver::toggleFlag(dialog->dw_1, int(customs->find(QStringLiteral("code = '02'"), 1, customs->rowCount())));
    QCOMPARE(customs->modifiedCount(), 1L);

    QVERIFY(m_server.cluster().stop());
    QTest::mouseClick(dialog->cb_3, Qt::LeftButton);
    QCOMPARE(recorder.texts(), QStringList{QStringLiteral("Hello User,The Operate is  invalidation!!")});
    QCOMPARE(customs->modifiedCount(), 1L);
    QVERIFY(customs->rowCount() > 90); // the rows in memory stay

    QVERIFY(m_server.cluster().restart());
    QTest::mouseClick(dialog->cb_3, Qt::LeftButton);
    QCOMPARE(recorder.boxes().size(), 1);
    QCOMPARE(customs->modifiedCount(), 0L);
    dialog.reset();
    sqlca = nullptr;
    auto check = m_server.connectAs(QStringLiteral("alice"));
    QCOMPARE(TeamServer::scalar(check.get(), flag), QStringLiteral("N"));
    auto bob = m_server.connectAs(QStringLiteral("bob"));
    QCOMPARE(TeamServer::scalar(bob.get(), flag), QStringLiteral("Y"));
}

KIV_TEST_MAIN(tst_serverload)
#include "tst_serverload.moc"
