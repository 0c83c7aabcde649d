#include "edition/ChangeReport.h"

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
    return {c.code, kindLabel(c.kind), ChangeReport::fieldText(c), c.before, c.after, ChangeReport::noteText(c)};
}

const QStringList kHeader{QStringLiteral("编码"), QStringLiteral("类别"), QStringLiteral("字段"),
                          QStringLiteral("原值"), QStringLiteral("新值"), QStringLiteral("备注")};

} // namespace

QString ChangeReport::fieldText(const Change &change)
{
    if (change.field >= 0)
        return fieldLabel(Field(change.field));
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
