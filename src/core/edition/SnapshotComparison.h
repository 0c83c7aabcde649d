#pragma once

#include "core/edition/DatabaseSnapshot.h"
#include "core/edition/EditionComparison.h"

namespace edition {

// What changed between two states of the database's lists, as an import's preview counts it:
// the customs lines (added, removed, each field), the customs chapters, headings and
// subheadings, and the foreign-trade codes (added, removed, renamed, machinery flag). Used to
// tell the user what 恢复上一版本 changed. The comparison is of the list whose rows changed:
// the customs list when any 10-digit line did, else the foreign-trade list.
class SnapshotComparison
{
public:
    static EditionComparison compare(const DatabaseSnapshot &before, const DatabaseSnapshot &after);
};

} // namespace edition
