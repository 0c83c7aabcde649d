#include "core/platform/MemoryStatus.h"
#include "ui/platform/nvo_external_function_win32.h"

#include "TestEnv.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QStorageInfo>
#include <QSysInfo>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

using nvo = nvo_external_function_win32;

namespace {

bool writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

quint32 rgb(const QColor &color)
{
    return quint32(color.red()) + quint32(color.green()) * 256 + quint32(color.blue()) * 65536;
}

quint32 saturated(quint64 value)
{
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : quint32(value);
}

} // namespace

class tst_nvo_external_function_win32 : public QObject
{
    Q_OBJECT

private slots:
    void screenSize();
    void systemColours();
    void folders();
    void currentFolder();
    void driveTypes();
    void userAndComputerName();
    void namesInTooSmallBuffers();
    void tickCountSinceBoot();
    void memoryStatus();
    void copyFile();
    void makeDirectory();
    void moduleHandles();
    void mailAndDialUpReportFailure();
    void playSound();
    void soundWithoutDevice();
};

void tst_nvo_external_function_win32::screenSize()
{
    nvo n;
    const QScreen *screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
    QVERIFY(n.uf_getscreenwidth() > 0);
    QCOMPARE(n.uf_getscreenwidth(), screen->geometry().width());
    QCOMPARE(n.uf_getscreenheight(), screen->geometry().height());
    QVERIFY(n.getsystemmetrics(16) <= n.uf_getscreenwidth());
    QCOMPARE(n.getsystemmetrics(80), int(QGuiApplication::screens().size()));
    QVERIFY(n.getsystemmetrics(2) > 0); // scroll bar width
    QCOMPARE(n.getsystemmetrics(-1), 0);
    QCOMPARE(n.getsystemmetrics(5000), 0);
}

void tst_nvo_external_function_win32::systemColours()
{
    const QPalette saved = QApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Button, QColor(212, 208, 200));
    palette.setColor(QPalette::ButtonText, QColor(1, 2, 3));
    palette.setColor(QPalette::Base, QColor(250, 251, 252));
    palette.setColor(QPalette::Text, QColor(10, 20, 30));
    palette.setColor(QPalette::Highlight, QColor(0, 0, 128));
    palette.setColor(QPalette::HighlightedText, QColor(255, 255, 0));
    QApplication::setPalette(palette);

    nvo n;
    QCOMPARE(n.uf_getsyscolor(15), rgb(QColor(212, 208, 200))); // button face
    QCOMPARE(n.uf_getsyscolor(15), 13160660u);
    QCOMPARE(n.uf_getsyscolor(18), rgb(QColor(1, 2, 3)));       // button text
    QCOMPARE(n.uf_getsyscolor(5), rgb(QColor(250, 251, 252)));  // window
    QCOMPARE(n.uf_getsyscolor(8), 10u + 20u * 256 + 30u * 65536); // window text
    QCOMPARE(n.uf_getsyscolor(13), 128u * 65536);               // selection
    QCOMPARE(n.uf_getsyscolor(14), 255u + 255u * 256);          // selected text
    for (int undefined : {-1, 25, 31, 1000})
        QCOMPARE(n.uf_getsyscolor(undefined), 0u);
    QApplication::setPalette(saved);
}

void tst_nvo_external_function_win32::folders()
{
    nvo n;
    QString dir = QStringLiteral("unchanged");
    QCOMPARE(n.uf_getwindowsdirectory(dir, 260), 4u);
    QCOMPARE(dir, QStringLiteral("/usr"));
    // A buffer without room for the terminator: the size needed, the text untouched.
    dir = QStringLiteral("unchanged");
    QCOMPARE(n.uf_getwindowsdirectory(dir, 4), 5u);
    QCOMPARE(dir, QStringLiteral("unchanged"));

    QString system;
    const quint32 length = n.uf_getsystemdirectory(system, 260);
    QCOMPARE(length, quint32(system.size()));
    QVERIFY(QFileInfo(system).isDir());
    QVERIFY2(QFileInfo::exists(system + QStringLiteral("/libc.so.6")), qPrintable(system));
    QString small = QStringLiteral("x");
    QCOMPARE(n.uf_getsystemdirectory(small, 1), length + 1);
    QCOMPARE(small, QStringLiteral("x"));

    QVERIFY(!n.setwindowsdirectorya(QDir::tempPath()));
    n.of_set_directories();
    QCOMPARE(n.uf_getwindowsdirectory(dir, 260), 4u);
}

