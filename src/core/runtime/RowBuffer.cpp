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
    setStore(ColumnStore(std::move(rows), m_columnCount));
}

void RowBuffer::setStore(ColumnStore store)
{
    m_store = std::move(store);
    resetFlags();
    m_textIndexes.clear();
    m_version = nextVersion();
    emit rowsReset();
}

void RowBuffer::clear()
{
    setRows({});
}

void RowBuffer::flag(int row, QBitArray &columnRows)
{
    if (columnRows.testBit(row))
        return;
    columnRows.setBit(row);
    if (!m_rowModified.testBit(row)) {
        m_rowModified.setBit(row);
        ++m_modifiedRows;
    }
}

QBitArray &RowBuffer::modifiedRowsOf(int column)
{
    QBitArray &rows = m_modified[column];
    if (rows.isEmpty())
        rows.resize(rowCount());
    return rows;
}

void RowBuffer::setValue(int row, int column, const QVariant &value)
{
    flag(row, modifiedRowsOf(column));
    // The originals keep the column as it was: the store changes a copy of it.
    m_store.setValue(row, column, value);
    m_textIndexes.remove(column);
    m_version = nextVersion();
    emit itemChanged(row, column);
}

void RowBuffer::setValues(int column, const QVector<int> &rows, const QVector<QVariant> &values)
{
    QBitArray &flags = modifiedRowsOf(column);
    for (int row : rows)
        flag(row, flags);
    m_store.setValues(column, rows, values);
    m_textIndexes.remove(column);
    m_version = nextVersion();
    for (int row : rows)
        emit itemChanged(row, column);
}

bool RowBuffer::isModified(int row, int column) const
{
    const auto it = m_modified.constFind(column);
    return it != m_modified.cend() && row >= 0 && row < it->size() && it->testBit(row);
}

bool RowBuffer::isRowModified(int row) const
{
    return m_modifiedRows > 0 && row >= 0 && row < m_rowModified.size() && m_rowModified.testBit(row);
}

QVector<int> RowBuffer::modifiedColumns(int row) const
{
    QVector<int> columns;
    if (!isRowModified(row))
        return columns;
    for (auto it = m_modified.cbegin(); it != m_modified.cend(); ++it)
        if (it->testBit(row))
            columns.append(it.key());
    std::sort(columns.begin(), columns.end());
    return columns;
}

QVariant RowBuffer::originalValue(int row, int column) const
{
    return isModified(row, column) ? m_original.value(row, column) : m_store.value(row, column);
}

void RowBuffer::resetFlags()
{
    m_original = m_store; // shares every column until one changes
    m_modified.clear();
    m_rowModified = QBitArray(rowCount());
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
    auto permutedBits = [&order](const QBitArray &bits) {
        QBitArray reordered(bits.size());
        for (int row = 0; row < order.size(); ++row)
            if (bits.testBit(order[row]))
                reordered.setBit(row);
        return reordered;
    };
    m_store = m_store.permuted(order);
    // The originals follow the rows: an unchanged column is the store's own again.
    ColumnStore original = m_store;
    for (auto it = m_modified.begin(); it != m_modified.end(); ++it) {
        original.setColumn(it.key(), m_original, order);
        *it = permutedBits(*it);
    }
    m_original = std::move(original);
    if (m_modifiedRows > 0)
        m_rowModified = permutedBits(m_rowModified);
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
