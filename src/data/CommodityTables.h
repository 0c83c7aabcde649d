#pragma once

namespace runtime {
class Transaction;
}

// True when the connected database holds both commodity tables with their key columns:
// a file that is not a database, is damaged or lacks a table answers false.
bool hasCommodityTables(runtime::Transaction *transaction);
