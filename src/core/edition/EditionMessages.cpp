#include "core/edition/EditionMessages.h"

#include <QStringList>

namespace edition {

namespace {

QString listName(CodeList list)
{
    return list == CodeList::Customs ? QStringLiteral("海关商品编码表") : QStringLiteral("外经贸商品编码表");
}

} // namespace

QString EditionMessages::editionLine(CodeList list, const EditionStamp &before, const EditionStamp &after)
{
    return QStringLiteral("%1：%2 → %3").arg(listName(list), before.text(), after.text());
}

QString EditionMessages::olderQuestion(CodeList list, const EditionStamp &file, const EditionStamp &current)
{
    return QStringLiteral("要应用的%1版本 %2 比数据库中的当前版本 %3 旧。\n"
                          "应用后将退回到这个旧版本（之后可用“恢复上一版本”撤销）。\n仍要应用吗？")
        .arg(listName(list), file.text(), current.text());
}

QString EditionMessages::applied(const QString &fileName, CodeList list, const EditionStamp &before,
                                 const EditionStamp &after, const QString &summary)
{
    return QStringLiteral("已应用“%1”。\n%2\n%3").arg(fileName, editionLine(list, before, after), summary);
}

QString EditionMessages::restored(CodeList list, const EditionStamp &customsBefore, const EditionStamp &customsAfter,
                                  const EditionStamp &tradeBefore, const EditionStamp &tradeAfter,
                                  const QString &summary)
{
    QStringList lines{QStringLiteral("已恢复上一版本。")};
    const bool customs = customsBefore.name != customsAfter.name || customsBefore.date != customsAfter.date;
    const bool trade = tradeBefore.name != tradeAfter.name || tradeBefore.date != tradeAfter.date;
    if (customs || (!trade && list == CodeList::Customs))
        lines.append(editionLine(CodeList::Customs, customsBefore, customsAfter));
    if (trade || (!customs && list == CodeList::ForeignTrade))
        lines.append(editionLine(CodeList::ForeignTrade, tradeBefore, tradeAfter));
    lines.append(summary);
    return lines.join(u'\n');
}

} // namespace edition
