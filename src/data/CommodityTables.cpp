#include "data/CommodityTables.h"

#include "runtime/Transaction.h"

#include <QVector>

bool hasCommodityTables(runtime::Transaction *transaction)
{
    if (!transaction || !transaction->isConnected())
        return false;
    // Reading one row of each table touches the file's header and both tables' pages,
    // so damage shows here rather than later in the middle of loading.
    const QString probes[] = {
        QStringLiteral("SELECT dbo.list_hscode.code, dbo.list_hscode.flag FROM dbo.list_hscode LIMIT 1"),
        QStringLiteral("SELECT dbo.list_jmwcode.jmw_code, dbo.list_jmwcode.flag FROM dbo.list_jmwcode LIMIT 1"),
    };
    for (const QString &probe : probes) {
        QVector<QVector<QVariant>> rows;
        const QList<runtime::ColumnType> types{runtime::ColumnType::String, runtime::ColumnType::String};
        if (transaction->select(transaction->adaptSql(probe), types, &rows) != 0)
            return false;
    }
    // A damaged file (truncated, say) may still answer the probes from its first pages.
    // SQLite checks the whole file quickly; an engine without the pragma fails it harmlessly.
    QVector<QVector<QVariant>> check;
    if (transaction->select(QStringLiteral("PRAGMA quick_check"), {runtime::ColumnType::String}, &check) == 0
        && !check.isEmpty() && check.first().value(0).toString() != QLatin1String("ok"))
        return false;
    return true;
}
