#pragma once

#include "core/edition/DatabaseSnapshot.h"
#include "core/edition/EditionComparison.h"
#include "core/edition/EditionLine.h"

#include <QDate>
#include <QDateTime>
#include <QString>

namespace runtime {
class Transaction;
}

namespace edition {

// Writes an edition into the database, one import or restore at a time: a backup copy first, then every change in one
// transaction, committed whole or rolled back whole (CustomsEditionWriter, TradeEditionWriter
// say what each list's edition writes). Chapter flags stay as the user set them; a new
// chapter gets 'Y'. The user's notes are not touched.
class EditionApplier
{
public:
    struct Options {
        QString edition;         // op_user: at most LineColumns::kMaxEditionLength characters
        QDate date;              // op_date
        QDateTime now;           // names the backup
    };

    struct Result {
        bool ok = false;
        QString backup;   // the copy made before; removed again when the import failed
        QString message;  // what went wrong (the driver's text), empty on success
    };

    // Empty when the lists in the database are still those of `snapshot`; otherwise why not.
    static QString unchangedSince(runtime::Transaction *sqlca, const DatabaseSnapshot &snapshot);

    // The edition name refused by apply(), or an empty string when it is fine.
    static QString checkEdition(const QString &edition);

    // `databaseFile` is the connected database's file (EditionBackups::databaseFileOf). The
    // import takes the EditionLock first; a database that changed since `snapshot` was read is
    // then refused, nothing written.
    static Result apply(runtime::Transaction *sqlca, const QString &databaseFile, const EditionFile &file,
                        const DatabaseSnapshot &snapshot, const EditionComparison &comparison, const Options &options);
};

} // namespace edition
