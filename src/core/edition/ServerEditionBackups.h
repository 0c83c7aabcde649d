#pragma once

#include <QString>

namespace runtime {
class Transaction;
}

namespace server {

// The backups of an edition import on the team database. A server has no file to copy, so the
// rows an import replaces are copied into backup tables beside the lists (one edition_backup
// row per import, the rows under its id), inside the import's own transaction: the backup and
// the import are committed together or not at all. 恢复上一版本 puts the one the user confirmed
// back. Chapter choices (chapter_choice) and notes are never part of a backup, so both survive
// either way.
class ServerEditionBackups
{
public:
    static constexpr int kKept = 3;

    struct Backup {
        int id = 0;          // 0: none
        QString madeAt;      // YYYY-MM-DD HH:MI:SS
        QString madeBy;
        QString edition;     // the editions it holds (EditionNames)
        QString description() const;
    };

    // Copies the current edition into a new backup, within the open transaction (autoCommit
    // off). Returns its description, or an empty string with *error set.
    static QString create(runtime::Transaction *sqlca, QString *error);
    // Drops all but the kKept newest backups, within the open transaction.
    static bool prune(runtime::Transaction *sqlca, QString *error);
    // The newest backup (id 0 when there is none); *error set when it cannot be read.
    static Backup newestBackup(runtime::Transaction *sqlca, QString *error = nullptr);
    // The newest backup's description; empty when there is none.
    static QString newest(runtime::Transaction *sqlca);

    struct Result {
        bool ok = false;
        QString backup;
        QString message;
        bool refused = false; // another holds the lock, the backup is gone, a table came back short
    };
    // Puts backup `id` back and removes it, in one transaction that first takes the
    // EditionLock and locks the backup's row. Refused when the backup is gone meanwhile;
    // rolled back when a table the backup holds rows of would come back empty.
    static Result restore(runtime::Transaction *sqlca, int id);
    static Result restoreNewest(runtime::Transaction *sqlca);

private:
    static QString description(int id, const QString &madeAt, const QString &madeBy);
};

} // namespace server
