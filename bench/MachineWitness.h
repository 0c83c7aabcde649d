#pragma once

#include "PauseSpans.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace bench {

// Threads that only sleep a millisecond at a time, one on each processor and ahead of every
// other thread there. When one wakes far later than it asked, its processor stood still: a
// hypervisor pauses a guest's processors for tens of milliseconds now and then, one or all at
// once. A stall or a jump on a processor that stood still meanwhile is partly the machine's, and
// the benchmarks can tell how much.
class MachineWitness
{
public:
    using Clock = PauseClock;

    MachineWitness();
    ~MachineWitness();
    MachineWitness(const MachineWitness &) = delete;
    MachineWitness &operator=(const MachineWitness &) = delete;

    // False where a processor could not be watched (a real-time thread needs the right to one):
    // then no pause is counted on any.
    bool watching() const { return !m_blind; }
    // The processor the calling thread runs on, to be given back to stillMs.
    static int processor();
    // Milliseconds of [from, to] in which the calling thread's processor stood still, or the one
    // it ran on at `from` (a sleeping thread's timer fires on the processor it went to sleep on,
    // and it may wake on the other).
    double stillMs(Clock::time_point from, Clock::time_point to, int processorAtFrom) const;

private:
    struct Processor {
        mutable std::mutex mutex;
        std::vector<PauseSpan> still;
        std::thread thread;
    };
    void watch(int cpu, Processor *processor);

    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_blind{false};
    std::vector<std::unique_ptr<Processor>> m_processors;
};

} // namespace bench
