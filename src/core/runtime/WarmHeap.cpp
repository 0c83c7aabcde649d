#include "core/runtime/WarmHeap.h"

#include "core/runtime/FreedMemory.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#endif

namespace runtime {

namespace {
#if defined(__GLIBC__)
// glibc's first threshold for a block of its own mapping, kept while the load runs.
constexpr int kDefaultMmapThreshold = 128 * 1024;
// Setting a threshold ends glibc's own adjustment of both, which would have raised them to these
// at most as large blocks came and went; left at the defaults, every block over 128 KiB (a
// paint's buffers, the index's arrays) would be mapped and unmapped anew, page faults and all.
constexpr int kSettledMmapThreshold = 32 * 1024 * 1024;
constexpr int kSettledTrimThreshold = 64 * 1024 * 1024;
#endif
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23 // Linux 5.14; older kernels refuse it and nothing is done
#endif
constexpr qint64 kLargest = qint64(1) << 30;

#if defined(__GLIBC__)
// Where the heap (the program break's mapping) lies now.
bool heapRange(std::uintptr_t *first, std::uintptr_t *end)
{
    FILE *maps = std::fopen("/proc/self/maps", "re");
    if (!maps)
        return false;
    char line[512];
    bool found = false;
    while (!found && std::fgets(line, sizeof line, maps)) {
        if (!std::strstr(line, "[heap]"))
            continue;
        unsigned long from = 0, to = 0;
        found = std::sscanf(line, "%lx-%lx", &from, &to) == 2 && to > from;
        *first = from;
        *end = to;
    }
    std::fclose(maps);
    return found;
}
#endif
} // namespace

WarmHeap::WarmHeap(qint64 bytes)
{
#if defined(__GLIBC__)
    bytes = std::min(bytes, kLargest);
    if (bytes <= 0)
        return;
    // The block comes from the heap itself (not a mapping of its own), and the heap keeps it
    // when it is freed, so the load's small blocks are cut from pages already there.
    const int threshold = int(std::min<qint64>(bytes * 2, std::numeric_limits<int>::max()));
    m_tuned = true;
    mallopt(M_MMAP_THRESHOLD, threshold);
    mallopt(M_TRIM_THRESHOLD, threshold);
    void *block = std::malloc(size_t(bytes));
    if (!block)
        return;
    std::free(block);
    // Large arrays get mappings of their own again, which grow without being copied (a
    // driver's array of rows doubles a dozen times); only the heap's top is kept.
    mallopt(M_MMAP_THRESHOLD, kDefaultMmapThreshold);
    // The whole heap is filled, not only the new block: the load's blocks are cut from the
    // holes below it first, and pages given back earlier left those holes empty.
    std::uintptr_t first = 0, end = 0;
    m_bytes = heapRange(&first, &end)
                  && madvise(reinterpret_cast<void *>(first), end - first, MADV_POPULATE_WRITE) == 0
              ? bytes
              : 0;
#else
    Q_UNUSED(bytes);
#endif
}

WarmHeap::~WarmHeap()
{
#if defined(__GLIBC__)
    if (!m_tuned)
        return;
    mallopt(M_MMAP_THRESHOLD, kSettledMmapThreshold);
    mallopt(M_TRIM_THRESHOLD, kSettledTrimThreshold);
    giveBackFreedMemory();
#endif
}

qint64 WarmHeap::forRows(qint64 rows)
{
    constexpr qint64 kPerRow = 800;
    constexpr qint64 kFloor = qint64(16) << 20;
    return std::max<qint64>(0, rows) * kPerRow + kFloor;
}

} // namespace runtime
