#pragma once

#include "core/edition/DatabaseSnapshot.h"
#include "core/edition/EditionApplier.h"
#include "core/edition/EditionComparison.h"
#include "core/edition/EditionLine.h"
#include "core/edition/ReadError.h"

#include <functional>
#include <optional>

namespace runtime {
class Transaction;
}

namespace edition {

// The one way a tariff edition comes in, for the import dialog and for --import alike: the file
// read and compared with the database, then applied to the database as it is at that moment.
class ImportJob
{
public:
    // A file read and compared with a snapshot of the database.
    struct Reading {
        bool ok = false;
        EditionFile file;
        ReadError error;
        EditionComparison comparison;
    };

    // Reads the file (as `list`, or as its header says) with its chapters file and compares it
    // with the snapshot: the slow part, which may run in a worker. progress hears the reading
    // and may stop it; canceled, asked after the reading, stops it before the comparison.
    static Reading read(const QString &path, const QString &chaptersPath, std::optional<CodeList> list,
                        const DatabaseSnapshot &snapshot, const Progress &progress = {},
                        const std::function<bool()> &canceled = {});

    // What applying a reading did: the result, and the comparison it applied.
    struct Applied {
        EditionApplier::Result result;
        EditionComparison comparison;
    };

    // Applies the reading's file in one transaction, after a backup, against `current`: the
    // database as the caller has just read it. Without one (a user looked at the preview for a
    // while, and another program may have written meanwhile) the database is read and compared
    // again first. background: the writing runs in a worker while the caller's windows keep
    // painting.
    static Applied apply(runtime::Transaction *trans, const EditionFile &file, const EditionApplier::Options &options,
                         bool background, const Reading *current = nullptr, const DatabaseSnapshot *snapshot = nullptr);
};

} // namespace edition
