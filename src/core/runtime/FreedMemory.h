#pragma once

namespace runtime {

// Gives the memory the program freed back to the system, which the allocator would otherwise
// keep for later: after loading, the peak of the load's temporaries is no longer needed. Safe
// on any thread; does nothing where the allocator cannot do it.
void giveBackFreedMemory();

// One heap for every thread, set before the first thread starts. The workers (the columns of
// the lists, the search index) would otherwise each keep a heap of their own with what they
// freed in it, some megabytes each that the program never gives back; their allocations are
// short, so sharing the one heap's lock costs the user-interface thread nothing it notices.
void shareOneHeap();

} // namespace runtime