void tst_nvo_external_function_win32::currentFolder()
{
    TestEnv env;
    nvo n;
    QString dir;
    QCOMPARE(n.uf_getcurrentdirectory(dir, 4096), quint32(env.workDir().size()));
    QCOMPARE(QFileInfo(dir).canonicalFilePath(), QFileInfo(env.workDir()).canonicalFilePath());
    QString small = QStringLiteral("kept");
    QCOMPARE(n.uf_getcurrentdirectory(small, 2), quint32(dir.size() + 1));
    QCOMPARE(small, QStringLiteral("kept"));

    QVERIFY(n.uf_setcurrentdirectory(env.root()));
    QCOMPARE(QDir::current().canonicalPath(), QDir(env.root()).canonicalPath());
    QVERIFY(!n.uf_setcurrentdirectory(env.path(QStringLiteral("no/such/folder"))));
    QVERIFY(!n.uf_setcurrentdirectory(QString()));
    QCOMPARE(QDir::current().canonicalPath(), QDir(env.root()).canonicalPath());
}

void tst_nvo_external_function_win32::driveTypes()
{
    nvo n;
    QCOMPARE(n.uf_getdrivetype(0), nvo::drive_no_root_dir); // A:
    QCOMPARE(n.uf_getdrivetype(3), nvo::drive_no_root_dir); // D:
    QCOMPARE(n.uf_getdrivetype(25), nvo::drive_no_root_dir);
    const quint32 root = n.getdrivetypea(QStringLiteral("/"));
    QVERIFY(root >= nvo::drive_removable && root <= nvo::drive_ramdisk);
    QCOMPARE(n.uf_getdrivetype(2), root); // C: is the root file system
    QCOMPARE(n.getdrivetypea(QStringLiteral("c:\\")), root);
    QCOMPARE(n.getdrivetypea(QStringLiteral("/no/such/path")), nvo::drive_no_root_dir);
    QCOMPARE(n.getdrivetypea(QString()), n.getdrivetypea(QDir::currentPath()));
    const QStorageInfo shm(QStringLiteral("/dev/shm"));
    if (shm.isValid() && shm.fileSystemType() == "tmpfs")
        QCOMPARE(n.getdrivetypea(QStringLiteral("/dev/shm")), nvo::drive_ramdisk);
}

void tst_nvo_external_function_win32::userAndComputerName()
{
    nvo n;
    const passwd *entry = getpwuid(geteuid());
    QVERIFY(entry);
    QString name;
    QVERIFY(n.uf_get_logon_name(name));
    QCOMPARE(name, QString::fromLocal8Bit(entry->pw_name));

    QString host;
    QVERIFY(n.uf_getcomputername(host));
    QCOMPARE(host, QSysInfo::machineHostName());
    QVERIFY(!host.isEmpty());
}

void tst_nvo_external_function_win32::namesInTooSmallBuffers()
{
    nvo n;
    const QString user = QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
    const QString host = QSysInfo::machineHostName();

    // The user name's length counts its terminator, the computer name's does not.
    QString name;
    quint32 len = 255;
    QVERIFY(n.getusernamea(name, len));
    QCOMPARE(len, quint32(user.size() + 1));
    len = 255;
    QVERIFY(n.getcomputernamea(name, len));
    QCOMPARE(len, quint32(host.size()));

    // Exactly the name without room for its terminator fails and asks for one more.
    name = QStringLiteral("kept");
    len = quint32(user.size());
    QVERIFY(!n.getusernamea(name, len));
    QCOMPARE(len, quint32(user.size() + 1));
    QCOMPARE(name, QStringLiteral("kept"));
    len = quint32(host.size());
    QVERIFY(!n.getcomputernamea(name, len));
    QCOMPARE(len, quint32(host.size() + 1));
    QCOMPARE(name, QStringLiteral("kept"));
}

void tst_nvo_external_function_win32::tickCountSinceBoot()
{
    nvo n;
    const quint32 first = n.uf_get_logon_time();
    QTest::qWait(30);
    const quint32 second = n.uf_get_logon_time();
    const quint32 elapsed = second - first; // unsigned: right across the wrap as well
    QVERIFY2(elapsed >= 29 && elapsed < 60000, qPrintable(QString::number(elapsed)));

    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!uptime.open(QIODevice::ReadOnly))
        QSKIP("no /proc/uptime");
    const double seconds = uptime.readAll().split(' ').value(0).toDouble();
    const auto expected = quint32(quint64(seconds * 1000.0));
    const quint32 now = n.gettickcount();
    const qint64 difference = qint32(now - expected);
    QVERIFY2(qAbs(difference) < 2000, qPrintable(QStringLiteral("%1 vs %2").arg(now).arg(expected)));
}

