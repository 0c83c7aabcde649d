#include "core/runtime/SqliteLibrary.h"

#include <sqlite3.h>

namespace runtime {

bool settleSqliteLibrary()
{
    return sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
}

} // namespace runtime
