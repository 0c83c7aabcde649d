#pragma once

#include <QString>
#include <QStringList>

// Plays sound files on the machine's audio output without waiting for them: a player program
// (paplay, pw-play or aplay, the first found) is started detached. Sound only plays where the
// kernel shows a playback device (a pcm...p node in /dev/snd) and a player is installed.
class SoundOutput
{
public:
    // `deviceDir` is the kernel's sound device folder; `searchPaths` are the folders searched
    // for a player (empty: the folders of PATH).
    explicit SoundOutput(QString deviceDir = QStringLiteral("/dev/snd"), QStringList searchPaths = {});

    // The number of playback devices: 0 when the folder is missing.
    quint32 deviceCount() const;
    // The full path of the player program, or empty when none is installed.
    QString playerProgram() const;
    // Starts playing the file and returns at once; false when there is no playback device, no
    // player, the file does not exist or the player cannot be started.
    bool play(const QString &fileName) const;

private:
    QString m_deviceDir;
    QStringList m_searchPaths;
};
