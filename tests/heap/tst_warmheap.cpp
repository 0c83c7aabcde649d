#include "core/runtime/WarmHeap.h"

#include "support/TestMain.h"

#include <QFile>
#include <QtTest>

#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/resource.h>

namespace {

// The address sanitizer's allocator keeps a heap of its own, which the warming does not touch.
#if defined(__SANITIZE_ADDRESS__)
#define KIV_OWN_ALLOCATOR
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KIV_OWN_ALLOCATOR
#endif
#endif

constexpr qint64 kMiB = qint64(1) << 20;

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

// Blocks of the given size, each written, until they hold `total` bytes.
std::vector<void *> fill(qint64 total, size_t blockSize)
{
    std::vector<void *> blocks;
    for (qint64 held = 0; held < total; held += qint64(blockSize)) {
        void *block = std::malloc(blockSize);
        std::memset(block, 0x5a, blockSize);
        blocks.push_back(block);
    }
    return blocks;
}

void release(std::vector<void *> &blocks)
{
    for (void *block : blocks)
        std::free(block);
    blocks.clear();
}

} // namespace

class tst_WarmHeap : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
#ifdef KIV_OWN_ALLOCATOR
        QSKIP("the address sanitizer's allocator keeps a heap of its own");
#endif
    }

    void loadsWithoutFaultingPageByPage_data()
    {
        QTest::addColumn<int>("blockSize");
        QTest::newRow("cells of a few bytes") << 24;
        QTest::newRow("names") << 96;
        QTest::newRow("rowsets") << 4096;
        QTest::newRow("columns growing") << 200 * 1024;
    }

    // The load's blocks come from pages the heap already holds: a fault for every page they
    // fill is what it saves.
    void loadsWithoutFaultingPageByPage()
    {
        QFETCH(int, blockSize);
        const qint64 load = 24 * kMiB;
        const runtime::WarmHeap warm(40 * kMiB);
        if (warm.bytes() == 0)
            QSKIP("the system cannot fill pages in one call");
        const long before = minorFaults();
        std::vector<void *> blocks = fill(load, size_t(blockSize));
        const long faults = minorFaults() - before;
        release(blocks);
        QVERIFY2(faults < load / 4096 / 10, qPrintable(QStringLiteral("%1 faults").arg(faults)));
    }

    // What the load left free goes back when it ends; what it keeps stays.
    void givesBackWhatTheLoadLeftFree()
    {
        const qint64 before = residentBytes();
        std::vector<void *> kept;
        {
            const runtime::WarmHeap warm(96 * kMiB);
            if (warm.bytes() == 0)
                QSKIP("the system cannot fill pages in one call");
            std::vector<void *> temporaries = fill(32 * kMiB, 64);
            kept = fill(8 * kMiB, 64);
            release(temporaries);
            QVERIFY(residentBytes() > before + 64 * kMiB);
        }
        const qint64 after = residentBytes();
        release(kept);
        QVERIFY2(after < before + 24 * kMiB,
                 qPrintable(QStringLiteral("%1 MiB more resident").arg((after - before) / kMiB)));
        QVERIFY(after > before + 6 * kMiB);
    }

    // Afterwards a large block that comes and goes (a paint's buffer, an index's array) reuses
    // the heap's pages instead of a new mapping, page faults and all, every time.
    void largeBlocksAfterwardsReuseTheHeap()
    {
        {
            const runtime::WarmHeap warm(16 * kMiB);
            if (warm.bytes() == 0)
                QSKIP("the system cannot fill pages in one call");
        }
        constexpr int kTimes = 5;
        constexpr size_t kBlock = 24 * 1024 * 1024;
        const long before = minorFaults();
        for (int i = 0; i < kTimes; ++i) {
            auto *block = static_cast<volatile char *>(std::malloc(kBlock));
            for (size_t at = 0; at < kBlock; at += 4096) // every page written, as a buffer's are
                block[at] = char(i);
            std::free(const_cast<char *>(block));
        }
        const long faults = minorFaults() - before;
        QVERIFY2(faults < long(kBlock / 4096) * 2, qPrintable(QStringLiteral("%1 faults").arg(faults)));
    }
};

KIV_TEST_GUILESS_MAIN(tst_WarmHeap)
#include "tst_warmheap.moc"
