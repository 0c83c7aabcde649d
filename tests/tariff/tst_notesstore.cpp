#include "core/tariff/NotesStore.h"

#include "core/runtime/Transaction.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

#include <memory>

using tariff::NotesStore;
using Status = NotesStore::SaveStatus;

Q_DECLARE_METATYPE(NotesStore::SaveStatus)

namespace {
// A fresh database with the full schema and a connection to it, one per test.
struct NotesDatabase {
    TestEnv env;
    QString file = env.path(QStringLiteral("K-I-V.db"));
    runtime::Transaction sqlca;
    std::unique_ptr<NotesStore> store;

    bool open()
    {
        if (!TestDatabase::create(file))
            return false;
        sqlca.dbParm = QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(file));
        sqlca.autoCommit = false;
        if (sqlca.connect() != 0)
            return false;
        store = std::make_unique<NotesStore>(&sqlca);
        store->setUserName(QStringLiteral("zhang"));
        return true;
    }
    ~NotesDatabase() { sqlca.disconnect(); }
};

QString repeated(const QString &piece, int times)
{
    QString out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}
} // namespace

class tst_NotesStore : public QObject
{
    Q_OBJECT
private slots:
    // Limits count characters as the user sees them: an emoji (two UTF-16 units) is one.
    void limitsCountCharacters_data()
    {
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<Status>("status");
        const QString emoji = QString::fromUtf8("\xF0\x9F\x90\xB4"); // 🐴
        QTest::newRow("note at the limit in emoji") << repeated(emoji, NotesStore::kMaxNoteLength) << QString()
                                                    << Status::Saved;
        QTest::newRow("note one over") << repeated(QStringLiteral("马"), NotesStore::kMaxNoteLength + 1)
                                       << QString() << Status::NoteTooLong;
        QTest::newRow("keywords at the limit") << QStringLiteral("x")
                                               << repeated(emoji, NotesStore::kMaxKeywordsLength) << Status::Saved;
        QTest::newRow("keywords one over") << QString() << repeated(QStringLiteral("k"), NotesStore::kMaxKeywordsLength + 1)
                                           << Status::KeywordsTooLong;
        QTest::newRow("quotes and SQL stay text") << QStringLiteral("it's '); DROP TABLE user_note;--")
                                                  << QStringLiteral("%_*") << Status::Saved;
    }
    void limitsCountCharacters()
    {
        QFETCH(QString, note);
        QFETCH(QString, keywords);
        QFETCH(Status, status);
        NotesDatabase db;
        QVERIFY(db.open());
        QVERIFY(db.store->save(QStringLiteral("hs"), QStringLiteral("0101210010"), QStringLiteral("旧"), QString()).ok());
        const auto result = db.store->save(QStringLiteral("hs"), QStringLiteral("0101210010"), note, keywords);
        QCOMPARE(result.status, status);
        const auto stored = db.store->note(QStringLiteral("hs"), QStringLiteral("0101210010"));
        QVERIFY(stored);
        if (status == Status::Saved) {
            QCOMPARE(stored->text, note);
            QCOMPARE(stored->keywords, keywords);
            QCOMPARE(stored->version, 2);
        } else {
            QVERIFY(!result.message.isEmpty());
            QCOMPARE(stored->text, QStringLiteral("旧")); // a refused save changes nothing
            QCOMPARE(stored->version, 1);
        }
    }

    void notesAreKeyedByListAndCode()
    {
        NotesDatabase db;
        QVERIFY(db.open());
        QCOMPARE(db.store->save(QStringLiteral("hs"), QStringLiteral("01"), QStringLiteral("海关"), QString()).version, 1);
        QCOMPARE(db.store->save(QStringLiteral("jmw"), QStringLiteral("01"), QStringLiteral("外经贸"), QString()).version, 1);
        QCOMPARE(db.store->save(QStringLiteral("hs"), QStringLiteral("01"), QStringLiteral("海关 2"), QStringLiteral("k")).version, 2);
        QCOMPARE(db.store->note(QStringLiteral("jmw"), QStringLiteral("01"))->text, QStringLiteral("外经贸"));
        const auto hs = db.store->note(QStringLiteral("hs"), QStringLiteral("01"));
        QCOMPARE(hs->changedBy, QStringLiteral("zhang"));
        QVERIFY(qAbs(hs->changedAt.secsTo(QDateTime::currentDateTime())) < 60);
        QCOMPARE(db.store->codesWithNotes(QStringLiteral("hs")), QSet<QString>{QStringLiteral("01")});

        // Empty note and keywords (blanks count as empty) delete; another list's note stays.
        QCOMPARE(db.store->save(QStringLiteral("hs"), QStringLiteral("01"), QStringLiteral("  "), QString()).status,
                 Status::Deleted);
        QVERIFY(!db.store->note(QStringLiteral("hs"), QStringLiteral("01")));
        QVERIFY(db.store->note(QStringLiteral("jmw"), QStringLiteral("01")));
        QCOMPARE(db.store->save(QString(), QStringLiteral("01"), QStringLiteral("x"), QString()).status, Status::NoKey);
    }

