#include "core/session/HelpTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace kiv {

std::array<QString, 8> cutHelpTexts(const QByteArray &content)
{
    std::array<QString, 8> texts;
    for (int i = 1; i <= 7; ++i) {
        const QByteArray startMarker = '#' + QByteArray::number(i);
        const QByteArray endMarker = '#' + QByteArray::number(i + 1);
        const qsizetype start = content.indexOf(startMarker);
        const qsizetype end = content.indexOf(endMarker);
        if (start < 0 || end < 0)
            continue;
        const qsizetype from = start + startMarker.size();
        if (end < from)
            continue;
        // The markers are ASCII, so cutting the bytes never splits a UTF-8 character. A U+FEFF
        // right after a marker is part of the text, not a byte order mark to drop.
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        texts[i] = decoder.decode(content.mid(from, end - from));
    }
    return texts;
}

std::array<QString, 8> loadHelpTexts(const QString &path)
{
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile() || info.size() >= kHelpFileLimit || !file.open(QIODevice::ReadOnly))
        return {};
    // One read of the whole file; a file that grows past the limit meanwhile is cut off.
    const QByteArray content = file.read(kHelpFileLimit);
    if (content.size() >= kHelpFileLimit)
        return {};
    return cutHelpTexts(content);
}

} // namespace kiv
