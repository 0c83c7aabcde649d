#pragma once

#include <QString>
#include <QStringList>

namespace runtime {
class Transaction;
}

namespace tariff {

// Brings a database made before the tariff tables existed up to date at start-up, such as
// the copy an installed program made in the user's data folder on its first start: the
// tariff tables and code lists are copied from the installed database beside the program,
// the notes table is made empty. list_hscode and list_jmwcode, with the user's flags, are
// never touched. All of it is one transaction: committed whole, or rolled back whole.
class TariffSchemaUpgrade
{
public:
    enum class Status {
        UpToDate,   // nothing was missing
        Upgraded,   // every missing table was added
        Incomplete, // some tables were added, others could not be (see missingTables)
        Failed,     // nothing was added: the database refused (read-only, say) or the
                    // catalog could not be read
    };

    struct Result {
        Status status = Status::Failed;
        QStringList addedTables;   // made by this run
        QStringList missingTables; // still missing after it
        QString message;           // what went wrong, for the log or a message box; empty
                                   // when nothing did
        bool complete() const { return missingTables.isEmpty(); }
    };

    // Adds what the connected database lacks. sourceDatabase is the installed K-I-V.db (an
    // SQLite file) to copy the tariff tables from; without it, or when it lacks a table, the
    // notes table is still made and the result names what is missing. The program runs on
    // either way: the tariff record then lists its missing fields, and notes cannot be saved
    // where their table is missing.
    static Result upgrade(runtime::Transaction *sqlca, const QString &sourceDatabase);
};

} // namespace tariff