void tst_nvo_external_function_win32::memoryStatus()
{
    nvo n;
    str_memorystatus status;
    status.sul_dwlength = 32;
    n.globalmemorystatus(status);
    QCOMPARE(status.sul_dwlength, 32u);
    const MemoryStatus memory = readMemoryStatus();
    if (!memory.ok)
        QSKIP("no readable /proc/meminfo");
    QCOMPARE(status.sul_dwtotalphys, saturated(memory.totalPhysical));
    QCOMPARE(status.sul_dwtotalpagefile, saturated(memory.totalPageFile));
    QVERIFY(status.sul_dwavailphys <= status.sul_dwtotalphys);
    QVERIFY(status.sul_dwavailpagefile <= status.sul_dwtotalpagefile);
    QVERIFY(status.sul_dwmemoryload <= 100);
    QVERIFY(status.sul_dwtotalvirtual > 0);
    QVERIFY(status.sul_dwavailvirtual <= status.sul_dwtotalvirtual);
    // The free-memory figure is the available paging file; it moves a little between reads.
    const quint32 free = n.uf_getfreememory();
    QVERIFY(free <= status.sul_dwtotalpagefile);
    const qint64 drift = qAbs(qint64(free) - qint64(saturated(readMemoryStatus().availPageFile)));
    QVERIFY2(drift < 256 * 1024 * 1024, qPrintable(QString::number(drift)));
}

void tst_nvo_external_function_win32::copyFile()
{
    TestEnv env;
    nvo n;
    const QString source = env.path(QStringLiteral("源.txt"));
    const QString target = env.path(QStringLiteral("target.txt"));
    QVERIFY(writeFile(source, "new"));
    QVERIFY(writeFile(target, "old"));

    // The flag says "fail if the new file exists".
    QVERIFY(!n.uf_copyfile(source, target, true));
    QCOMPARE(readFile(target), QByteArray("old"));
    QVERIFY(n.uf_copyfile(source, target, false));
    QCOMPARE(readFile(target), QByteArray("new"));

    const QString fresh = env.path(QStringLiteral("fresh.txt"));
    QVERIFY(n.uf_copyfile(source, fresh, true));
    QCOMPARE(readFile(fresh), QByteArray("new"));
    QCOMPARE(readFile(source), QByteArray("new"));

    for (bool rewrite : {true, false}) {
        QVERIFY(!n.uf_copyfile(env.path(QStringLiteral("missing.txt")), env.path(QStringLiteral("x.txt")), rewrite));
        QVERIFY(!QFile::exists(env.path(QStringLiteral("x.txt"))));
        QVERIFY(!n.uf_copyfile(source, env.path(QStringLiteral("no/folder/x.txt")), rewrite));
        QVERIFY(!n.uf_copyfile(env.workDir(), env.path(QStringLiteral("folder-copy")), rewrite));
        QVERIFY(!n.uf_copyfile(source, source, rewrite));
        QCOMPARE(readFile(source), QByteArray("new"));
        QVERIFY(!n.uf_copyfile(QString(), target, rewrite));
    }
}

void tst_nvo_external_function_win32::makeDirectory()
{
    TestEnv env;
    nvo n;
    const QString folder = env.path(QStringLiteral("新文件夹"));
    QVERIFY(n.uf_makedir(folder));
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(!n.uf_makedir(folder)); // exists already
    QVERIFY(QFileInfo(folder).isDir());

    // One level only: the parent folder must exist.
    QVERIFY(!n.uf_makedir(env.path(QStringLiteral("a/b"))));
    QVERIFY(!QFileInfo::exists(env.path(QStringLiteral("a"))));
    QVERIFY(writeFile(env.path(QStringLiteral("file")), "x"));
    QVERIFY(!n.uf_makedir(env.path(QStringLiteral("file/sub"))));
    QVERIFY(!n.uf_makedir(env.path(QStringLiteral("file"))));
    QVERIFY(!n.uf_makedir(QString()));

    str_directory attributes;
    attributes.nlength = 12;
    attributes.binherithandle = 1;
    QVERIFY(n.createdirectorya(env.path(QStringLiteral("second")), attributes));
    QVERIFY(QFileInfo(env.path(QStringLiteral("second"))).isDir());
    // A relative name is made in the current folder.
    QVERIFY(n.uf_makedir(QStringLiteral("relative")));
    QVERIFY(QFileInfo(env.path(QStringLiteral("relative"))).isDir());
}

