#include "core/platform/MemoryStatus.h"

#include <QFile>
#include <QHash>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

// The fields of the text by name, in bytes.
QHash<QByteArray, quint64> fieldsOf(const QByteArray &text)
{
    QHash<QByteArray, quint64> fields;
    for (const QByteArray &line : text.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QList<QByteArray> words = line.mid(colon + 1).simplified().split(' ');
        bool isNumber = false;
        const quint64 value = words.value(0).toULongLong(&isNumber);
        if (!isNumber)
            continue;
        // The kernel writes "kB" for kibibytes; a field without a unit is a plain count.
        const QByteArray unit = words.value(1).toLower();
        quint64 factor = 1;
        if (unit == "kb")
            factor = 1024;
        else if (unit == "mb")
            factor = 1024 * 1024;
        else if (!unit.isEmpty())
            continue;
        const quint64 bytes = value > std::numeric_limits<quint64>::max() / factor ? std::numeric_limits<quint64>::max()
                                                                                   : value * factor;
        fields.insert(line.left(colon).trimmed(), bytes);
    }
    return fields;
}

std::optional<quint64> field(const QHash<QByteArray, quint64> &fields, const char *name)
{
    const auto it = fields.constFind(QByteArray(name));
    if (it == fields.constEnd())
        return std::nullopt;
    return *it;
}

quint64 saturatedSum(quint64 a, quint64 b)
{
    return a > std::numeric_limits<quint64>::max() - b ? std::numeric_limits<quint64>::max() : a + b;
}

} // namespace

MemoryStatus parseMemInfo(const QByteArray &text)
{
    const QHash<QByteArray, quint64> fields = fieldsOf(text);
    MemoryStatus status;
    bool ok = true;

    if (const auto total = field(fields, "MemTotal"))
        status.totalPhysical = *total;
    else
        ok = false;

    std::optional<quint64> avail = field(fields, "MemAvailable");
    if (!avail) {
        const auto memFree = field(fields, "MemFree");
        const auto buffers = field(fields, "Buffers");
        const auto cached = field(fields, "Cached");
        if (memFree && buffers && cached)
            avail = *memFree + *buffers + *cached;
    }
    if (avail)
        status.availPhysical = *avail;
    else
        ok = false;

    // The paging file stands for what programs can still be given: physical memory and swap
    // together, total = MemTotal + SwapTotal, available = MemAvailable + SwapFree. The commit
    // figures do not serve: Linux lets Committed_AS pass CommitLimit (normal without swap), so
    // "limit - committed" reads nothing free on a machine with gigabytes free. No swap lines
    // count as no swap. The sums saturate and the available part never exceeds the total, so
    // that the record's 32-bit fields, each saturated on its own, keep avail <= total.
    if (status.totalPhysical > 0 && avail) {
        const quint64 swapTotal = field(fields, "SwapTotal").value_or(0);
        const quint64 swapFree = std::min(field(fields, "SwapFree").value_or(0), swapTotal);
        status.totalPageFile = saturatedSum(status.totalPhysical, swapTotal);
        status.availPageFile = std::min(saturatedSum(std::min(*avail, status.totalPhysical), swapFree),
                                        status.totalPageFile);
    }

    status.ok = ok;
    return status;
}

MemoryStatus readMemoryStatus(const QString &meminfoPath)
{
    if (meminfoPath.isEmpty())
        return {};
    QFile file(meminfoPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Files in /proc report a size of 0; readAll reads on until the end all the same.
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    return parseMemInfo(text);
}
