#pragma once

#include <QVariant>
#include <QVector>

#include <memory>

namespace runtime {

class StoredColumn;

// A data view's rows kept by column (see StoredColumn for the forms a column takes). Copies
// are cheap and share their columns; a change clones the one column it touches when a copy
// still shares it, so a copy handed to another thread stays as it was. Rows and columns are
// 0-based.
class ColumnStore
{
public:
    ColumnStore() = default;
    // The rows are consumed; each is cut or padded with nulls to the column count.
    ColumnStore(QVector<QVector<QVariant>> rows, int columnCount);
    // Columns made elsewhere (ColumnStoreBuilder), each of rowCount rows.
    ColumnStore(QVector<std::shared_ptr<StoredColumn>> columns, int rowCount);

    int rowCount() const { return m_rowCount; }
    int columnCount() const { return int(m_columns.size()); }
    QVariant value(int row, int column) const;
    QVector<QVariant> row(int row) const;
    // A non-empty text's characters where this store keeps them (see StoredColumn::viewText):
    // valid while this store, or a copy of it, lives unchanged in that column.
    bool viewText(int row, int column, QStringView *text) const;
    // Every value of a column, in row order.
    QVector<QVariant> column(int column) const;

    void setValue(int row, int column, const QVariant &value);
    // Many cells of one column: rows[i] takes values[i] (a row named twice takes its last
    // value). Past a few hundred cells the column is made anew once from all its values,
    // in the form fromValues gives them, instead of changing its form cell by cell.
    void setValues(int column, const QVector<int> &rows, const QVector<QVariant> &values);
    // The rows in a new order: order[newRow] = oldRow, a permutation of all rows.
    ColumnStore permuted(const QVector<int> &order) const;

    // This store's column becomes the other store's column in a new order (order[newRow] =
    // oldRow); the other store has as many rows and columns.
    void setColumn(int column, const ColumnStore &other, const QVector<int> &order);

    // The heap the columns hold, in bytes (about).
    qsizetype bytes() const;

private:
    QVector<std::shared_ptr<StoredColumn>> m_columns;
    int m_rowCount = 0;
};

} // namespace runtime
