#include "core/edition/EditionReader.h"

#include "core/edition/CodeChecks.h"
#include "core/edition/CustomsEditionReader.h"
#include "core/edition/TradeEditionReader.h"

#include <QFile>

namespace edition {

CodeList EditionReader::detect(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return CodeList::Customs;
    // The header is short; a file that is no CSV at all has no line end for a long way.
    QString header = QString::fromUtf8(file.readLine(4096));
    if (header.startsWith(QChar(0xFEFF)))
        header.remove(0, 1);
    QStringList columns = header.split(u',');
    for (QString &column : columns) {
        column = column.trimmed();
        if (column.size() >= 2 && column.startsWith(u'"') && column.endsWith(u'"'))
            column = column.mid(1, column.size() - 2);
    }
    return columns.contains(QLatin1String("hscode")) && !columns.contains(QLatin1String("code10")) ? CodeList::ForeignTrade
                                                                                                    : CodeList::Customs;
}

bool EditionReader::read(const QString &path, const QString &chaptersPath, std::optional<CodeList> list,
                         EditionFile *file, ReadError *error, const Progress &progress)
{
    if (list.value_or(detect(path)) == CodeList::Customs)
        return CustomsEditionReader::read(path, chaptersPath, file, error, progress);
    // The chapter names of list_jmwcode are those of the customs list: a chapters file
    // brings them with a customs edition.
    if (!chaptersPath.isEmpty())
        return CodeChecks::fail(error, Problem::ChaptersNotUsed, chaptersPath, 0,
                                QStringLiteral("章节文件只用于海关商品编码表；导入外经贸商品编码表时不用章节文件"));
    return TradeEditionReader::read(path, file, error, progress);
}

QString EditionReader::title(CodeList list)
{
    return list == CodeList::ForeignTrade ? QStringLiteral("外经贸商品编码表") : QStringLiteral("海关商品编码表");
}

} // namespace edition
