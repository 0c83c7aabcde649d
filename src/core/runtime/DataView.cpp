#include "core/runtime/DataView.h"

#include "core/runtime/ColumnStoreBuilder.h"
#include "core/runtime/ColumnTextIndex.h"
#include "core/runtime/DataViewAttributes.h"
#include "core/runtime/FindExpression.h"
#include "core/runtime/ItemValues.h"
#include "core/runtime/RowBuffer.h"
#include "core/runtime/SortCriteria.h"
#include "core/runtime/Transaction.h"

#include <algorithm>

namespace runtime {

namespace iv = itemvalues;

struct DataView::Attributes {
    DataViewAttributes store;
};

DataView::DataView(QObject *parent)
    : QObject(parent), m_attributes(std::make_unique<Attributes>())
{
    attachBuffer(std::make_shared<RowBuffer>(0));
}

DataView::~DataView()
{
    detachSharing();
}

void DataView::setDefinition(const DataViewDefinition &definition)
{
    detachSharing();
    m_definition = definition;
    m_attributes->store.reset(m_definition);
    m_sortCriteria.clear();
    m_sort.clear();
    m_lastFind.reset();
    attachBuffer(std::make_shared<RowBuffer>(int(m_definition.columns.size())));
    emit attributesChanged();
}

int DataView::columnNumber(const QString &column) const
{
    return m_definition.columnIndex(column) + 1;
}

int DataView::columnCount() const
{
    return int(m_definition.columns.size());
}

// ---- database

void DataView::setTransObject(Transaction *transaction)
{
    m_transaction = transaction;
}

Transaction *DataView::transObject() const
{
    return m_transaction.data();
}

long DataView::retrieve()
{
    Transaction *transaction = m_transaction.data();
    if (!transaction || !transaction->isConnected() || m_definition.query.isEmpty()) {
        m_buffer->clear();
        return -1;
    }
    QList<ColumnType> types;
    for (const ColumnDefinition &c : m_definition.columns)
        types.append(c.type);
    // Each column is read straight into the form it is kept in; the query reads every value
    // as its column's type.
    ColumnStoreBuilder rows(types, columnCount());
    if (transaction->select(transaction->adaptSql(m_definition.query), types, &rows) != 0) {
        m_buffer->clear();
        return -1;
    }
    m_buffer->setStore(rows.take());
    return rowCount();
}

void DataView::loadRows(QVector<QVector<QVariant>> rows)
{
    m_buffer->setRows(std::move(rows));
}

quint64 DataView::rowsVersion() const
{
    return m_buffer->version();
}

ColumnStore DataView::rowsSnapshot() const
{
    return m_buffer->store();
}

long DataView::rowCount() const
{
    return m_buffer->rowCount();
}

// ---- items

bool DataView::viewText(long row, int column, QStringView *text) const
{
    if (row < 1 || row > rowCount() || column < 1 || column > m_buffer->columnCount())
        return false;
    return m_buffer->store().viewText(int(row - 1), column - 1, text);
}

QVariant DataView::item(long row, int column) const
{
    if (row < 1 || row > rowCount() || column < 1 || column > m_buffer->columnCount())
        return QVariant();
    return m_buffer->value(int(row - 1), column - 1);
}

QVariant DataView::item(long row, const QString &column) const
{
    return item(row, columnNumber(column));
}

QString DataView::itemString(long row, const QString &column) const
{
    return iv::toText(item(row, column));
}

double DataView::itemNumber(long row, const QString &column) const
{
    bool ok = false;
    const double d = iv::toNumber(item(row, column), &ok);
    return ok ? d : 0;
}

bool DataView::isNull(long row, const QString &column) const
{
    return iv::isNull(item(row, column));
}

int DataView::setItem(long row, int column, const QVariant &value)
{
    if (row < 1 || row > rowCount() || column < 1 || column > m_buffer->columnCount())
        return -1;
    bool ok = false;
    const QVariant converted = iv::convert(value, m_definition.columns.at(column - 1).type, &ok);
    if (!ok)
        return -1;
    m_buffer->setValue(int(row - 1), column - 1, converted);
    return 1;
}

int DataView::setItems(int column, const QVector<long> &rows, const QVector<QVariant> &values)
{
    if (column < 1 || column > m_buffer->columnCount() || rows.size() != values.size())
        return -1;
    QVector<int> bufferRows;
    QVector<QVariant> converted;
    bufferRows.reserve(rows.size());
    converted.reserve(values.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i] < 1 || rows[i] > rowCount())
            return -1;
        bool ok = false;
        converted.append(iv::convert(values[i], m_definition.columns.at(column - 1).type, &ok));
        if (!ok)
            return -1;
        bufferRows.append(int(rows[i] - 1));
    }
    m_buffer->setValues(column - 1, bufferRows, converted);
    return 1;
}

