#include "core/server/TableCopy.h"

#include "core/runtime/Transaction.h"

#include <algorithm>

namespace server {

long TableCopy::copy(runtime::Transaction *source, runtime::Transaction *target, const ServerSchema::Table &table,
                     QString *error)
{
    QList<runtime::ColumnType> types;
    for (const ServerSchema::Column &c : table.columns)
        types.append(c.type);
    QVector<QVector<QVariant>> rows;
    if (source->select(QStringLiteral("SELECT %1 FROM %2").arg(table.columnList(), table.name), types, &rows) != 0) {
        *error = QStringLiteral("%1: %2").arg(table.name, source->sqlErrText());
        return -1;
    }
    const int columns = int(table.columns.size());
    const int rowsPerStatement = std::max(1, kMaxParameters / columns);
    // Typed markers: a null travels as text, which a numeric column would not take.
    QStringList markers;
    for (const ServerSchema::Column &c : table.columns)
        markers.append(c.type == runtime::ColumnType::Number ? QStringLiteral("CAST(? AS numeric)")
                       : c.type == runtime::ColumnType::Long ? QStringLiteral("CAST(? AS integer)")
                                                             : QStringLiteral("?"));
    const QString oneRow = QLatin1Char('(') + markers.join(u',') + QLatin1Char(')');
    for (qsizetype first = 0; first < rows.size(); first += rowsPerStatement) {
        const qsizetype count = std::min<qsizetype>(rowsPerStatement, rows.size() - first);
        QVector<QVariant> params;
        params.reserve(count * columns);
        for (qsizetype r = first; r < first + count; ++r) {
            const QVector<QVariant> &row = rows.at(r);
            for (int c = 0; c < columns; ++c)
                params.append(row.value(c));
        }
        const QString sql = QStringLiteral("INSERT INTO dbo.%1 (%2) VALUES %3")
                                .arg(table.storedName, table.columnList(),
                                     QStringList(count, oneRow).join(QLatin1Char(',')));
        if (target->execute(sql, params) != 0) {
            *error = QStringLiteral("%1: %2").arg(table.name, target->sqlErrText());
            return -1;
        }
    }
    return long(rows.size());
}

} // namespace server
