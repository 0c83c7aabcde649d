#include "MachineWitness.h"

#include <algorithm>

#include <pthread.h>
#include <sched.h>

namespace bench {

namespace {
constexpr auto kNap = std::chrono::milliseconds(1);
// Later than this is more than a timer's slack and a wake-up take; the pauses seen are 5 to 75 ms.
constexpr auto kStill = std::chrono::milliseconds(2);
} // namespace

MachineWitness::MachineWitness()
{
    const int count = std::max(1, int(std::thread::hardware_concurrency()));
    for (int cpu = 0; cpu < count && cpu < CPU_SETSIZE; ++cpu) {
        auto processor = std::make_unique<Processor>();
        processor->thread = std::thread([this, cpu, p = processor.get()] { watch(cpu, p); });
        m_processors.push_back(std::move(processor));
    }
}

MachineWitness::~MachineWitness()
{
    m_stop = true;
    for (const auto &processor : m_processors)
        processor->thread.join();
}

void MachineWitness::watch(int cpu, Processor *processor)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    // First in line on its processor, so that no thread of the program under measurement can
    // keep it waiting: only the machine can make it late.
    sched_param first{};
    first.sched_priority = 1;
    if (sched_setaffinity(0, sizeof set, &set) != 0 || pthread_setschedparam(pthread_self(), SCHED_FIFO, &first) != 0) {
        m_blind = true; // the pauses of this processor go unseen
        return;
    }
    while (!m_stop) {
        const Clock::time_point asked = Clock::now() + kNap;
        std::this_thread::sleep_until(asked);
        const Clock::time_point woke = Clock::now();
        if (woke - asked > kStill) {
            const std::lock_guard<std::mutex> lock(processor->mutex);
            processor->still.emplace_back(asked, woke);
        }
    }
}

int MachineWitness::processor()
{
    return sched_getcpu();
}

double MachineWitness::stillMs(Clock::time_point from, Clock::time_point to, int processorAtFrom) const
{
    if (m_blind)
        return 0;
    std::vector<PauseSpan> spans;
    for (const int cpu : {processorAtFrom, processor()}) {
        if (cpu < 0 || cpu >= int(m_processors.size()))
            continue;
        const Processor &watched = *m_processors[size_t(cpu)];
        const std::lock_guard<std::mutex> lock(watched.mutex);
        spans.insert(spans.end(), watched.still.begin(), watched.still.end());
    }
    return std::chrono::duration<double, std::milli>(coveredWithin(std::move(spans), from, to)).count();
}

} // namespace bench