int DataView::setItem(long row, const QString &column, const QVariant &value)
{
    return setItem(row, columnNumber(column), value);
}

ItemStatus DataView::itemStatus(long row, int column) const
{
    if (row < 1 || row > rowCount() || column < 1 || column > m_buffer->columnCount())
        return ItemStatus::NotModified;
    return m_buffer->isModified(int(row - 1), column - 1) ? ItemStatus::DataModified
                                                          : ItemStatus::NotModified;
}

ItemStatus DataView::rowStatus(long row) const
{
    if (row < 1 || row > rowCount())
        return ItemStatus::NotModified;
    return m_buffer->isRowModified(int(row - 1)) ? ItemStatus::DataModified : ItemStatus::NotModified;
}

long DataView::modifiedCount() const
{
    return m_buffer->modifiedRowCount();
}

// ---- find

long DataView::find(const QString &expression, long start, long end) const
{
    // The find dialog steps through the matches with one call per match: the expression is
    // parsed on the first call and the parsed form reused while the text stays the same.
    if (!m_lastFind || m_lastFind->text() != expression)
        m_lastFind = std::make_shared<const FindExpression>(expression, m_definition.columns);
    const FindExpression &parsed = *m_lastFind;
    if (!parsed.isValid())
        return -1;
    const long n = rowCount();
    if (n == 0)
        return 0;
    const bool forward = start <= end;
    const long first = forward ? std::max(start, 1L) : std::min(start, n);
    const long last = forward ? std::min(end, n) : std::max(end, 1L);
    if (forward ? first > last : first < last)
        return 0;
    if (parsed.equalityColumn() >= 0) {
        // Selecting a tree item looks its row up by code: an index keeps that constant.
        const ColumnTextIndex &index = m_buffer->textIndex(parsed.equalityColumn());
        if (index.usable())
            return index.find(parsed.equalityText(), int(first - 1), int(last - 1)) + 1;
    }
    // Only the columns the expression reads are taken out of the store, into one row reused.
    QVector<QVariant> row(columnCount());
    const auto matches = [&](long r) {
        for (int column : parsed.usedColumns())
            row[column] = m_buffer->value(int(r - 1), column);
        return parsed.matches(row);
    };
    if (forward) {
        for (long r = first; r <= last; ++r) {
            if (matches(r))
                return r;
        }
    } else {
        for (long r = first; r >= last; --r) {
            if (matches(r))
                return r;
        }
    }
    return 0;
}

// ---- current row and selection

void DataView::setCurrentRow(long row)
{
    if (row == m_currentRow)
        return;
    m_currentRow = row;
    emit currentRowChanged(row);
}

void DataView::clampCurrentRow()
{
    const long n = rowCount();
    setCurrentRow(n == 0 ? 0 : std::clamp(m_currentRow, 1L, n));
}

int DataView::scrollToRow(long row)
{
    const long n = rowCount();
    if (n == 0) {
        setCurrentRow(0);
        return 1;
    }
    setCurrentRow(std::clamp(row, 1L, n));
    return 1;
}

int DataView::selectRow(long row, bool select)
{
    const long n = rowCount();
    if (row < 0 || row > n)
        return -1;
    bool changed = false;
    for (long r = (row == 0 ? 1 : row); r <= (row == 0 ? n : row); ++r) {
        if (m_selected[r - 1] != select) {
            m_selected[r - 1] = select;
            changed = true;
        }
    }
    if (changed)
        emit selectionChanged();
    return 1;
}

bool DataView::isSelected(long row) const
{
    return row >= 1 && row <= m_selected.size() && m_selected.at(row - 1);
}

