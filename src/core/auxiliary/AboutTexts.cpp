#include "core/auxiliary/AboutTexts.h"

#include "core/platform/MemoryStatus.h"

#include <cmath>

namespace kiv {

namespace {

// The picture "#,###": whole number, groups of three digits separated by ",".
QString groupThousands(double value)
{
    const long long rounded = std::llround(value);
    QString digits = QString::number(rounded < 0 ? -rounded : rounded);
    for (int pos = digits.size() - 3; pos > 0; pos -= 3)
        digits.insert(pos, QLatin1Char(','));
    return rounded < 0 ? QLatin1Char('-') + digits : digits;
}

} // namespace

QString formatPhysicalMemory(double totalBytes)
{
    // 0.0009765625 = 1 / 1024, exactly as a double.
    return groupThousands(totalBytes * 0.0009765625) + QStringLiteral("KB");
}

QString formatPageFileFree(double availBytes, double totalBytes)
{
    const double percent = totalBytes > 0 ? availBytes / totalBytes * 100.0 : 0.0;
    return QString::number(percent, 'f', 2) + QStringLiteral("%可用空间");
}

QString unknownMemoryText()
{
    return QStringLiteral("未知");
}

QString physicalMemoryText(const MemoryStatus &status)
{
    if (!status.ok && status.totalPhysical == 0)
        return unknownMemoryText();
    return formatPhysicalMemory(double(status.totalPhysical));
}

QString pageFileText(const MemoryStatus &status)
{
    if (!status.ok && status.totalPageFile == 0)
        return unknownMemoryText();
    return formatPageFileFree(double(status.availPageFile), double(status.totalPageFile));
}

} // namespace kiv
