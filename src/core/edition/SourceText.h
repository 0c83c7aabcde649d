#pragma once

#include "core/edition/ReadError.h"

#include <QByteArray>
#include <QString>

namespace edition {

// The text of an edition file: read whole, strictly UTF-8, with the checks that come before
// any CSV parsing. A byte-order mark is dropped (Excel writes one); line ends stay as they
// are, for the CSV reader counts them.
class SourceText
{
public:
    // Larger files are refused before a byte is read: the tariff is 3.5 MB, and a 50 MB file
    // is a wrong choice in the file dialog, not an edition.
    static constexpr qint64 kMaxBytes = 50LL * 1024 * 1024;

    // Reads `path` into *text. Progress runs from `from` to `to` per mille as the bytes come
    // in. False with *error set for a missing, unreadable, empty, over-large or binary file,
    // bytes that are not UTF-8, a file removed or written to while it was read, or a cancel.
    static bool read(const QString &path, QString *text, ReadError *error, const Progress &progress = {},
                     int from = 0, int to = 1000);

    // Decodes bytes as read() does (without the file checks).
    static bool decode(const QByteArray &bytes, QString *text, ReadError *error);

    // Offset of the first byte that is not part of valid UTF-8, or -1 when all are.
    static qsizetype firstInvalidUtf8(const QByteArray &bytes);
    // True when the first byte beyond ASCII is where UTF-8 fails and every such byte pairs up
    // as GBK (a lead 0x81-0xFE with a trail 0x40-0xFE other than 0x7F): the usual export of
    // a Chinese Excel.
    static bool looksLikeGbk(const QByteArray &bytes);
};

} // namespace edition
