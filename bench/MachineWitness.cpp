#include "MachineWitness.h"

#include <algorithm>

#include <sched.h>

namespace bench {

namespace {
constexpr auto kNap = std::chrono::milliseconds(1);
// Later than this is more than a busy processor's scheduler makes a sleeper wait for its turn
// (a few slices of a millisecond or so); the pauses seen are 5 to 75 ms.
constexpr auto kStill = std::chrono::milliseconds(4);
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
    if (sched_setaffinity(0, sizeof set, &set) != 0)
        return; // not this processor's witness: its pauses go unseen
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

double MachineWitness::stillMs(Clock::time_point from, Clock::time_point to) const
{
    const int cpu = sched_getcpu();
    if (cpu < 0 || cpu >= int(m_processors.size()))
        return 0;
    const Processor &processor = *m_processors[size_t(cpu)];
    const std::lock_guard<std::mutex> lock(processor.mutex);
    Clock::duration still{};
    for (const auto &[begin, end] : processor.still) {
        const Clock::time_point a = std::max(begin, from);
        const Clock::time_point b = std::min(end, to);
        if (b > a)
            still += b - a;
    }
    return std::chrono::duration<double, std::milli>(still).count();
}

} // namespace bench
