#include "core/edition/EditionNames.h"

#include "core/runtime/Transaction.h"

namespace edition {

QString EditionNames::query(const QString &table, const QString &condition)
{
    const QString most = QStringLiteral("COALESCE((SELECT op_user FROM %1 WHERE %2 AND length(code) %3 "
                                        "GROUP BY op_user ORDER BY count(*) DESC, op_user DESC LIMIT 1), '?')");
    return QStringLiteral("(%1 || ' / ' || %2)")
        .arg(most.arg(table, condition, QStringLiteral("= 10")), most.arg(table, condition, QStringLiteral("IN (4, 6)")));
}

QString EditionNames::of(runtime::Transaction *sqlca, const QString &table)
{
    QVector<QVector<QVariant>> rows;
    if (sqlca->select(QStringLiteral("SELECT ") + query(table), {runtime::ColumnType::String}, &rows) != 0
        || rows.isEmpty())
        return QString();
    return rows.first().value(0).toString();
}

} // namespace edition
