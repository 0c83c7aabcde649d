#pragma once

#include <QString>

struct MemoryStatus;

namespace kiv {

// The texts of the about window's two memory figures, from given figures in bytes.

// Total physical memory in KB: bytes / 1024, rounded, with thousands separators and "KB"
// appended ("65,536KB" for 64 MiB, "0KB" for 0). The separator is always ",", whatever the
// locale.
QString formatPhysicalMemory(double totalBytes);

// The free share of the paging file: avail / total x 100 with two decimals, followed by
// "%可用空间" ("50.00%可用空间" for half free). With a total of 0 (no paging file) nothing is
// free, so it reads "0.00%可用空间" instead of a division without a result.
QString formatPageFileFree(double availBytes, double totalBytes);

// What a figure shows when the memory status could not be read.
QString unknownMemoryText();

// The two texts for a memory status as read from the system: a figure that could not be read
// shows unknownMemoryText() instead of a number made up from zeros.
QString physicalMemoryText(const MemoryStatus &status);
QString pageFileText(const MemoryStatus &status);

} // namespace kiv
