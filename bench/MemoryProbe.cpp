#include "MemoryProbe.h"

#include <chrono>
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

namespace bench {

MemoryProbe::MemoryProbe()
{
    void *pages = mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED)
        return;
    m_pages = static_cast<unsigned char *>(pages);
    madvise(m_pages, kBytes, MADV_NOHUGEPAGE); // small pages, as most of a program's
    std::memset(m_pages, 1, kBytes);
    m_beforeUs = touchUs();
}

MemoryProbe::~MemoryProbe()
{
    if (m_pages)
        munmap(m_pages, kBytes);
}

double MemoryProbe::touchUs()
{
    if (!m_pages)
        return 0;
    const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
    const auto start = std::chrono::steady_clock::now();
    // Volatile reads: each page is read, though nothing uses what it holds.
    for (std::size_t at = 0; at < kBytes; at += page)
        static_cast<void>(static_cast<volatile unsigned char *>(m_pages)[at]);
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    return took.count() / static_cast<double>(kBytes / page);
}

} // namespace bench
