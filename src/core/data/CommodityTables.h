#pragma once

namespace runtime {
class Transaction;
}

// What a connected database file turned out to be.
enum class DatabaseState {
    Damaged,   // not a database, or a database whose pages fail SQLite's check
    NoTables,  // a sound database (an empty file counts) without both commodity tables
    Ready,     // both commodity tables are there and readable
    Busy,      // a team database whose tables another session holds longer than a statement
               // may wait: sound, and the loading says it could not read them
};

// Looks at the connected database: its table catalog, both commodity tables with their key
// columns, and (on SQLite) the integrity of the whole file.
DatabaseState commodityDatabaseState(runtime::Transaction *transaction);
