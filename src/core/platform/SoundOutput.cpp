#include "core/platform/SoundOutput.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

SoundOutput::SoundOutput(QString deviceDir, QStringList searchPaths)
    : m_deviceDir(std::move(deviceDir)), m_searchPaths(std::move(searchPaths))
{
}

quint32 SoundOutput::deviceCount() const
{
    // ALSA names playback devices pcmC<card>D<device>p; the ...c nodes are for capture.
    const QStringList nodes =
        QDir(m_deviceDir).entryList({QStringLiteral("pcmC*D*p")}, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    return static_cast<quint32>(nodes.size());
}

QString SoundOutput::playerProgram() const
{
    // paplay and pw-play go through the sound server, which shares the device with other
    // programs; aplay opens the ALSA device directly.
    for (const QString &name : {QStringLiteral("paplay"), QStringLiteral("pw-play"), QStringLiteral("aplay")}) {
        const QString path = QStandardPaths::findExecutable(name, m_searchPaths);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

bool SoundOutput::play(const QString &fileName) const
{
    if (deviceCount() == 0)
        return false;
    const QFileInfo file(fileName);
    if (!file.isFile() || !file.isReadable())
        return false;
    const QString player = playerProgram();
    if (player.isEmpty())
        return false;
    // Detached: the call never waits for the sound, and the player outlives no object of ours.
    // Its output goes nowhere, so it holds none of this program's streams open.
    QProcess process;
    process.setProgram(player);
    process.setArguments({file.absoluteFilePath()});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}
