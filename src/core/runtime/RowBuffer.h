#pragma once

#include "core/runtime/ColumnStore.h"

#include <QBitArray>
#include <QHash>
#include <QObject>
#include <QVariant>
#include <QVector>

#include <memory>

namespace runtime {

class ColumnTextIndex;

// The rows of one or more data views (views that share data hold the same buffer) with
// their change flags. Rows and columns are 0-based here; the views number them from 1.
// An item that is changed keeps the value it had when the rows were loaded (or when the
// flags were last reset), which an update needs to find the row by its original key.
class RowBuffer : public QObject
{
    Q_OBJECT
public:
    explicit RowBuffer(int columnCount, QObject *parent = nullptr);

    int columnCount() const { return m_columnCount; }
    int rowCount() const { return m_store.rowCount(); }

    // Replaces every row; each row is cut or padded with nulls to the column count and
    // every flag is cleared. Emits rowsReset().
    void setRows(QVector<QVector<QVariant>> rows);
    void setStore(ColumnStore store); // rows of the buffer's column count
    void clear();

    // The rows as they are now: a copy that shares the columns, cheap to take.
    const ColumnStore &store() const { return m_store; }
    QVector<QVariant> row(int row) const { return m_store.row(row); }
    QVariant value(int row, int column) const { return m_store.value(row, column); }

    // Stores a value and flags the item (and so its row) as modified. Emits itemChanged().
    void setValue(int row, int column, const QVariant &value);
    // The same for many cells of one column at once (see ColumnStore::setValues); emits
    // itemChanged() for each.
    void setValues(int column, const QVector<int> &rows, const QVector<QVariant> &values);

    bool isModified(int row, int column) const;
    bool isRowModified(int row) const;
    int modifiedRowCount() const { return m_modifiedRows; }
    // The columns changed in a row, in column order.
    QVector<int> modifiedColumns(int row) const;
    // The value before the changes: the current value when the item is not modified.
    QVariant originalValue(int row, int column) const;

    // The current values become the original ones and every flag is cleared.
    void resetFlags();

    // Puts the rows in a new order: order[newIndex] = oldIndex, a permutation of all rows.
    // Each row keeps its flags and original values. Emits rowsReordered().
    bool reorder(const QVector<int> &order);

    // The rows of a column grouped by text, built on first use and kept until the rows or
    // that column change.
    const ColumnTextIndex &textIndex(int column) const;

    // A number that changes whenever a value or the order of the rows changes, unique among
    // all buffers: equal versions mean the same rows with the same values.
    quint64 version() const { return m_version; }

signals:
    void rowsReset();
    void rowsReordered(const QVector<int> &order);
    void itemChanged(int row, int column);

private:
    // Flags a row of a column (and so the row) as modified.
    void flag(int row, QBitArray &columnRows);
    QBitArray &modifiedRowsOf(int column);

    int m_columnCount;
    ColumnStore m_store;
    // The values as loaded or last reset. It shares each column with m_store until that column
    // changes, so the originals of a column cost memory only once it has changes.
    ColumnStore m_original;
    QHash<int, QBitArray> m_modified; // by column: its changed rows
    QBitArray m_rowModified;          // the rows with any change
    int m_modifiedRows = 0;
    quint64 m_version = 0;
    mutable QHash<int, std::shared_ptr<const ColumnTextIndex>> m_textIndexes;
};

} // namespace runtime
