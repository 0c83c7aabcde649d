#include "core/tariff/ListKind.h"

namespace tariff {

QString listKey(ListKind list)
{
    return list == ListKind::Customs ? QStringLiteral("hs") : QStringLiteral("jmw");
}

QString listLabel(ListKind list)
{
    return list == ListKind::Customs ? QStringLiteral("海关") : QStringLiteral("外经贸");
}

QString listTable(ListKind list)
{
    return list == ListKind::Customs ? QStringLiteral("list_hscode") : QStringLiteral("list_jmwcode");
}

QString listCodeColumn(ListKind list)
{
    return list == ListKind::Customs ? QStringLiteral("code") : QStringLiteral("jmw_code");
}

std::optional<ListKind> listFromKey(const QString &key)
{
    if (key.compare(QLatin1String("hs"), Qt::CaseInsensitive) == 0)
        return ListKind::Customs;
    if (key.compare(QLatin1String("jmw"), Qt::CaseInsensitive) == 0)
        return ListKind::ForeignTrade;
    return std::nullopt;
}

} // namespace tariff
