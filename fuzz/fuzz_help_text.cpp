// Fuzzes the cutting of help.TXT into the seven help texts: any bytes as the file's content,
// cut directly and read back from a file.

#include "FuzzCheck.h"

#include "core/session/HelpTexts.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <array>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::array<QString, 8> texts = kiv::cutHelpTexts(content);

    FUZZ_CHECK(texts[0].isEmpty());
    // Whether the content is UTF-8 that decodes and encodes back to the same bytes.
    const bool roundTrips = QString::fromUtf8(content).toUtf8() == content;
    for (int i = 1; i <= 7; ++i) {
        if (texts[i].isEmpty())
            continue;
        const QByteArray start = '#' + QByteArray::number(i);
        const QByteArray end = '#' + QByteArray::number(i + 1);
        FUZZ_CHECK(content.contains(start) && content.contains(end));
        if (!roundTrips)
            continue;
        // The text is the content between the two markers, never a split character.
        const QByteArray bytes = texts[i].toUtf8();
        const qsizetype from = content.indexOf(start) + start.size();
        FUZZ_CHECK(content.mid(from, bytes.size()) == bytes);
        FUZZ_CHECK(content.indexOf(end) == from + bytes.size());
    }

    // The file reader gives the same texts for a file under the size limit, none above it.
    static QTemporaryDir folder;
    FUZZ_CHECK(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("help.TXT"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(content) == content.size());
    }
    const std::array<QString, 8> loaded = kiv::loadHelpTexts(path);
    if (content.size() < kiv::kHelpFileLimit)
        FUZZ_CHECK(loaded == texts);
    else
        FUZZ_CHECK(loaded == std::array<QString, 8>());
    return 0;
}
