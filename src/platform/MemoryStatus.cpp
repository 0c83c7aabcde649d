#include "platform/MemoryStatus.h"

#include <QFile>
#include <QHash>

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
        fields.insert(line.left(colon).trimmed(), value * factor);
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

    const auto limit = field(fields, "CommitLimit");
    const auto committed = field(fields, "Committed_AS");
    if (limit && committed) {
        status.totalPageFile = *limit;
        status.availPageFile = *committed < *limit ? *limit - *committed : 0;
    } else {
        ok = false;
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
