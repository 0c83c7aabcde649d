#pragma once

#include <QString>

namespace runtime {
class Transaction;
}

namespace edition {

// 恢复上一版本: puts the newest backup's code lists and tariff records back in one transaction
// and then removes that backup, so the next undo goes one edition further back. The user's
// notes (their own table) and the current chapter choices (the flag of the chapter rows) are
// kept; a chapter the backup has and the current lists lack comes back with its old flag.
class EditionUndo
{
public:
    struct Result {
        bool ok = false;
        QString backup;  // the copy that was (or would have been) restored
        QString message; // what went wrong, empty on success
    };

    // The tables taken from the backup.
    static QStringList restoredTables();

    // On a team database the newest backup tables are restored instead (databaseFile unused).
    static Result restoreNewest(runtime::Transaction *sqlca, const QString &databaseFile);
};

} // namespace edition
