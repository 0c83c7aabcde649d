#include "core/quicksearch/IndexRow.h"

namespace quicksearch {

QString codeListKey(CodeList list)
{
    return list == CodeList::Customs ? QStringLiteral("hs") : QStringLiteral("jmw");
}

QString codeListLabel(CodeList list)
{
    return list == CodeList::Customs ? QStringLiteral("海关") : QStringLiteral("外经贸");
}

std::optional<CodeList> codeListFromKey(const QString &key)
{
    if (key.compare(QLatin1String("hs"), Qt::CaseInsensitive) == 0)
        return CodeList::Customs;
    if (key.compare(QLatin1String("jmw"), Qt::CaseInsensitive) == 0)
        return CodeList::ForeignTrade;
    return std::nullopt;
}

} // namespace quicksearch
