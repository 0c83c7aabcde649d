#include "platform/MemoryStatus.h"

#include "TestEnv.h"

#include <QFile>
#include <QtTest>

namespace {
constexpr quint64 kKiB = 1024;

const QByteArray kMemInfo = "MemTotal:       16318212 kB\n"
                            "MemFree:         1022420 kB\n"
                            "MemAvailable:    9876543 kB\n"
                            "Buffers:          523456 kB\n"
                            "Cached:          7012345 kB\n"
                            "SwapTotal:       2097148 kB\n"
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
    void overcommittedLeavesNoPageFile();
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
    QCOMPARE(status.totalPageFile, 10256252 * kKiB);
    QCOMPARE(status.availPageFile, (10256252 - 6543210) * kKiB);
}

void tst_memorystatus::oldKernelWithoutMemAvailable()
{
    const MemoryStatus status = parseMemInfo(without(kMemInfo, "MemAvailable"));
    QVERIFY(status.ok);
    QCOMPARE(status.availPhysical, (1022420 + 523456 + 7012345) * kKiB);
}

void tst_memorystatus::overcommittedLeavesNoPageFile()
{
    const MemoryStatus status = parseMemInfo("MemTotal: 1000 kB\nMemAvailable: 10 kB\n"
                                             "CommitLimit: 500 kB\nCommitted_AS: 800 kB\n");
    QVERIFY(status.ok);
    QCOMPARE(status.totalPageFile, 500 * kKiB);
    QCOMPARE(status.availPageFile, quint64(0));
}

void tst_memorystatus::missingFields_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<quint64>("totalPhysical");
    QTest::addColumn<quint64>("availPhysical");
    QTest::addColumn<quint64>("totalPageFile");
    QTest::addColumn<quint64>("availPageFile");
    QTest::newRow("MemTotal") << without(kMemInfo, "MemTotal") << quint64(0) << 9876543 * kKiB
                              << 10256252 * kKiB << 3713042 * kKiB;
    QTest::newRow("every available figure")
        << without(without(kMemInfo, "MemAvailable"), "Cached") << 16318212 * kKiB << quint64(0)
        << 10256252 * kKiB << 3713042 * kKiB;
    QTest::newRow("CommitLimit") << without(kMemInfo, "CommitLimit") << 16318212 * kKiB << 9876543 * kKiB
                                 << quint64(0) << quint64(0);
    QTest::newRow("Committed_AS") << without(kMemInfo, "Committed_AS") << 16318212 * kKiB << 9876543 * kKiB
                                  << quint64(0) << quint64(0);
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
    QCOMPARE(status.availPageFile, 3713042 * kKiB);
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
}

QTEST_GUILESS_MAIN(tst_memorystatus)
#include "tst_memorystatus.moc"
