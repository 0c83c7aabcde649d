#include "core/quicksearch/ResultModel.h"

#include <QPoint>

namespace quicksearch {

ResultModel::ResultModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void ResultModel::setEntries(QList<Entry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

void ResultModel::setAnswer(const SearchIndex &index, const Answer &answer, QList<Entry> first)
{
    QList<Entry> entries = std::move(first);
    entries.reserve(entries.size() + answer.hits.size());
    for (const Hit &hit : answer.hits) {
        if (hit.row < 0 || hit.row >= index.rowCount())
            continue;
        const IndexRow &row = index.row(hit.row);
        if (row.removed) {
            constexpr int kNoteShown = 60;
            const QString note = row.notes.simplified();
            entries.append({row.list, row.code,
                            removedCodeMark() + QStringLiteral(" 备注: ")
                                + (note.size() > kNoteShown ? note.left(kNoteShown) + QStringLiteral("…") : note),
                            {}, true, {}, {}});
            continue;
        }
        entries.append({row.list, row.code, row.name, hit.nameSpans, false, hit.reason, {}});
    }
    setEntries(std::move(entries));
}

const ResultModel::Entry *ResultModel::entry(int row) const
{
    return row >= 0 && row < m_entries.size() ? &m_entries.at(row) : nullptr;
}

int ResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant ResultModel::data(const QModelIndex &index, int role) const
{
    const Entry *e = index.isValid() && !index.parent().isValid() ? entry(index.row()) : nullptr;
    if (!e || index.column() != 0)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
        QString text = (e->partNumber.isEmpty() ? codeListLabel(e->list) : itemGroupLabel()) + QStringLiteral("  ") + e->code + QStringLiteral("  ") + e->name;
        if (!e->reason.isEmpty())
            text += QStringLiteral("  （") + e->reason + QStringLiteral("）");
        return text;
    }
    case Qt::ToolTipRole:
        return e->name;
    case ListRole:
        return int(e->list);
    case CodeRole:
        return e->code;
    case NameRole:
        return e->name;
    case ListNameRole:
        return e->partNumber.isEmpty() ? codeListLabel(e->list) : itemGroupLabel();
    case RemovedRole:
        return e->removed;
    case ReasonRole:
        return e->reason;
    case SpansRole: {
        QVariantList spans;
        for (const Span &s : e->spans)
            spans.append(QPoint(s.start, s.length));
        return spans;
    }
    default:
        return {};
    }
}

} // namespace quicksearch
