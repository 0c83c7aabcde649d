#include "core/edition/SourceText.h"

#include <QFile>

#include <sys/stat.h>

namespace edition {

QString ReadError::text() const
{
    return line > 0 ? QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message)
                    : QStringLiteral("%1: %2").arg(file, message);
}

namespace {

struct FileState {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
};

FileState stateOf(const QString &path)
{
    FileState s;
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.modified = st.st_mtim;
    return s;
}

bool same(const FileState &a, const FileState &b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modified.tv_sec == b.modified.tv_sec
           && a.modified.tv_nsec == b.modified.tv_nsec;
}

bool fail(ReadError *error, Problem problem, const QString &file, int line, const QString &message)
{
    *error = {problem, file, line, message};
    return false;
}

int lineOfOffset(const QByteArray &bytes, qsizetype offset)
{
    return int(bytes.first(offset).count('\n')) + 1;
}

// Length of the UTF-8 sequence that starts at bytes[i], or 0 when it is not valid there:
// no overlong forms, no surrogates, nothing beyond U+10FFFF (as Python's strict decoder).
int sequenceLength(const unsigned char *p, qsizetype left)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    int n;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0)
            lo = 0xA0;
        else if (c == 0xED)
            hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0)
            lo = 0x90;
        else if (c == 0xF4)
            hi = 0x8F;
    } else
        return 0;
    if (left < n || p[1] < lo || p[1] > hi)
        return 0;
    for (int k = 2; k < n; ++k) {
        if (p[k] < 0x80 || p[k] > 0xBF)
            return 0;
    }
    return n;
}

} // namespace

qsizetype SourceText::firstInvalidUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const int n = sequenceLength(p + i, size - i);
        if (n == 0)
            return i;
        i += n;
    }
    return -1;
}

bool SourceText::looksLikeGbk(const QByteArray &bytes)
{
    // A GBK file has no UTF-8 before its first byte beyond ASCII, and all those bytes pair
    // up; a UTF-8 file with one damaged byte has good UTF-8 before the damage.
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype first = 0;
    while (first < size && p[first] < 0x80)
        ++first;
    if (first == size || firstInvalidUtf8(bytes) != first)
        return false;
    for (qsizetype i = first; i < size; ++i) {
        if (p[i] < 0x80)
            continue;
        if (p[i] == 0x80 || p[i] == 0xFF || i + 1 >= size || p[i + 1] < 0x40 || p[i + 1] == 0x7F || p[i + 1] == 0xFF)
            return false;
        ++i;
    }
    return true;
}

bool SourceText::decode(const QByteArray &bytes, QString *text, ReadError *error)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        return fail(error, Problem::Binary, QString(), lineOfOffset(bytes, nul),
                    QStringLiteral("含有零字节，不是文本文件（CSV）"));
    const qsizetype bad = firstInvalidUtf8(bytes);
    if (bad >= 0) {
        // Reading GBK as well would mean guessing: a damaged UTF-8 file can pass for GBK, and
        // a wrong guess puts wrong names into the database. Saying what to do is safer.
        const QString hint = looksLikeGbk(bytes)
            ? QStringLiteral("，看来是 GBK 编码（Excel 常这样保存）：请在 Excel 中另存为“CSV UTF-8”后再导入")
            : QString();
        return fail(error, Problem::NotUtf8, QString(), lineOfOffset(bytes, bad),
                    QStringLiteral("不是有效的 UTF-8 编码（文件第 %1 字节）%2").arg(bad).arg(hint));
    }
    *text = QString::fromUtf8(bytes);
    if (text->startsWith(QChar(0xFEFF)))
        text->remove(0, 1);
    return true;
}

bool SourceText::read(const QString &path, QString *text, ReadError *error, const Progress &progress, int from,
                      int to)
{
    const FileState before = stateOf(path);
    if (!before.exists)
        return fail(error, Problem::FileMissing, path, 0, QStringLiteral("文件不存在"));
    if (before.size > kMaxBytes)
        return fail(error, Problem::TooLarge, path, 0,
                    QStringLiteral("文件太大（%1 MB），商品编码表不超过 %2 MB")
                        .arg(before.size / (1024 * 1024))
                        .arg(kMaxBytes / (1024 * 1024)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, Problem::Unreadable, path, 0, QStringLiteral("无法读取：%1").arg(file.errorString()));
    QByteArray bytes;
    bytes.reserve(qsizetype(before.size));
    constexpr qint64 kChunk = 1024 * 1024;
    for (;;) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                return fail(error, Problem::Unreadable, path, 0, QStringLiteral("无法读取：%1").arg(file.errorString()));
            break;
        }
        bytes.append(chunk);
        if (bytes.size() > kMaxBytes)
            return fail(error, Problem::Changed, path, 0, QStringLiteral("文件在读取时被改动"));
        const qint64 share = before.size > 0 ? std::min<qint64>(bytes.size(), before.size) * (to - from) / before.size
                                             : 0;
        if (progress && !progress(from + int(share)))
            return fail(error, Problem::Canceled, path, 0, QStringLiteral("已取消"));
    }
    file.close();
    // Another program writing the file (Excel saving it again, a copy still running) would
    // leave a mix of two versions: the same file, size and time before and after, or nothing.
    const FileState after = stateOf(path);
    if (!after.exists)
        return fail(error, Problem::Disappeared, path, 0, QStringLiteral("文件在读取时被删除或移走"));
    if (!same(before, after) || bytes.size() != before.size)
        return fail(error, Problem::Changed, path, 0, QStringLiteral("文件在读取时被改动，请等它写完后再导入"));
    if (bytes.isEmpty())
        return fail(error, Problem::Empty, path, 0, QStringLiteral("空文件（没有标题行）"));
    if (!decode(bytes, text, error)) {
        error->file = path;
        return false;
    }
    return true;
}

} // namespace edition
