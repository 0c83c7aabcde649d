#pragma once

#include "core/runtime/ColumnStore.h"
#include "core/runtime/DataViewDefinition.h"
#include "core/runtime/SortCriteria.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVector>

#include <memory>

namespace runtime {

class Transaction;
class RowBuffer;
class FindExpression;

// Change state of a row or of one of its items since the last retrieve or resetUpdate().
enum class ItemStatus { NotModified, DataModified };

// A data view: a definition plus the rows it holds in memory. Rows are numbered from 1,
// columns are addressed by name (without regard to case) or by 1-based number.
// Views that share data (shareData) see the same rows and the same change flags;
// each keeps its own current row, selection and attributes.
class DataView : public QObject
{
    Q_OBJECT
public:
    explicit DataView(QObject *parent = nullptr);
    ~DataView() override;

    void setDefinition(const DataViewDefinition &definition); // drops the rows
    const DataViewDefinition &definition() const { return m_definition; }
    QString dataObject() const { return m_definition.name; }

    // 1-based column number for a name, 0 when there is none.
    int columnNumber(const QString &column) const;
    int columnCount() const;

    // Database access.
    void setTransObject(Transaction *transaction);
    Transaction *transObject() const;
    long retrieve();               // number of rows, or -1 (rows are then empty)
    int update(bool resetFlags = true); // 1, or -1 (nothing of the view's flags changes)
    int resetUpdate();             // clears every change flag; 1

    // Replaces the rows with the given ones, as a retrieve would (flags cleared).
    void loadRows(QVector<QVector<QVariant>> rows);

    long rowCount() const;

    // Items. Out-of-range rows or unknown columns give an invalid QVariant / -1.
    QVariant item(long row, int column) const;
    // A non-empty text item's characters where the rows keep them, valid until the rows change;
    // false for any other item (see ColumnStore::viewText).
    bool viewText(long row, int column, QStringView *text) const;
    QVariant item(long row, const QString &column) const;
    QString itemString(long row, const QString &column) const; // null -> empty string
    double itemNumber(long row, const QString &column) const;  // null -> 0
    bool isNull(long row, const QString &column) const;
    int setItem(long row, int column, const QVariant &value);  // 1 or -1
    int setItem(long row, const QString &column, const QVariant &value);
    // setItem for many rows of one column: rows[i] takes values[i]. 1, or -1 with nothing
    // written when a row, the column or a value is not valid.
    int setItems(int column, const QVector<long> &rows, const QVector<QVariant> &values);
    ItemStatus itemStatus(long row, int column) const;
    ItemStatus rowStatus(long row) const;
    long modifiedCount() const;

    // Finds the first row from start towards end (backwards when start > end) for which the
    // expression holds: its number, 0 when none does, a negative number when the expression
    // is invalid. Start and end are clipped to the rows.
    long find(const QString &expression, long start, long end) const;

    // Changes whenever an item's value or the order of the rows changes (unique among all
    // views' rows): what was learnt about the rows holds while it stays the same.
    quint64 rowsVersion() const;
    // The rows as they are now (0-based), shared rather than copied: another thread may read
    // them while this view goes on changing its own rows (a changed column is copied first).
    ColumnStore rowsSnapshot() const;

    // The current row: 0 when the view has no rows.
    long currentRow() const { return m_currentRow; }
    int scrollToRow(long row);     // row < 1 -> first row, beyond the end -> last row

    int selectRow(long row, bool select); // row 0 = every row; 1 or -1
    bool isSelected(long row) const;

    // Sorting: criteria "col A, col2 D" (A ascending, D descending; default A).
    int setSort(const QString &criteria); // 1, or -1 for an unknown column or bad direction
    int sort();
    QString sortCriteria() const { return m_sortCriteria; }

    // Attributes of the view's objects: columns ("code") and their header texts ("code_t").
    // describe("code.Tag") gives the value, "!" for an unknown object or attribute and
    // "?" for an attribute that has no value. modify("code.Tag='A' name.Tag='D'") sets them;
    // it returns "" on success and an error text otherwise, and then changes nothing.
    QString describe(const QString &attributes) const;
    QString modify(const QString &modifications);

    // Makes this view show the rows of primary (same rows, same buffer); -1 when the
    // definitions have different columns.
    int shareData(DataView *primary);
    int shareDataOff();

    // Suspends the change notifications that repaint the presentations.
    void setRedraw(bool on);
    bool redraw() const { return m_redraw; }

signals:
    void rowsReset();                      // retrieve, loadRows, sort, share
    void itemChanged(long row, int column);
    void currentRowChanged(long row);
    void selectionChanged();
    void attributesChanged();              // a modify() that set attributes

private:
    void attachBuffer(std::shared_ptr<RowBuffer> buffer);
    void clampCurrentRow();
    void setCurrentRow(long row);
    void detachSharing();
    void notifyReset();
    void onBufferReset();
    void onBufferReordered(const QVector<int> &order);
    void onBufferItemChanged(int row, int column);
    int updateRow(int row, const QVector<int> &columns);

    DataViewDefinition m_definition;
    std::shared_ptr<RowBuffer> m_buffer;
    QPointer<Transaction> m_transaction;
    QVector<bool> m_selected;
    QString m_sortCriteria;
    long m_currentRow = 0;
    bool m_redraw = true;
    struct Attributes;
    std::unique_ptr<Attributes> m_attributes;
    SortCriteria m_sort;
    QPointer<DataView> m_primary;                  // set while this view shows another's rows
    QVector<QPointer<DataView>> m_secondaries;     // views that show this view's rows
    bool m_resetPending = false;                   // a change arrived while redraw was off
    mutable std::shared_ptr<const FindExpression> m_lastFind; // parsed once, reused by find()
};

} // namespace runtime
