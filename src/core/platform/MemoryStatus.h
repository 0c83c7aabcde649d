#pragma once

#include <QByteArray>
#include <QString>

// Memory figures in bytes, read from the kernel's /proc/meminfo: physical memory from MemTotal
// and MemAvailable (MemFree + Buffers + Cached on kernels without it); the paging-file figures
// stand for memory and swap together: total = MemTotal + SwapTotal, available = MemAvailable +
// SwapFree (never more than the total; missing swap lines count as no swap). `ok` is false
// when a figure could not be read; the figures that depend on a missing field are then 0.
struct MemoryStatus {
    quint64 totalPhysical = 0;
    quint64 availPhysical = 0;
    quint64 totalPageFile = 0;
    quint64 availPageFile = 0;
    bool ok = false;
};

// Reads and parses the file; an unreadable file gives all figures 0 and ok false.
MemoryStatus readMemoryStatus(const QString &meminfoPath = QStringLiteral("/proc/meminfo"));

// Parses the text of /proc/meminfo ("Key:   value kB" lines).
MemoryStatus parseMemInfo(const QByteArray &text);
