#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

#include <optional>

namespace runtime {
class Transaction;
}

namespace tariff {

// The user's notes and keywords on codes (table user_note). A note is keyed by its list
// ("hs" for the customs codes, "jmw" for the foreign-trade codes) and its code, never by a
// row id, so that it survives a rebuilt code list.
class NotesStore
{
public:
    struct Note {
        QString list;
        QString code;
        QString text;
        QString keywords;
        QDateTime changedAt; // local time of the last save
        QString changedBy;   // user name of the last save
        int version = 0;     // 1 at the first save, one more with each save
    };

    enum class SaveStatus {
        Saved,           // stored; version tells the note's new version
        Deleted,         // an empty note with empty keywords: the note is gone
        NoteTooLong,     // more than kMaxNoteLength characters: nothing changed
        KeywordsTooLong, // more than kMaxKeywordsLength characters: nothing changed
        NoKey,           // no list or no code given: nothing changed
        Conflict,        // someone saved the note since it was read: nothing changed, current holds theirs
        DatabaseError,   // the database refused (locked, read-only, no table): message
    };

    struct SaveResult {
        SaveStatus status = SaveStatus::DatabaseError;
        int version = 0;  // the stored version after Saved
        QString message;  // for the refusals and errors: what to tell the user
        std::optional<Note> current; // after Conflict: the note as it is stored now (nullopt: deleted)
        bool ok() const { return status == SaveStatus::Saved || status == SaveStatus::Deleted; }
    };

    // Limits in characters (Unicode code points: an emoji counts once).
    static constexpr int kMaxNoteLength = 2000;
    static constexpr int kMaxKeywordsLength = 200;

    static QString hsList() { return QStringLiteral("hs"); }
    static QString jmwList() { return QStringLiteral("jmw"); }

    explicit NotesStore(runtime::Transaction *sqlca);

    // The name written into changed_by on the bundled file; the login name unless set. A team
    // database takes its role name instead (and records it itself).
    QString userName() const { return m_userName; }
    void setUserName(const QString &name) { m_userName = name; }

    // The note on a code; nullopt when there is none or it cannot be read (lastError()).
    std::optional<Note> note(const QString &list, const QString &code);

    // Stores a note and its keywords exactly as given, in one transaction (committed when
    // every statement succeeded, else rolled back). A note and keywords that are both empty
    // (or only spaces) delete the code's note.
    // baseVersion is the version the text was edited from (0: there was no note). When the
    // stored note is no longer that version, because a colleague saved or deleted it meanwhile
    // on a shared database, nothing is written and the result is Conflict. Without it the save
    // overwrites whatever is stored.
    SaveResult save(const QString &list, const QString &code, const QString &text,
                    const QString &keywords, std::optional<int> baseVersion = std::nullopt);

    // The codes of a list that have a note; empty when none or unreadable (lastError()).
    QSet<QString> codesWithNotes(const QString &list);

    QString lastError() const { return m_lastError; }

    // The length of a text in Unicode code points.
    static int characterCount(const QString &text);

private:
    SaveResult write(const QString &list, const QString &code, const QString &text,
                     const QString &keywords, std::optional<int> baseVersion);
    SaveResult conflict(const QString &list, const QString &code);

    runtime::Transaction *m_sqlca;
    QString m_userName;
    QString m_lastError;
};

} // namespace tariff
