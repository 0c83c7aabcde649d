#pragma once

#include <cstddef>

namespace bench {

// The machine's own share of a first action after a wait. Some hypervisors drop their mappings of
// a guest's memory now and then; the next touch of each page maps it again, at some microseconds
// a page, so a first jump after such a wait pays for the thousands of pages it touches, in the
// program and the floor alike. The probe is a mapping of its own, touched before the wait and
// again just before the first jump: a page that takes far longer the second time tells such a
// wait apart. Its pages are left out of the resident figure.
class MemoryProbe
{
public:
    MemoryProbe();
    ~MemoryProbe();
    MemoryProbe(const MemoryProbe &) = delete;
    MemoryProbe &operator=(const MemoryProbe &) = delete;

    // Microseconds a page took to read before the wait, and takes now.
    double beforeUs() const { return m_beforeUs; }
    double touchUs();
    static double mib() { return static_cast<double>(kBytes) / (1 << 20); }

private:
    static constexpr std::size_t kBytes = std::size_t(1) << 20;
    unsigned char *m_pages = nullptr;
    double m_beforeUs = 0;
};

} // namespace bench
