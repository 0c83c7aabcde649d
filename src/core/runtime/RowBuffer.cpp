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
    for (QVector<QVariant> &row : rows) {
        if (row.size() != m_columnCount)
            row.resize(m_columnCount);
    }
    m_rows = std::move(rows);
    m_changes = QVector<RowChanges>(m_rows.size());
    m_modifiedRows = 0;
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
    QVariant &item = m_rows[row][column];
    RowChanges &changes = m_changes[row];
    const auto it = std::find_if(changes.cbegin(), changes.cend(),
                                 [column](const Change &c) { return c.column == column; });
    if (it == changes.cend()) {
        if (changes.isEmpty())
            ++m_modifiedRows;
        const auto pos = std::lower_bound(changes.begin(), changes.end(), column,
                                          [](const Change &c, int col) { return c.column < col; });
        changes.insert(pos, Change{column, item});
    }
    item = value;
    m_textIndexes.remove(column);
    m_version = nextVersion();
    emit itemChanged(row, column);
}

bool RowBuffer::isModified(int row, int column) const
{
    const RowChanges &changes = m_changes.at(row);
    return std::any_of(changes.cbegin(), changes.cend(),
                       [column](const Change &c) { return c.column == column; });
}

QVector<int> RowBuffer::modifiedColumns(int row) const
{
    QVector<int> columns;
    for (const Change &c : m_changes.at(row))
        columns.append(c.column);
    return columns;
}

QVariant RowBuffer::originalValue(int row, int column) const
{
    for (const Change &c : m_changes.at(row)) {
        if (c.column == column)
            return c.original;
    }
    return m_rows.at(row).at(column);
}

void RowBuffer::resetFlags()
{
    if (m_modifiedRows == 0)
        return;
    for (RowChanges &changes : m_changes)
        changes.clear();
    m_modifiedRows = 0;
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
    QVector<QVector<QVariant>> rows;
    QVector<RowChanges> changes;
    rows.reserve(n);
    changes.reserve(n);
    for (int old : order) {
        rows.append(std::move(m_rows[old]));
        changes.append(std::move(m_changes[old]));
    }
    m_rows = std::move(rows);
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
        index = std::make_shared<const ColumnTextIndex>(m_rows, column);
    return *index;
}

} // namespace runtime
