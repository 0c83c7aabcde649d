#include "core/runtime/RowBuffer.h"

#include "core/runtime/ColumnTextIndex.h"

#include <algorithm>
#include <atomic>

namespace runtime {

namespace {
quint64 nextVersion()
{
    static std::atomic<quint64> last{0};
    return ++last;
}
} // namespace

RowBuffer::RowBuffer(int columnCount, QObject *parent)
    : QObject(parent), m_columnCount(std::max(0, columnCount)), m_version(nextVersion())
{
}

void RowBuffer::setRows(QVector<QVector<QVariant>> rows)
{
    m_store = ColumnStore(std::move(rows), m_columnCount);
    m_changes.clear();
    m_textIndexes.clear();
    m_version = nextVersion();
    emit rowsReset();
}

void RowBuffer::clear()
{
    setRows({});
}

void RowBuffer::setValue(int row, int column, const QVariant &value)
{
    RowChanges &changes = m_changes[row];
    const auto pos = std::lower_bound(changes.begin(), changes.end(), column,
                                      [](const Change &c, int col) { return c.column < col; });
    if (pos == changes.end() || pos->column != column)
        changes.insert(pos, Change{column, m_store.value(row, column)});
    m_store.setValue(row, column, value);
    m_textIndexes.remove(column);
    m_version = nextVersion();
    emit itemChanged(row, column);
}

bool RowBuffer::isModified(int row, int column) const
{
    const auto it = m_changes.constFind(row);
    return it != m_changes.cend()
           && std::any_of(it->cbegin(), it->cend(), [column](const Change &c) { return c.column == column; });
}

QVector<int> RowBuffer::modifiedColumns(int row) const
{
    QVector<int> columns;
    for (const Change &c : m_changes.value(row))
        columns.append(c.column);
    return columns;
}

QVariant RowBuffer::originalValue(int row, int column) const
{
    for (const Change &c : m_changes.value(row)) {
        if (c.column == column)
            return c.original;
    }
    return m_store.value(row, column);
}

void RowBuffer::resetFlags()
{
    m_changes.clear();
}

bool RowBuffer::reorder(const QVector<int> &order)
{
    const int n = rowCount();
    if (order.size() != n)
        return false;
    QVector<bool> seen(n, false);
    for (int old : order) {
        if (old < 0 || old >= n || seen[old])
            return false;
        seen[old] = true;
    }
    QHash<int, RowChanges> changes;
    for (int row = 0; row < n && changes.size() < m_changes.size(); ++row) {
        const auto it = m_changes.find(order[row]);
        if (it != m_changes.end())
            changes.insert(row, std::move(*it));
    }
    m_store = m_store.permuted(order);
    m_changes = std::move(changes);
    m_textIndexes.clear();
    m_version = nextVersion();
    emit rowsReordered(order);
    return true;
}

const ColumnTextIndex &RowBuffer::textIndex(int column) const
{
    std::shared_ptr<const ColumnTextIndex> &index = m_textIndexes[column];
    if (!index)
        index = std::make_shared<const ColumnTextIndex>(m_store.column(column));
    return *index;
}

} // namespace runtime