    // Two colleagues on one database: a save names the version its text was edited from, so
    // a note changed, written or deleted meanwhile is never overwritten unseen.
    void aColleaguesChangeIsNeverOverwrittenUnseen_data()
    {
        QTest::addColumn<bool>("noteBefore");
        QTest::addColumn<QString>("colleague"); // what li does after zhang has read the note
        QTest::addColumn<QString>("text");      // what zhang then saves
        QTest::addColumn<Status>("status");
        QTest::addColumn<QString>("stored");    // the note afterwards; "-" for none
        QTest::newRow("nobody else") << true << QString() << QStringLiteral("张") << Status::Saved << QStringLiteral("张");
        QTest::newRow("changed meanwhile") << true << QStringLiteral("李") << QStringLiteral("张") << Status::Conflict
                                           << QStringLiteral("李");
        QTest::newRow("deleted meanwhile") << true << QStringLiteral("-") << QStringLiteral("张") << Status::Conflict
                                           << QStringLiteral("-");
        QTest::newRow("first note meanwhile") << false << QStringLiteral("李") << QStringLiteral("张")
                                              << Status::Conflict << QStringLiteral("李");
        QTest::newRow("deleting a changed note") << true << QStringLiteral("李") << QString() << Status::Conflict
                                                 << QStringLiteral("李");
        QTest::newRow("an empty save over a new note") << false << QStringLiteral("李") << QString()
                                                       << Status::Conflict << QStringLiteral("李");
        QTest::newRow("an empty save, no note") << false << QString() << QString() << Status::Deleted
                                                << QStringLiteral("-");
    }
    void aColleaguesChangeIsNeverOverwrittenUnseen()
    {
        QFETCH(bool, noteBefore);
        QFETCH(QString, colleague);
        QFETCH(QString, text);
        QFETCH(Status, status);
        QFETCH(QString, stored);
        NotesDatabase db;
        QVERIFY(db.open());
        runtime::Transaction other;
        other.dbParm = db.sqlca.dbParm;
        other.autoCommit = false;
        QCOMPARE(other.connect(), 0);
        NotesStore li(&other);
        li.setUserName(QStringLiteral("li"));
        const QString hs = NotesStore::hsList(), code = QStringLiteral("0101210010");
        if (noteBefore)
            QVERIFY(db.store->save(hs, code, QStringLiteral("旧"), QString()).ok());
        const auto read = db.store->note(hs, code);
        const int base = read ? read->version : 0;
        if (!colleague.isEmpty())
            QVERIFY(li.save(hs, code, colleague == QStringLiteral("-") ? QString() : colleague, QString()).ok());

        const auto result = db.store->save(hs, code, text, QString(), base);
        QCOMPARE(result.status, status);
        const auto after = li.note(hs, code);
        QCOMPARE(after ? after->text : QStringLiteral("-"), stored);
        if (status == Status::Conflict) {
            QCOMPARE(result.current.has_value(), after.has_value()); // theirs, to show beside the user's
            if (after) {
                QCOMPARE(result.current->changedBy, QStringLiteral("li"));
                QCOMPARE(result.version, after->version);
                QVERIFY(result.message.contains(QStringLiteral("li")));
                // Saving again from the version just shown overwrites it knowingly.
                QVERIFY(db.store->save(hs, code, QStringLiteral("张"), QString(), result.version).ok());
                QCOMPARE(li.note(hs, code)->text, QStringLiteral("张"));
            }
        }
        other.disconnect();
    }

    // A refusing database leaves the old note whole and says why.
    void refusedWriteRollsBack()
    {
        NotesDatabase db;
        QVERIFY(db.open());
        QVERIFY(db.store->save(QStringLiteral("hs"), QStringLiteral("01"), QStringLiteral("旧"), QString()).ok());
        QVERIFY(TestDatabase::exec(db.file, QStringLiteral(
            "CREATE TRIGGER no_version_3 BEFORE UPDATE ON user_note WHEN NEW.version > 1 "
            "BEGIN SELECT RAISE(ABORT, 'refused by trigger'); END;")));
        const auto result = db.store->save(QStringLiteral("hs"), QStringLiteral("01"), QStringLiteral("新"), QString());
        QCOMPARE(result.status, Status::DatabaseError);
        QVERIFY2(result.message.contains(QStringLiteral("refused by trigger")), qPrintable(result.message));
        QCOMPARE(db.store->note(QStringLiteral("hs"), QStringLiteral("01"))->text, QStringLiteral("旧"));
        QCOMPARE(TestDatabase::column(db.file, QStringLiteral("SELECT note FROM user_note")), QStringList{QStringLiteral("旧")});
    }
};

KIV_TEST_GUILESS_MAIN(tst_NotesStore)
#include "tst_notesstore.moc"
