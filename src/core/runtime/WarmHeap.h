#pragma once

#include <QtGlobal>

namespace runtime {

// While it lives, the heap holds the pages a bulk load is about to fill, asked of the system in
// one call instead of one page fault at a time: loading the lists fills tens of megabytes in
// blocks of a few bytes (the driver's copy of every cell, the columns, the trees), and the
// faults cost a fifth of the start-up. When it goes, whatever the load left free goes back to
// the system, so that only what the load keeps stays resident. Nothing changes where the
// allocator or the system cannot do this. One at a time, on the thread that loads.
class WarmHeap
{
public:
    explicit WarmHeap(qint64 bytes);
    ~WarmHeap();
    WarmHeap(const WarmHeap &) = delete;
    WarmHeap &operator=(const WarmHeap &) = delete;

    // The bytes made ready (0 where nothing was done).
    qint64 bytes() const { return m_bytes; }

    // A load's need from the rows it reads: what the driver, the columns and the trees take for
    // a row of the lists, and a floor for the rest.
    static qint64 forRows(qint64 rows);

private:
    qint64 m_bytes = 0;
    bool m_tuned = false; // the allocator's thresholds were changed
};

} // namespace runtime
