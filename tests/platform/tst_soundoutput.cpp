#include "core/platform/SoundOutput.h"

#include "TestEnv.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

bool touch(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

// A player that notes its argument, then takes its time before it has finished.
bool writePlayer(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\n"
               "dir=$(dirname \"$0\")\n"
               "printf '%s' \"$1\" > \"$dir/started.tmp\" && mv \"$dir/started.tmp\" \"$dir/started\"\n"
               "sleep 2\n"
               "touch \"$dir/finished\" 2>/dev/null\n");
    file.close();
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace

class tst_soundoutput : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void countsPlaybackDevicesOnly();
    void findsPlayerInSearchPaths();
    void playsWithoutWaiting();
    void refusesWithoutDeviceFileOrPlayer();

private:
    std::unique_ptr<TestEnv> m_env;
    QString m_devices;
    QString m_bin;
    QString m_sound;
};

void tst_soundoutput::init()
{
    m_env = std::make_unique<TestEnv>();
    m_devices = m_env->path(QStringLiteral("snd"));
    m_bin = m_env->path(QStringLiteral("bin"));
    m_sound = m_env->path(QStringLiteral("ding.wav"));
    QVERIFY(QDir().mkpath(m_devices));
    QVERIFY(QDir().mkpath(m_bin));
    QVERIFY(touch(m_sound));
}

void tst_soundoutput::cleanup()
{
    m_env.reset();
}

void tst_soundoutput::countsPlaybackDevicesOnly()
{
    const SoundOutput sound(m_devices, {m_bin});
    QCOMPARE(sound.deviceCount(), 0u);
    QVERIFY(touch(m_devices + QStringLiteral("/pcmC0D0c"))); // capture
    QVERIFY(touch(m_devices + QStringLiteral("/controlC0")));
    QCOMPARE(sound.deviceCount(), 0u);
    QVERIFY(touch(m_devices + QStringLiteral("/pcmC0D0p")));
    QVERIFY(touch(m_devices + QStringLiteral("/pcmC1D3p")));
    QCOMPARE(sound.deviceCount(), 2u);
    QCOMPARE(SoundOutput(m_env->path(QStringLiteral("nosuchfolder")), {m_bin}).deviceCount(), 0u);
}

void tst_soundoutput::findsPlayerInSearchPaths()
{
    const SoundOutput sound(m_devices, {m_bin});
    QVERIFY(sound.playerProgram().isEmpty());
    QVERIFY(writePlayer(m_bin + QStringLiteral("/aplay")));
    QCOMPARE(sound.playerProgram(), m_bin + QStringLiteral("/aplay"));
    // A player through the sound server comes first.
    QVERIFY(writePlayer(m_bin + QStringLiteral("/paplay")));
    QCOMPARE(sound.playerProgram(), m_bin + QStringLiteral("/paplay"));
}

void tst_soundoutput::playsWithoutWaiting()
{
    QVERIFY(touch(m_devices + QStringLiteral("/pcmC0D0p")));
    QVERIFY(writePlayer(m_bin + QStringLiteral("/aplay")));
    const SoundOutput sound(m_devices, {m_bin});
    QVERIFY(sound.play(m_sound));
    // Back before the player has finished: the call did not wait for the sound.
    QVERIFY(!QFile::exists(m_bin + QStringLiteral("/finished")));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_bin + QStringLiteral("/started")), 10000);
    QFile started(m_bin + QStringLiteral("/started"));
    QVERIFY(started.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromLocal8Bit(started.readAll()), m_sound);
}

void tst_soundoutput::refusesWithoutDeviceFileOrPlayer()
{
    QVERIFY(writePlayer(m_bin + QStringLiteral("/aplay")));
    // No playback device.
    QVERIFY(!SoundOutput(m_devices, {m_bin}).play(m_sound));
    QVERIFY(touch(m_devices + QStringLiteral("/pcmC0D0p")));
    const SoundOutput sound(m_devices, {m_bin});
    QVERIFY(!sound.play(m_env->path(QStringLiteral("missing.wav"))));
    QVERIFY(!sound.play(m_env->workDir())); // a folder is no sound
    QVERIFY(!sound.play(QString()));
    // No player.
    QVERIFY(!SoundOutput(m_devices, {m_env->path(QStringLiteral("empty"))}).play(m_sound));
}

KIV_TEST_GUILESS_MAIN(tst_soundoutput)
#include "tst_soundoutput.moc"
