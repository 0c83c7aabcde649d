// Fuzzes the profile file reader and writer: any bytes as the file, one key read, written back,
// read again and written again.
//
// Input: optionally "section\tkey\tvalue\tother key" and a NUL byte, then the file's bytes.
// Without a NUL the whole input is the file, and the names are the system's own.

#include "FuzzCheck.h"

#include "core/runtime/ProfileStrings.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <algorithm>

#include <cstddef>
#include <cstdint>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(data) == data.size());
}

// Not QString::fromUtf8, which drops a leading U+FEFF that names and values may start with.
QString decodedUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

// The value a reader sees after `value` was written: blanks around it and one pair of
// enclosing quotes are not part of it.
QString valueAsRead(const QString &value)
{
    QByteArray v = value.toUtf8().trimmed();
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return decodedUtf8(v);
}

// Whether `after` is `before` with new text put in at one place, replacing at most a part of
// one line: every other line keeps its bytes and its line end.
bool changesOneLine(const QByteArray &before, const QByteArray &after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before.at(prefix) == after.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix
           && before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix))
        ++suffix;
    return !before.mid(prefix, before.size() - suffix - prefix).contains('\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    FUZZ_CHECK(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("velquor_kiv.ini"));

    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype nul = input.indexOf('\0');
    const QList<QByteArray> names = nul < 0 ? QList<QByteArray>() : input.left(nul).split('\t');
    auto name = [&names](int i, const char *fallback) {
        if (i >= names.size())
            return QString::fromLatin1(fallback);
        return decodedUtf8(names.at(i));
    };
    const QString section = name(0, "data");
    const QString key = name(1, "HGDETAIL");
    const QString value = name(2, "Y");
    const QString otherKey = name(3, "HGtype");
    const QByteArray content = nul < 0 ? input : input.mid(nul + 1);
    writeAll(path, content);

    // The default tells a missing key from one with an empty value.
    const QString missing = QStringLiteral("\x01missing\x01");
    const QString otherBefore = runtime::profileString(path, section, otherKey, missing);

    const int written = runtime::setProfileString(path, section, key, value);
    FUZZ_CHECK(written == 1 || written == -1);
    if (written == -1) {
        // A refused write leaves the file as it was.
        FUZZ_CHECK(readAll(path) == content);
        return 0;
    }
    const QByteArray after = readAll(path);
    FUZZ_CHECK(runtime::profileString(path, section, key, missing) == valueAsRead(value));
    // Other keys of the section keep their values.
    if (otherKey.trimmed().compare(key.trimmed(), Qt::CaseInsensitive) != 0)
        FUZZ_CHECK(runtime::profileString(path, section, otherKey, missing) == otherBefore);
    FUZZ_CHECK(changesOneLine(content, after));

    // Writing the same value again changes nothing.
    FUZZ_CHECK(runtime::setProfileString(path, section, key, value) == 1);
    FUZZ_CHECK(readAll(path) == after);
    return 0;
}
