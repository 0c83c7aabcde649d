#include "core/platform/MemoryStatus.h"

#include "TestEnv.h"
#include "support/TestMain.h"

#include <QFile>
#include <QtTest>

#include <limits>

namespace {
constexpr quint64 kKiB = 1024;

const QByteArray kMemInfo = "MemTotal:       16318212 kB\n"
                            "MemFree:         1022420 kB\n"
                            "MemAvailable:    9876543 kB\n"
                            "Buffers:          523456 kB\n"
                            "Cached:          7012345 kB\n"
                            "SwapTotal:       2097148 kB\n"
                            "SwapFree:        1048576 kB\n"
                            "HugePages_Total:       0\n"
                            "CommitLimit:    10256252 kB\n"
                            "Committed_AS:    6543210 kB\n";

QByteArray without(const QByteArray &text, const QByteArray &key)
{
    QByteArray result;
    for (const QByteArray &line : text.split('\n')) {
        if (!line.isEmpty() && !line.startsWith(key + ':'))
            result += line + '\n';
    }
    return result;
}

bool writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}
} // namespace

class tst_memorystatus : public QObject
{
    Q_OBJECT

private slots:
    void parsesFigures();
    void oldKernelWithoutMemAvailable();
    void pageFileIsMemoryAndSwap_data();
    void pageFileIsMemoryAndSwap();
    void missingFields_data();
    void missingFields();
    void garbageAndEmptyText();
    void readsFile();
    void unreadableFile();
    void readsTheKernelsFile();
};

void tst_memorystatus::parsesFigures()
{
    const MemoryStatus status = parseMemInfo(kMemInfo);
    QVERIFY(status.ok);
    QCOMPARE(status.totalPhysical, 16318212 * kKiB);
    QCOMPARE(status.availPhysical, 9876543 * kKiB);
    QCOMPARE(status.totalPageFile, (16318212 + 2097148) * kKiB);
    QCOMPARE(status.availPageFile, (9876543 + 1048576) * kKiB);
}

void tst_memorystatus::oldKernelWithoutMemAvailable()
{
    const MemoryStatus status = parseMemInfo(without(kMemInfo, "MemAvailable"));
    QVERIFY(status.ok);
    QCOMPARE(status.availPhysical, (1022420 + 523456 + 7012345) * kKiB);
}

void tst_memorystatus::pageFileIsMemoryAndSwap_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<quint64>("totalPageFile");
    QTest::addColumn<quint64>("availPageFile");
    const quint64 max = std::numeric_limits<quint64>::max();
    QTest::newRow("swap partly used") << QByteArray("MemTotal: 8000 kB\nMemAvailable: 3000 kB\nSwapTotal: 2000 kB\n"
                                                    "SwapFree: 1500 kB\nCommitLimit: 6000 kB\nCommitted_AS: 5000 kB\n")
                                      << 10000 * kKiB << 4500 * kKiB;
    QTest::newRow("no swap lines, committed above the limit")
        << QByteArray("MemTotal: 1000 kB\nMemAvailable: 10 kB\nCommitLimit: 500 kB\nCommitted_AS: 800 kB\n")
        << 1000 * kKiB << 10 * kKiB;
    QTest::newRow("nearly full, no commit lines")
        << QByteArray("MemTotal: 4000000 kB\nMemAvailable: 1 kB\nSwapTotal: 0 kB\nSwapFree: 0 kB\n")
        << 4000000 * kKiB << kKiB;
    QTest::newRow("more free than there is") << QByteArray("MemTotal: 1000 kB\nMemAvailable: 5000 kB\n"
                                                           "SwapTotal: 100 kB\nSwapFree: 900 kB\n")
                                             << 1100 * kKiB << 1100 * kKiB;
    QTest::newRow("sums beyond 64 bits") << QByteArray("MemTotal: 18446744073709551615 kB\nMemAvailable: 10 kB\n"
                                                       "SwapTotal: 18446744073709551615 kB\nSwapFree: 1 kB\n")
                                         << max << 11 * kKiB;
}

