#include "core/quicksearch/DictionaryFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace quicksearch {

QList<DictionaryLine> DictionaryFile::read(const QString &path, QStringList *problems)
{
    const QString fileName = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.exists()) {
        problems->append(QStringLiteral("找不到搜索词典 %1。").arg(fileName));
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        problems->append(QStringLiteral("无法读取搜索词典 %1：%2").arg(fileName, file.errorString()));
        return {};
    }
    return parse(file.readAll(), fileName, problems);
}

QList<DictionaryLine> DictionaryFile::parse(const QByteArray &bytes, const QString &fileName, QStringList *problems)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        problems->append(QStringLiteral("搜索词典 %1 不是 UTF-8 编码的文本，未使用。").arg(fileName));
        return {};
    }
    QList<DictionaryLine> lines;
    int number = 0;
    for (QStringView line : QStringView(text).split(u'\n')) {
        ++number;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (number == 1 && line.startsWith(QChar(0xFEFF)))
            line = line.mid(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        lines.append({number, line.toString()});
    }
    if (lines.isEmpty())
        problems->append(QStringLiteral("搜索词典 %1 是空的，未使用。").arg(fileName));
    return lines;
}

QString DictionaryFile::lineProblem(const QString &fileName, int line, const QString &what)
{
    return QStringLiteral("搜索词典 %1 第 %2 行：%3").arg(fileName).arg(line).arg(what);
}

} // namespace quicksearch
