#pragma once

#include "core/server/ServerSchema.h"

#include <QString>

namespace runtime {
class Transaction;
}

namespace server {

// Copies one table's rows from a database the program can read (the bundled SQLite file) into
// the team database's table, within the target's open transaction. Rows go in multi-row
// INSERTs: one statement per row would cost a round trip each.
class TableCopy
{
public:
    static constexpr int kMaxParameters = 4000;

    // Returns the rows copied, or -1 with *error set.
    static long copy(runtime::Transaction *source, runtime::Transaction *target, const ServerSchema::Table &table,
                     QString *error);
};

} // namespace server
