#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace kiv {

// help.TXT is read only when it is shorter than this many bytes.
inline constexpr qint64 kHelpFileLimit = 32767;

// Cuts the seven help texts out of the file's content: text i starts two characters after
// the first marker "#i" and ends just before the first marker "#i+1" (line ends belong to
// the text). A text whose start or end marker is missing, or whose end marker stands
// before its start, is empty. Entries 1 to 7 are used; entry 0 stays empty.
std::array<QString, 8> cutHelpTexts(const QByteArray &content);

// Reads help.TXT (when shorter than kHelpFileLimit) and cuts it; a missing, unreadable or
// too long file gives seven empty texts.
std::array<QString, 8> loadHelpTexts(const QString &path);

} // namespace kiv
