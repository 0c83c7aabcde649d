#include "core/runtime/ProfileStrings.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <optional>

namespace runtime {

namespace {

// A profile file larger than this is not a profile file; it is neither parsed nor rewritten.
constexpr qint64 kMaxProfileSize = 256 * 1024 * 1024;

// One physical line: its text [begin, end) and its terminator [end, next) ("", "\n" or "\r\n").
struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

QList<Line> splitLines(const QByteArray &data)
{
    QList<Line> lines;
    qsizetype pos = 0;
    // A UTF-8 byte order mark is not part of the first line's text.
    if (data.startsWith("\xEF\xBB\xBF"))
        pos = 3;
    while (pos < data.size()) {
        const qsizetype nl = data.indexOf('\n', pos);
        Line line;
        line.begin = pos;
        if (nl < 0) {
            line.end = line.next = data.size();
        } else {
            line.end = (nl > pos && data.at(nl - 1) == '\r') ? nl - 1 : nl;
            line.next = nl + 1;
        }
        lines.append(line);
        pos = line.next;
    }
    return lines;
}

enum class LineKind { Blank, Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QByteArray rawName; // section or key name as spelled in the file, trimmed
    QByteArray rawValue;
};

ParsedLine parseLine(const QByteArray &data, const Line &line)
{
    const QByteArray text = data.mid(line.begin, line.end - line.begin).trimmed();
    ParsedLine parsed;
    if (text.isEmpty()) {
        parsed.kind = LineKind::Blank;
        return parsed;
    }
    if (text.startsWith('[')) {
        const qsizetype close = text.indexOf(']');
        parsed.kind = LineKind::Section;
        parsed.rawName = text.mid(1, close < 0 ? -1 : close - 1).trimmed();
        return parsed;
    }
    const qsizetype eq = text.indexOf('=');
    if (eq <= 0)
        return parsed;
    parsed.rawName = text.left(eq).trimmed();
    if (parsed.rawName.isEmpty())
        return parsed;
    parsed.kind = LineKind::Key;
    parsed.rawValue = text.mid(eq + 1).trimmed();
    return parsed;
}

// The text of a name or value. QString::fromUtf8 would drop a leading U+FEFF as a byte order
// mark; inside a line it is a character of the name or value and must survive, or a name
// written with it could never be found again.
QString decoded(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

bool sameName(const QByteArray &raw, const QString &name)
{
    return decoded(raw).compare(name, Qt::CaseInsensitive) == 0;
}

// Where a section and a key sit in a file. Only the first section of a name counts, and in it
// the first key of a name, as with the Windows calls.
struct Location {
    qsizetype section = -1;     // line index of the section header
    qsizetype key = -1;         // line index of the key
    qsizetype lastContent = -1; // last non-blank line of the section
    QByteArray keyName;         // the key's spelling in the file
    QByteArray value;
};

Location locate(const QByteArray &data, const QList<Line> &lines, const QString &section,
                const QString &key)
{
    Location loc;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = parseLine(data, lines.at(i));
        if (parsed.kind == LineKind::Section) {
            if (loc.section >= 0)
                break;
            if (sameName(parsed.rawName, section))
                loc.section = loc.lastContent = i;
            continue;
        }
        if (loc.section < 0)
            continue;
        if (parsed.kind != LineKind::Blank)
            loc.lastContent = i;
        if (parsed.kind == LineKind::Key && loc.key < 0 && sameName(parsed.rawName, key)) {
            loc.key = i;
            loc.keyName = parsed.rawName;
            loc.value = parsed.rawValue;
        }
    }
    return loc;
}

// The whole file, or nothing when it is missing, not a regular file, too large or unreadable.
// `exists` tells a missing file from an unreadable one.
std::optional<QByteArray> readProfile(const QString &file, bool *exists)
{
    const QFileInfo info(file);
    *exists = info.exists();
    if (!info.exists() || !info.isFile() || info.size() > kMaxProfileSize)
        return std::nullopt;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}

QByteArray unquoted(const QByteArray &value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// The line ending the file already uses (its first one); CR LF for a file without any.
QByteArray lineEnding(const QByteArray &data, const QList<Line> &lines)
{
    for (const Line &line : lines) {
        if (line.next > line.end)
            return data.mid(line.end, line.next - line.end);
    }
    return QByteArrayLiteral("\r\n");
}

bool saveProfile(const QString &file, const QByteArray &data)
{
    // QSaveFile writes a temporary file beside the target and renames it on commit, so a
    // failure leaves the old file as it was.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(data) != data.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace

QString profileString(const QString &file, const QString &section, const QString &key,
                      const QString &defaultValue)
{
    if (section.trimmed().isEmpty() || key.trimmed().isEmpty())
        return defaultValue;
    bool exists = false;
    const std::optional<QByteArray> data = readProfile(file, &exists);
    if (!data)
        return defaultValue;
    const Location loc = locate(*data, splitLines(*data), section.trimmed(), key.trimmed());
    if (loc.key < 0)
        return defaultValue;
    return decoded(unquoted(loc.value));
}

int setProfileString(const QString &file, const QString &section, const QString &key,
                     const QString &value)
{
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (sectionName.isEmpty() || keyName.isEmpty() || hasLineBreak(section) || hasLineBreak(key)
        || hasLineBreak(value) || sectionName.contains(QLatin1Char(']'))
        || keyName.contains(QLatin1Char('=')) || keyName.startsWith(QLatin1Char('[')))
        return -1;

    bool exists = false;
    std::optional<QByteArray> read = readProfile(file, &exists);
    if (!read && exists)
        return -1; // never replace a file that could not be read
    const QByteArray data = read.value_or(QByteArray());
    const QList<Line> lines = splitLines(data);
    const QByteArray eol = lineEnding(data, lines);
    const Location loc = locate(data, lines, sectionName, keyName);

    QByteArray result;
    if (loc.key >= 0) {
        const Line &line = lines.at(loc.key);
        result = data.left(line.begin) + loc.keyName + '=' + value.toUtf8()
                 + data.mid(line.end);
    } else if (loc.section >= 0) {
        const Line &after = lines.at(loc.lastContent);
        const QByteArray terminator = after.next > after.end ? QByteArray() : eol;
        result = data.left(after.next) + terminator + keyName.toUtf8() + '=' + value.toUtf8()
                 + eol + data.mid(after.next);
    } else {
        result = data;
        if (!result.isEmpty() && !result.endsWith('\n'))
            result += eol;
        result += '[' + sectionName.toUtf8() + ']' + eol + keyName.toUtf8() + '='
                  + value.toUtf8() + eol;
    }
    return saveProfile(file, result) ? 1 : -1;
}

int removeProfileKey(const QString &file, const QString &section, const QString &key)
{
    bool exists = false;
    const std::optional<QByteArray> data = readProfile(file, &exists);
    if (!data)
        return exists ? -1 : 1;
    const auto lines = splitLines(*data);
    const Location loc = locate(*data, lines, section.trimmed(), key.trimmed());
    if (loc.key < 0)
        return 1;
    const Line &line = lines.at(loc.key);
    return saveProfile(file, data->left(line.begin) + data->mid(line.next)) ? 1 : -1;
}

int createProfileFile(const QString &file, const QByteArray &content)
{
    if (QFileInfo::exists(file) || QFileInfo(file).isSymLink())
        return 0;
    const QFileInfo info(file);
    // The text is written to a temporary file beside the target first; the rename does not
    // replace a file that appeared meanwhile, and nobody ever sees a partly written file.
    QTemporaryFile tmp(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                       + QStringLiteral(".XXXXXX"));
    if (!tmp.open())
        return -1;
    if (tmp.write(content) != content.size() || !tmp.flush())
        return -1;
    tmp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                       | QFileDevice::ReadOther);
    if (!tmp.rename(file))
        return QFileInfo::exists(file) ? 0 : -1;
    tmp.setAutoRemove(false);
    return 1;
}

} // namespace runtime
