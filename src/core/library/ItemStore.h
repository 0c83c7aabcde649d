#pragma once

#include "core/library/Item.h"

#include <QList>
#include <QString>

#include <optional>

namespace runtime {
class Transaction;
}

namespace library {

// The company's items (table item beside the code lists), read and written through the
// connection's SQL adaptation, on the local file and the team server alike. Every save names
// the version it was edited from, so a colleague's newer change is never overwritten unseen.
class ItemStore
{
public:
    enum class Status {
        Saved,
        Deleted,
        Refused,       // a field is missing or the code is not in the customs list: message
        Duplicate,     // a new item's part number is taken: message
        Conflict,      // a colleague changed or deleted the item since it was read: current
        DatabaseError, // locked, read-only: message (nothing changed; the edit stays for a retry)
    };
    struct Result {
        Status status = Status::DatabaseError;
        QString message;
        std::optional<Item> current; // after Conflict: the item as stored now (nullopt: deleted)
        Item saved;                  // after Saved: the item as stored
        bool ok() const { return status == Status::Saved || status == Status::Deleted; }
    };

    explicit ItemStore(runtime::Transaction *sqlca);

    static QString table() { return QStringLiteral("item"); }
    static QString createStatement();
    // Makes the table where the database lacks it; false with lastError() otherwise.
    bool ensureTable();
    bool tableExists();

    QList<Item> all();
    // What a list of the items shows, read fast: part number, name, model, code, the changes
    // waiting for review and the version; the other fields stay empty (item() reads them).
    QList<Item> listed();
    // The same, a page at a time: at most `limit` items whose part numbers follow `after`
    // (empty: from the first), in order of part number.
    QList<Item> listedPage(const QString &after, int limit);
    std::optional<Item> item(const QString &partNumber);
    // Checks the fields and the code (ItemCode: an 8-digit code may be completed), then
    // inserts (baseVersion 0) or updates the version it was edited from, in one transaction.
    // The line the code names now becomes the item's basis.
    Result save(const Item &item, int baseVersion);
    Result remove(const QString &partNumber, int baseVersion);

    // The user has looked at what an edition changed: the line as it is now becomes the
    // basis, the changes are cleared, and who and when are kept.
    Result markReviewed(const QString &partNumber);

    QString userName() const { return m_userName; }
    void setUserName(const QString &name) { m_userName = name; }
    QString lastError() const { return m_lastError; }

private:
    Result failed();
    Result conflict(const QString &partNumber);
    bool commitOrRollback(Result &result);

    runtime::Transaction *m_sqlca;
    QString m_userName;
    QString m_lastError;
};

} // namespace library
