#include "core/runtime/ColumnStore.h"

#include "core/runtime/StoredColumn.h"

#include <QtConcurrent>

#include <numeric>

namespace runtime {

ColumnStore::ColumnStore(QVector<QVector<QVariant>> rows, int columnCount) : m_rowCount(int(rows.size()))
{
    // Each column is taken out of the rows and given its form on its own, side by side.
    QVector<QVariant *> cells(rows.size());
    QVector<int> widths(rows.size());
    for (qsizetype r = 0; r < rows.size(); ++r) {
        cells[r] = rows[r].data(); // detached here, before the columns are taken in parallel
        widths[r] = int(rows[r].size());
    }
    m_columns.resize(columnCount);
    QVector<int> indexes(columnCount);
    std::iota(indexes.begin(), indexes.end(), 0);
    QtConcurrent::blockingMap(indexes, [&](int c) {
        QVector<QVariant> values(cells.size());
        for (qsizetype r = 0; r < cells.size(); ++r)
            if (c < widths[r])
                values[r] = std::move(cells[r][c]);
        m_columns[c] = std::shared_ptr<StoredColumn>(StoredColumn::fromValues(std::move(values)));
    });
}

ColumnStore::ColumnStore(QVector<std::shared_ptr<StoredColumn>> columns, int rowCount)
    : m_columns(std::move(columns)), m_rowCount(rowCount)
{
}

QVariant ColumnStore::value(int row, int column) const
{
    return m_columns.at(column)->value(row);
}

bool ColumnStore::viewText(int row, int column, QStringView *text) const
{
    return m_columns.at(column)->viewText(row, text);
}

QVector<QVariant> ColumnStore::row(int row) const
{
    QVector<QVariant> values;
    values.reserve(m_columns.size());
    for (const auto &column : m_columns)
        values.append(column->value(row));
    return values;
}

QVector<QVariant> ColumnStore::column(int column) const
{
    return m_columns.at(column)->values();
}

void ColumnStore::setValue(int row, int column, const QVariant &value)
{
    std::shared_ptr<StoredColumn> &stored = m_columns[column];
    if (stored.use_count() > 1)
        stored = std::shared_ptr<StoredColumn>(stored->clone()); // a copy keeps the old one
    if (stored->setValue(row, value))
        return;
    QVector<QVariant> values = stored->values();
    values[row] = value;
    stored = std::shared_ptr<StoredColumn>(StoredColumn::fromValues(std::move(values)));
}

void ColumnStore::setValues(int column, const QVector<int> &rows, const QVector<QVariant> &values)
{
    constexpr qsizetype kCellByCell = 256;
    if (rows.size() <= kCellByCell) {
        for (qsizetype i = 0; i < rows.size(); ++i)
            setValue(rows[i], column, values[i]);
        return;
    }
    QVector<QVariant> all = m_columns[column]->values();
    for (qsizetype i = 0; i < rows.size(); ++i)
        all[rows[i]] = values[i];
    m_columns[column] = std::shared_ptr<StoredColumn>(StoredColumn::fromValues(std::move(all)));
}

void ColumnStore::setColumn(int column, const ColumnStore &other, const QVector<int> &order)
{
    m_columns[column] = std::shared_ptr<StoredColumn>(other.m_columns.at(column)->permuted(order));
}

ColumnStore ColumnStore::permuted(const QVector<int> &order) const
{
    ColumnStore reordered;
    reordered.m_rowCount = int(order.size());
    reordered.m_columns.reserve(m_columns.size());
    for (const auto &column : m_columns)
        reordered.m_columns.append(std::shared_ptr<StoredColumn>(column->permuted(order)));
    return reordered;
}

qsizetype ColumnStore::bytes() const
{
    qsizetype total = 0;
    for (const auto &column : m_columns)
        total += column->bytes();
    return total;
}

} // namespace runtime
