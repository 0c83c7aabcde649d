#pragma once

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

namespace bench {

using PauseClock = std::chrono::steady_clock;
using PauseSpan = std::pair<PauseClock::time_point, PauseClock::time_point>;

// How long of [from, to] the spans cover, a moment covered by several counted once (two
// processors may stand still at the same time).
inline PauseClock::duration coveredWithin(std::vector<PauseSpan> spans, PauseClock::time_point from,
                                          PauseClock::time_point to)
{
    std::sort(spans.begin(), spans.end());
    PauseClock::duration covered{};
    PauseClock::time_point reached = from;
    for (const auto &[begin, end] : spans) {
        const PauseClock::time_point a = std::max(begin, reached);
        const PauseClock::time_point b = std::min(end, to);
        if (b > a) {
            covered += b - a;
            reached = b;
        }
    }
    return covered;
}

} // namespace bench
