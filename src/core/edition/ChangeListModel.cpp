#include "core/edition/ChangeListModel.h"

#include "core/edition/ChangeReport.h"

namespace edition {

ChangeListModel::ChangeListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ChangeListModel::setChanges(const QVector<Change> &changes)
{
    m_all = changes;
    refilter();
}

void ChangeListModel::setKind(std::optional<ChangeKind> kind)
{
    m_kind = kind;
    refilter();
}

void ChangeListModel::refilter()
{
    beginResetModel();
    m_shown.clear();
    for (const Change &change : std::as_const(m_all)) {
        if (!m_kind || change.kind == *m_kind)
            m_shown.append(change);
    }
    endResetModel();
}

int ChangeListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int ChangeListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ChangeListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return QVariant();
    const Change &c = m_shown.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case Code:
            return c.code;
        case List:
            return listLabel(c.list);
        case Kind:
            return kindLabel(c.kind);
        case FieldName:
            return ChangeReport::fieldText(c);
        case Before:
            return c.before;
        case After:
            return c.after;
        case Note:
            return ChangeReport::noteText(c);
        default:
            return QVariant();
        }
    }
    return QVariant();
}

QVariant ChangeListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char16_t *const names[ColumnCount] = {u"编码", u"编码表", u"类别", u"字段", u"原值", u"新值", u"备注"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf16(names[section]) : QVariant();
}

} // namespace edition
