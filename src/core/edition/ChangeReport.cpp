#include "core/edition/ChangeReport.h"

namespace edition {

namespace {

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QStringList cells(const Change &c)
{
    return {c.code,   listLabel(c.list), kindLabel(c.kind), ChangeReport::fieldText(c),
            c.before, c.after,           ChangeReport::noteText(c)};
}

const QStringList kHeader{QStringLiteral("编码"), QStringLiteral("编码表"), QStringLiteral("类别"), QStringLiteral("字段"),
                          QStringLiteral("原值"), QStringLiteral("新值"), QStringLiteral("备注")};

} // namespace

QString ChangeReport::fieldText(const Change &change)
{
    if (change.field >= 0)
        return fieldLabel(Field(change.field));
    if (change.kind == ChangeKind::Machinery)
        return QStringLiteral("机电标志");
    return change.kind == ChangeKind::Chapter ? QStringLiteral("新章") : QStringLiteral("整行");
}

QString ChangeReport::noteText(const Change &change)
{
    if (!change.noted)
        return QString();
    return change.kind == ChangeKind::Removed ? QStringLiteral("有用户备注（保留，属于已删除的编码）")
                                              : QStringLiteral("有用户备注");
}

QString ChangeReport::summary(const EditionComparison &c)
{
    if (c.list == CodeList::ForeignTrade)
        return tradeSummary(c);
    QStringList lines;
    lines.append(QStringLiteral("新增 %1 个编码，删除 %2 个，名称变更 %3 个，税率变更 %4 个，单位变更 %5 个，"
                                "监管条件变更 %6 个，检验检疫变更 %7 个，申报要素变更 %8 个。")
                     .arg(c.count(ChangeKind::Added))
                     .arg(c.count(ChangeKind::Removed))
                     .arg(c.count(ChangeKind::Renamed))
                     .arg(c.count(ChangeKind::Rate))
                     .arg(c.count(ChangeKind::Unit))
                     .arg(c.count(ChangeKind::Supervision))
                     .arg(c.count(ChangeKind::Inspection))
                     .arg(c.count(ChangeKind::Elements)));
    int headingNames = 0;
    for (const Change &change : c.changes)
        headingNames += change.kind == ChangeKind::Renamed && change.code.size() < 10 ? 1 : 0;
    if (headingNames > 0)
        lines.append(QStringLiteral("其中品目和子目的中文名称新增或变更 %1 个（取代英文名称显示）。").arg(headingNames));
    if (!c.removedWithNotes.isEmpty())
        lines.append(QStringLiteral("删除的编码中有 %1 个带有用户备注（备注保留，标为已删除编码的备注）：%2")
                         .arg(c.removedWithNotes.size())
                         .arg(c.removedWithNotes.join(QStringLiteral(", "))));
    if (!c.newChapters.isEmpty())
        lines.append(QStringLiteral("新增章：%1").arg(c.newChapters.join(QStringLiteral(", "))));
    if (!c.unnamedChapters.isEmpty())
        lines.append(QStringLiteral("注意：新章 %1 没有名称（可同时选择章节文件），将显示为“%2”。")
                         .arg(c.unnamedChapters.join(QStringLiteral(", ")), EditionComparison::unknownChapterName()));
    if (!c.extraColumns.isEmpty())
        lines.append(QStringLiteral("未读取的列：%1").arg(c.extraColumns.join(QStringLiteral(", "))));
    if (c.isEmpty())
        lines.append(QStringLiteral("与数据库中的编码表相同。"));
    return lines.join(u'\n');
}

QString ChangeReport::tradeSummary(const EditionComparison &c)
{
    QStringList lines;
    lines.append(QStringLiteral("外经贸商品编码：新增 %1 个编码，删除 %2 个，名称变更 %3 个，机电标志变更 %4 个。")
                     .arg(c.count(CodeList::ForeignTrade, ChangeKind::Added))
                     .arg(c.count(CodeList::ForeignTrade, ChangeKind::Removed))
                     .arg(c.count(CodeList::ForeignTrade, ChangeKind::Renamed))
                     .arg(c.count(CodeList::ForeignTrade, ChangeKind::Machinery)));
    lines.append(QStringLiteral("海关商品编码的品目和子目：新增 %1 个，删除 %2 个，名称变更 %3 个。")
                     .arg(c.count(CodeList::Customs, ChangeKind::Added))
                     .arg(c.count(CodeList::Customs, ChangeKind::Removed))
                     .arg(c.count(CodeList::Customs, ChangeKind::Renamed)));
    const std::pair<CodeList, const QStringList *> noted[] = {{CodeList::ForeignTrade, &c.tradeRemovedWithNotes},
                                                              {CodeList::Customs, &c.removedWithNotes}};
    for (const auto &[list, codes] : noted) {
        if (!codes->isEmpty())
            lines.append(QStringLiteral("删除的%1编码中有 %2 个带有用户备注（备注保留，标为已删除编码的备注）：%3")
                             .arg(listLabel(list))
                             .arg(codes->size())
                             .arg(codes->join(QStringLiteral(", "))));
    }
    if (!c.newChapters.isEmpty())
        lines.append(QStringLiteral("外经贸新增章：%1").arg(c.newChapters.join(QStringLiteral(", "))));
    if (!c.unnamedChapters.isEmpty())
        lines.append(QStringLiteral("注意：新章 %1 在海关商品编码中没有章名，将显示为“%2”（可先导入带章节文件的海关商品编码表）。")
                         .arg(c.unnamedChapters.join(QStringLiteral(", ")), EditionComparison::unknownChapterName()));
    if (!c.chineseNamesToCheck.isEmpty())
        lines.append(QStringLiteral("请核对中文名称：%1 个品目或子目的英文名称已变更，其中文名称保留不变：%2")
                         .arg(c.chineseNamesToCheck.size())
                         .arg(c.chineseNamesToCheck.join(QStringLiteral(", "))));
    if (!c.chineseNamesDropped.isEmpty())
        lines.append(QStringLiteral("删除的品目和子目中有 %1 个带有中文名称，中文名称随之删除：%2")
                         .arg(c.chineseNamesDropped.size())
                         .arg(c.chineseNamesDropped.join(QStringLiteral(", "))));
    constexpr int kShown = 10;
    const auto someOf = [](const QStringList &codes) {
        return codes.mid(0, kShown).join(QStringLiteral(", ")) + (codes.size() > kShown ? QStringLiteral(" 等") : QString());
    };
    if (!c.linesWithoutSubheading.isEmpty())
        lines.append(QStringLiteral("注意：%1 个海关 10 位编码的子目被删除，这些编码保留，显示在其品目之下：%2")
                         .arg(c.linesWithoutSubheading.size())
                         .arg(someOf(c.linesWithoutSubheading)));
    if (!c.linesUnderChapter.isEmpty())
        lines.append(QStringLiteral("注意：%1 个海关 10 位编码的品目和子目都被删除，这些编码保留，显示在其章之下：%2")
                         .arg(c.linesUnderChapter.size())
                         .arg(someOf(c.linesUnderChapter)));
    if (!c.extraColumns.isEmpty())
        lines.append(QStringLiteral("未读取的列：%1").arg(c.extraColumns.join(QStringLiteral(", "))));
    if (c.isEmpty())
        lines.append(QStringLiteral("与数据库中的编码表相同。"));
    return lines.join(u'\n');
}

QByteArray ChangeReport::toCsv(const QVector<Change> &changes)
{
    QString out = QChar(0xFEFF);
    auto add = [&out](const QStringList &row) {
        QStringList quoted;
        for (const QString &cell : row)
            quoted.append(csvField(cell));
        out += quoted.join(u',') + QStringLiteral("\r\n");
    };
    add(kHeader);
    for (const Change &change : changes)
        add(cells(change));
    return out.toUtf8();
}

QByteArray ChangeReport::toText(const QVector<Change> &changes)
{
    QString out = kHeader.join(u'\t') + u'\n';
    for (const Change &change : changes) {
        QStringList row = cells(change);
        // A tab or a line end inside a value would break the columns.
        for (QString &cell : row)
            cell.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
        out += row.join(u'\t') + u'\n';
    }
    return out.toUtf8();
}

} // namespace edition
