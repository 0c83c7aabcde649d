#pragma once

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
    int rowCount() const { return int(m_rows.size()); }

    // Replaces every row; each row is cut or padded with nulls to the column count and
    // every flag is cleared. Emits rowsReset().
    void setRows(QVector<QVector<QVariant>> rows);
    void clear();

    const QVector<QVector<QVariant>> &rows() const { return m_rows; }
    const QVector<QVariant> &row(int row) const { return m_rows.at(row); }
    const QVariant &value(int row, int column) const { return m_rows.at(row).at(column); }

    // Stores a value and flags the item (and so its row) as modified. Emits itemChanged().
    void setValue(int row, int column, const QVariant &value);

    bool isModified(int row, int column) const;
    bool isRowModified(int row) const { return !m_changes.at(row).isEmpty(); }
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
    struct Change {
        int column;
        QVariant original;
    };
    using RowChanges = QVector<Change>;

    int m_columnCount;
    QVector<QVector<QVariant>> m_rows;
    QVector<RowChanges> m_changes; // parallel to m_rows; empty = row not modified
    int m_modifiedRows = 0;
    quint64 m_version = 0;
    mutable QHash<int, std::shared_ptr<const ColumnTextIndex>> m_textIndexes;
};

} // namespace runtime