void tst_memorystatus::pageFileIsMemoryAndSwap()
{
    QFETCH(QByteArray, text);
    const MemoryStatus status = parseMemInfo(text);
    QVERIFY(status.ok);
    QTEST(status.totalPageFile, "totalPageFile");
    QTEST(status.availPageFile, "availPageFile");
}

void tst_memorystatus::missingFields_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<quint64>("totalPhysical");
    QTest::addColumn<quint64>("availPhysical");
    QTest::addColumn<quint64>("totalPageFile");
    QTest::addColumn<quint64>("availPageFile");
    QTest::newRow("MemTotal") << without(kMemInfo, "MemTotal") << quint64(0) << 9876543 * kKiB << quint64(0)
                              << quint64(0);
    QTest::newRow("every available figure")
        << without(without(kMemInfo, "MemAvailable"), "Cached") << 16318212 * kKiB << quint64(0) << quint64(0)
        << quint64(0);
}

void tst_memorystatus::missingFields()
{
    QFETCH(QByteArray, text);
    const MemoryStatus status = parseMemInfo(text);
    QVERIFY(!status.ok);
    QTEST(status.totalPhysical, "totalPhysical");
    QTEST(status.availPhysical, "availPhysical");
    QTEST(status.totalPageFile, "totalPageFile");
    QTEST(status.availPageFile, "availPageFile");
}

void tst_memorystatus::garbageAndEmptyText()
{
    for (const QByteArray &text : {QByteArray(), QByteArray("\n\n"), QByteArray("MemTotal: lots kB\n"),
                                   QByteArray("no colon here 123 kB\nMemTotal:\n"), QByteArray("\0\xff\xfe", 3)}) {
        const MemoryStatus status = parseMemInfo(text);
        QVERIFY(!status.ok);
        QCOMPARE(status.totalPhysical, quint64(0));
        QCOMPARE(status.availPageFile, quint64(0));
    }
    // A bad line does not spoil the good ones.
    const MemoryStatus status = parseMemInfo("junk\n:\nMemTotal: x\n" + kMemInfo);
    QVERIFY(status.ok);
    QCOMPARE(status.totalPhysical, 16318212 * kKiB);
}

void tst_memorystatus::readsFile()
{
    TestEnv env;
    const QString path = env.path(QStringLiteral("meminfo"));
    QVERIFY(writeFile(path, kMemInfo));
    const MemoryStatus status = readMemoryStatus(path);
    QVERIFY(status.ok);
    QCOMPARE(status.totalPhysical, 16318212 * kKiB);
    QCOMPARE(status.availPageFile, (9876543 + 1048576) * kKiB);
}

void tst_memorystatus::unreadableFile()
{
    TestEnv env;
    for (const QString &path : {env.path(QStringLiteral("missing")), env.workDir(), QString()}) {
        const MemoryStatus status = readMemoryStatus(path);
        QVERIFY2(!status.ok, qPrintable(path));
        QCOMPARE(status.totalPhysical, quint64(0));
        QCOMPARE(status.availPhysical, quint64(0));
        QCOMPARE(status.totalPageFile, quint64(0));
        QCOMPARE(status.availPageFile, quint64(0));
    }
}

void tst_memorystatus::readsTheKernelsFile()
{
    if (!QFile::exists(QStringLiteral("/proc/meminfo")))
        QSKIP("no /proc/meminfo on this machine");
    const MemoryStatus status = readMemoryStatus();
    QVERIFY(status.ok);
    QVERIFY(status.totalPhysical > 0);
    QVERIFY(status.availPhysical <= status.totalPhysical);
    QVERIFY(status.availPageFile <= status.totalPageFile);
    QVERIFY(status.availPageFile >= std::min(status.availPhysical, status.totalPhysical));
}

KIV_TEST_GUILESS_MAIN(tst_memorystatus)
#include "tst_memorystatus.moc"