// ---- sorting

int DataView::setSort(const QString &criteria)
{
    if (!m_sort.parse(criteria, m_definition.columns))
        return -1;
    m_sortCriteria = criteria.trimmed();
    return 1;
}

int DataView::sort()
{
    if (m_sort.isEmpty() || rowCount() < 2)
        return 1;
    return m_buffer->reorder(m_sort.order(m_buffer->store(), m_definition.columns)) ? 1 : -1;
}

// ---- attributes

QString DataView::describe(const QString &attributes) const
{
    return m_attributes->store.describe(attributes, m_definition, m_sortCriteria);
}

QString DataView::modify(const QString &modifications)
{
    bool changed = false;
    const QString error = m_attributes->store.modify(modifications, &m_definition, &changed);
    if (error.isEmpty() && changed)
        emit attributesChanged();
    return error;
}

// ---- sharing

int DataView::shareData(DataView *primary)
{
    if (!primary || primary == this)
        return -1;
    const QList<ColumnDefinition> &mine = m_definition.columns;
    const QList<ColumnDefinition> &theirs = primary->m_definition.columns;
    if (mine.size() != theirs.size())
        return -1;
    for (int i = 0; i < mine.size(); ++i) {
        if (mine.at(i).type != theirs.at(i).type)
            return -1;
    }
    detachSharing();
    m_primary = primary;
    primary->m_secondaries.append(this);
    attachBuffer(primary->m_buffer);
    return 1;
}

int DataView::shareDataOff()
{
    if (m_primary) {
        detachSharing();
        attachBuffer(std::make_shared<RowBuffer>(columnCount()));
        return 1;
    }
    const QVector<QPointer<DataView>> secondaries = m_secondaries;
    if (secondaries.isEmpty())
        return -1;
    for (const QPointer<DataView> &view : secondaries) {
        if (view)
            view->shareDataOff();
    }
    m_secondaries.clear();
    return 1;
}

// Ends this view's part in any sharing; the views that shared its rows keep them.
void DataView::detachSharing()
{
    if (m_primary)
        m_primary->m_secondaries.removeAll(QPointer<DataView>(this));
    m_primary = nullptr;
    for (const QPointer<DataView> &view : std::as_const(m_secondaries)) {
        if (view)
            view->m_primary = nullptr;
    }
    m_secondaries.clear();
}

// ---- notifications

void DataView::setRedraw(bool on)
{
    m_redraw = on;
    if (on && m_resetPending) {
        m_resetPending = false;
        emit rowsReset();
    }
}

void DataView::notifyReset()
{
    if (m_redraw)
        emit rowsReset();
    else
        m_resetPending = true;
}

void DataView::attachBuffer(std::shared_ptr<RowBuffer> buffer)
{
    if (m_buffer)
        disconnect(m_buffer.get(), nullptr, this, nullptr);
    m_buffer = std::move(buffer);
    connect(m_buffer.get(), &RowBuffer::rowsReset, this, &DataView::onBufferReset);
    connect(m_buffer.get(), &RowBuffer::rowsReordered, this, &DataView::onBufferReordered);
    connect(m_buffer.get(), &RowBuffer::itemChanged, this, &DataView::onBufferItemChanged);
    onBufferReset();
}

void DataView::onBufferReset()
{
    const bool hadSelection = std::find(m_selected.cbegin(), m_selected.cend(), true) != m_selected.cend();
    m_selected = QVector<bool>(rowCount(), false);
    setCurrentRow(rowCount() > 0 ? 1 : 0);
    notifyReset();
    if (hadSelection)
        emit selectionChanged();
}

void DataView::onBufferReordered(const QVector<int> &order)
{
    // The selection moves with the rows.
    QVector<bool> selected(order.size(), false);
    for (int i = 0; i < order.size(); ++i)
        selected[i] = m_selected.value(order.at(i), false);
    m_selected = selected;
    clampCurrentRow();
    notifyReset();
}

void DataView::onBufferItemChanged(int row, int column)
{
    if (m_redraw)
        emit itemChanged(row + 1, column + 1);
    else
        m_resetPending = true;
}

} // namespace runtime
