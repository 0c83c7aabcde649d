#pragma once

namespace runtime {

// Settles the SQLite library the ODBC driver reads database files with, before its first
// connection (the library takes such settings only before it starts): it no longer counts the
// memory it hands out. The driver copies every cell of a result into a block of the library's,
// and counting each block took a lock: a tenth of the time the lists took to load. Nothing here
// reads the counts. True when the library took the setting.
bool settleSqliteLibrary();

} // namespace runtime
