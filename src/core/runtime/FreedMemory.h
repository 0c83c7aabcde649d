#pragma once

namespace runtime {

// Gives the memory the program freed back to the system, which the allocator would otherwise
// keep for later: after loading, the peak of the load's temporaries is no longer needed. Safe
// on any thread; does nothing where the allocator cannot do it.
void giveBackFreedMemory();

} // namespace runtime
