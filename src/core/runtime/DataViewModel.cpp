#include "core/runtime/DataViewModel.h"

#include "core/runtime/DataView.h"
#include "core/runtime/ItemValues.h"

namespace runtime {

DataViewModel::DataViewModel(DataView *view, QObject *parent)
    : QAbstractTableModel(parent), m_view(view)
{
    if (!view)
        return;
    m_columns = shownColumns();
    m_rows = int(view->rowCount());
    connect(view, &DataView::rowsReset, this, &DataViewModel::onRowsReset);
    connect(view, &DataView::itemChanged, this, &DataViewModel::onItemChanged);
    connect(view, &DataView::attributesChanged, this, &DataViewModel::onAttributesChanged);
    connect(view, &QObject::destroyed, this, &DataViewModel::onViewDestroyed);
}

QVector<int> DataViewModel::shownColumns() const
{
    QVector<int> columns;
    if (!m_view)
        return columns;
    const DataViewDefinition &definition = m_view->definition();
    QStringList names = definition.shownColumns;
    if (names.isEmpty()) {
        for (const ColumnDefinition &c : definition.columns)
            names.append(c.name);
    }
    for (const QString &name : std::as_const(names)) {
        const int index = definition.columnIndex(name);
        if (index < 0 || columns.contains(index))
            continue;
        if (m_view->describe(definition.columns.at(index).name + QStringLiteral(".visible")) == u"0")
            continue;
        columns.append(index);
    }
    return columns;
}

bool DataViewModel::isCell(const QModelIndex &index) const
{
    return index.isValid() && index.model() == this && index.row() < m_rows
        && index.column() < m_columns.size();
}

int DataViewModel::viewColumn(int modelColumn) const
{
    return modelColumn >= 0 && modelColumn < m_columns.size() ? m_columns.at(modelColumn) + 1 : 0;
}

int DataViewModel::modelColumn(const QString &column) const
{
    if (!m_view)
        return -1;
    return int(m_columns.indexOf(m_view->definition().columnIndex(column)));
}

void DataViewModel::setCheckBox(const QString &column, const QString &checkedValue,
                                const QString &uncheckedValue)
{
    if (!m_view)
        return;
    const int index = m_view->definition().columnIndex(column);
    if (index < 0)
        return;
    m_checkBoxes.insert(index, CheckBox{checkedValue, uncheckedValue});
    const int shown = int(m_columns.indexOf(index));
    if (shown >= 0 && m_rows > 0)
        emit dataChanged(this->index(0, shown), this->index(m_rows - 1, shown));
}

bool DataViewModel::isCheckBox(int modelColumn) const
{
    return m_checkBoxes.contains(viewColumn(modelColumn) - 1);
}

void DataViewModel::setColumnEditable(const QString &column, bool editable)
{
    if (!m_view)
        return;
    const int index = m_view->definition().columnIndex(column);
    if (index >= 0)
        m_editable.insert(index, editable);
}

int DataViewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DataViewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataViewModel::data(const QModelIndex &index, int role) const
{
    if (!m_view || !isCell(index))
        return QVariant();
    const long row = index.row() + 1;
    const int column = m_columns.at(index.column());
    if (row > m_view->rowCount())
        return QVariant(); // rows changed while redrawing was off; a reset follows
    const QVariant value = m_view->item(row, column + 1);
    const auto box = m_checkBoxes.constFind(column);
    switch (role) {
    case Qt::DisplayRole:
        if (box != m_checkBoxes.cend())
            return QVariant();
        return itemvalues::toText(value);
    case Qt::EditRole:
        return value;
    case Qt::CheckStateRole:
        if (box == m_checkBoxes.cend())
            return QVariant();
        return itemvalues::toText(value) == box->checked ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        if (m_view->definition().columns.at(column).type != ColumnType::String)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    default:
        return QVariant();
    }
}

bool DataViewModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_view || !isCell(index))
        return false;
    const long row = index.row() + 1;
    const int column = m_columns.at(index.column());
    if (row > m_view->rowCount())
        return false;
    const auto box = m_checkBoxes.constFind(column);
    if (role == Qt::CheckStateRole && box != m_checkBoxes.cend()) {
        const bool checked = value.toInt() == Qt::Checked;
        return m_view->setItem(row, column + 1, checked ? box->checked : box->unchecked) == 1;
    }
    if (role == Qt::EditRole && m_editable.value(column, false))
        return m_view->setItem(row, column + 1, value) == 1;
    return false;
}

QVariant DataViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !m_view)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section >= 0 && section < m_rows ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= m_columns.size())
        return QVariant();
    const QString name = m_view->definition().columns.at(m_columns.at(section)).name;
    const QString text = m_view->describe(name + QStringLiteral("_t.text"));
    return text == u"?" || text == u"!" ? name : text;
}

Qt::ItemFlags DataViewModel::flags(const QModelIndex &index) const
{
    if (!isCell(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    const int column = m_columns.at(index.column());
    if (m_checkBoxes.contains(column))
        result |= Qt::ItemIsUserCheckable;
    else if (m_editable.value(column, false))
        result |= Qt::ItemIsEditable;
    return result;
}

void DataViewModel::onRowsReset()
{
    beginResetModel();
    m_columns = shownColumns();
    m_rows = m_view ? int(m_view->rowCount()) : 0;
    endResetModel();
}

void DataViewModel::onItemChanged(long row, int column)
{
    const int shown = int(m_columns.indexOf(column - 1));
    if (shown < 0 || row < 1 || row > m_rows)
        return;
    const QModelIndex changed = index(int(row - 1), shown);
    emit dataChanged(changed, changed);
}

void DataViewModel::onAttributesChanged()
{
    const QVector<int> columns = shownColumns();
    if (columns != m_columns) {
        beginResetModel();
        m_columns = columns;
        m_rows = m_view ? int(m_view->rowCount()) : 0;
        endResetModel();
    } else if (!m_columns.isEmpty()) {
        emit headerDataChanged(Qt::Horizontal, 0, int(m_columns.size()) - 1);
    }
}

void DataViewModel::onViewDestroyed()
{
    beginResetModel();
    m_columns.clear();
    m_rows = 0;
    m_checkBoxes.clear();
    m_editable.clear();
    endResetModel();
}

} // namespace runtime
