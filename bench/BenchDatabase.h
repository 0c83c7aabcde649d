#pragma once

#include <QString>

#include <memory>

namespace runtime {
class Transaction;
}

namespace bench {

// A connection to a database file through the SQLite ODBC driver, outside autocommit as the
// program connects; null (with the reason on stderr) when it fails.
std::unique_ptr<runtime::Transaction> connectTo(const QString &databaseFile);

// Copies source to target and adds nine more copies of every row: copy k puts the letter
// A..I before each code, and the chapters A0..I9 (flag Y) select all of them, so each copy
// nests under its own chapters. The bundled data gives 189,760 + 69,450 rows.
bool makeTenTimes(const QString &source, const QString &target);

// The resident memory of this process now and at its peak, in MiB (from /proc/self/status).
double residentMiB();
double peakResidentMiB();
// The heap this process holds in allocated blocks now, in MiB, over all the allocator's arenas
// (the main thread's and the workers'): what the live objects take, without the memory the
// allocator keeps free. 0 where the allocator does not tell.
double heapInUseMiB();

} // namespace bench
