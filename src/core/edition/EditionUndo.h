#pragma once

#include <QString>

namespace runtime {
class Transaction;
}

namespace edition {

// 恢复上一版本: puts the backup the user confirmed (the newest when asked) back in one
// transaction, one import or restore at a time (EditionLock), and then removes that backup,
// so the next undo goes one edition further back. A restore that would leave a table empty
// where the backup has rows is undone. The user's
// notes (their own table) and the current chapter choices (the flag of the chapter rows) are
// kept; a chapter the backup has and the current lists lack comes back with its old flag.
class EditionUndo
{
public:
    struct Result {
        bool ok = false;
        QString backup;  // the copy that was (or would have been) restored
        QString message; // what went wrong, empty on success
        bool refused = false; // not a database failure: busy, the backup gone, a table short
    };

    // The backup 恢复上一版本 offers, as its question names it.
    struct Choice {
        QString backup;         // the file's path, or the server backup's description
        int serverId = 0;       // the server backup's id
        QString madeAt;         // when it was made (yyyy-MM-dd HH:mm:ss)
        QString currentEdition; // EditionNames of the lists now
        QString backupEdition;  // EditionNames of the backup
        bool exists() const { return !backup.isEmpty(); }
    };

    // The tables taken from the backup.
    static QStringList restoredTables();

    // The newest backup; none (with *error set when reading failed) when there is none.
    static Choice newest(runtime::Transaction *sqlca, const QString &databaseFile, QString *error = nullptr);
    // Restores exactly the chosen backup; refused when it is gone meanwhile.
    // On a team database the backup tables are restored (databaseFile unused).
    static Result restore(runtime::Transaction *sqlca, const QString &databaseFile, const Choice &choice);
    static Result restoreNewest(runtime::Transaction *sqlca, const QString &databaseFile);
};

} // namespace edition
