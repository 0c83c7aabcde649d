#include "core/runtime/DataView.h"

#include "core/runtime/ItemValues.h"
#include "core/runtime/RowBuffer.h"
#include "core/runtime/Transaction.h"

#include <QStringList>

// The data view's update: the changed items written back to the database.

namespace runtime {

namespace iv = itemvalues;

namespace {

// The column an update writes: the definition's database name without table or owner.
QString writtenColumn(const ColumnDefinition &c)
{
    const QString name = c.dbName.isEmpty() ? c.name : c.dbName;
    return name.section(u'.', -1);
}

} // namespace

int DataView::update(bool resetFlags)
{
    Transaction *transaction = m_transaction.data();
    if (!transaction || !transaction->isConnected())
        return -1;
    if (m_buffer->modifiedRowCount() == 0)
        return 1;
    if (m_definition.updateTable.isEmpty() || m_definition.keyColumns.isEmpty())
        return -1;
    for (const QString &key : m_definition.keyColumns) {
        if (m_definition.columnIndex(key) < 0)
            return -1;
    }
    for (int row = 0; row < m_buffer->rowCount(); ++row) {
        if (!m_buffer->isRowModified(row))
            continue;
        QVector<int> columns;
        for (int column : m_buffer->modifiedColumns(row)) {
            if (m_definition.columns.at(column).updatable)
                columns.append(column);
        }
        if (columns.isEmpty())
            continue; // only items that never reach the database (like a computed handle)
        if (updateRow(row, columns) != 1)
            return -1;
    }
    if (resetFlags)
        m_buffer->resetFlags();
    return 1;
}

// One UPDATE that finds the row by the original values of its key columns.
int DataView::updateRow(int row, const QVector<int> &columns)
{
    QStringList assignments;
    QVector<QVariant> params;
    for (int column : columns) {
        assignments.append(writtenColumn(m_definition.columns.at(column)) + QStringLiteral(" = ?"));
        params.append(m_buffer->value(row, column));
    }
    QStringList conditions;
    for (const QString &key : m_definition.keyColumns) {
        const int column = m_definition.columnIndex(key);
        const QVariant original = m_buffer->originalValue(row, column);
        const QString name = writtenColumn(m_definition.columns.at(column));
        if (iv::isNull(original)) {
            conditions.append(name + QStringLiteral(" IS NULL"));
        } else {
            conditions.append(name + QStringLiteral(" = ?"));
            params.append(original);
        }
    }
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                            .arg(m_definition.updateTable, assignments.join(QStringLiteral(", ")),
                                 conditions.join(QStringLiteral(" AND ")));
    Transaction *transaction = m_transaction.data();
    if (transaction->execute(transaction->adaptSql(sql), params) != 0)
        return -1;
    return transaction->sqlNRows() >= 1 ? 1 : -1;
}

int DataView::resetUpdate()
{
    m_buffer->resetFlags();
    return 1;
}

} // namespace runtime