void tst_nvo_external_function_win32::moduleHandles()
{
    nvo n;
    QVERIFY(n.uf_getmodulehandle(QString()) != 0); // the program itself
    QVERIFY(n.uf_getmodulehandle(QStringLiteral("libQt6Core.so.6")) != 0);
    QCOMPARE(n.uf_getmodulehandle(QStringLiteral("libkivnosuchmodule.so")), quintptr(0));

    // A library that exists but is not loaded is not loaded by asking.
    const auto isMapped = [] { return readFile(QStringLiteral("/proc/self/maps")).contains("libodbccr"); };
    if (isMapped())
        QSKIP("the cursor library is loaded already");
    QCOMPARE(n.uf_getmodulehandle(QStringLiteral("libodbccr.so.2")), quintptr(0));
    QVERIFY(!isMapped());
}

void tst_nvo_external_function_win32::mailAndDialUpReportFailure()
{
    nvo n;
    QCOMPARE(n.createdll(QStringLiteral("mail.example.org"), 25, QStringLiteral("user"),
                         QStringLiteral("a@example.org"), QStringLiteral("b@example.org"), QStringLiteral("A")),
             -1);
    QCOMPARE(n.destorydll(), -1);
    QCOMPARE(n.createdll(), -1);
    QCOMPARE(n.destorydll1(), -1);
    QCOMPARE(n.uf_destroydll(), -1);
    QCOMPARE(n.uf_dialphonecode(), -1);
    QCOMPARE(n.uf_destroydll1(), -1);
}

void tst_nvo_external_function_win32::playSound()
{
    TestEnv env;
    MessageRecorder recorder;
    const QString devices = env.path(QStringLiteral("snd"));
    const QString bin = env.path(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(devices) && QDir().mkpath(bin));
    QVERIFY(writeFile(devices + QStringLiteral("/pcmC0D0p"), {}));
    // A player that takes a while: the call must be back long before it has finished.
    const QString player = bin + QStringLiteral("/aplay");
    QVERIFY(writeFile(player, "#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\nsleep 2\n"
                              "touch \"$(dirname \"$0\")/finished\" 2>/dev/null\n"));
    QVERIFY(QFile::setPermissions(player, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QString sound = env.path(QStringLiteral("ding.wav"));
    QVERIFY(writeFile(sound, "RIFF"));

    nvo n{SoundOutput(devices, {bin})};
    QCOMPARE(n.waveoutgetnumdevs(), 1u);
    QCOMPARE(n.uf_playsound(sound, nvo::snd_sync), 1);
    QVERIFY(!QFile::exists(bin + QStringLiteral("/finished")));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(bin + QStringLiteral("/started")), 10000);
    QCOMPARE(recorder.beeps(), 0);

    // A sound that cannot play gives the default sound, unless told not to.
    QCOMPARE(n.uf_playsound(env.path(QStringLiteral("missing.wav")), nvo::snd_async), 1);
    QCOMPARE(recorder.beeps(), 1);
    QCOMPARE(n.uf_playsound(env.path(QStringLiteral("missing.wav")), nvo::snd_async | nvo::snd_nodefault), -1);
    QCOMPARE(n.uf_playsound(sound, nvo::snd_memory), -1);
    QCOMPARE(recorder.beeps(), 1);

    // A device but no player: the desktop's beep stands in.
    nvo noPlayer{SoundOutput(devices, {env.path(QStringLiteral("empty"))})};
    QCOMPARE(noPlayer.uf_playsound(sound, nvo::snd_async), 1);
    QCOMPARE(recorder.beeps(), 2);
    QCOMPARE(noPlayer.uf_playsound(sound, nvo::snd_nodefault), -1);
    QCOMPARE(recorder.beeps(), 2);
}

void tst_nvo_external_function_win32::soundWithoutDevice()
{
    TestEnv env;
    MessageRecorder recorder;
    const QString sound = env.path(QStringLiteral("ding.wav"));
    QVERIFY(writeFile(sound, "RIFF"));
    nvo silent{SoundOutput(env.path(QStringLiteral("nosnd")), {})};
    QCOMPARE(silent.waveoutgetnumdevs(), 0u);
    QCOMPARE(silent.uf_playsound(sound, nvo::snd_async), -1);
    QVERIFY(!silent.sndplaysounda(sound, nvo::snd_async));
    QCOMPARE(recorder.beeps(), 0);

    // This machine's own output.
    nvo machine;
    if (machine.waveoutgetnumdevs() == 0)
        QCOMPARE(machine.uf_playsound(sound, nvo::snd_async | nvo::snd_nodefault), -1);
    else
        QCOMPARE(machine.waveoutgetnumdevs(), SoundOutput().deviceCount());
}

KIV_TEST_MAIN(tst_nvo_external_function_win32)
#include "tst_nvo_external_function_win32.moc"
