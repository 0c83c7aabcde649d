#include "core/data/CommodityTables.h"

#include "core/runtime/Transaction.h"

#include <QVector>

namespace {
bool fileIsSound(runtime::Transaction *transaction)
{
    // A damaged file (truncated, say) may still answer from its first pages. SQLite checks
    // the whole file quickly; an engine without the pragma fails it harmlessly.
    QVector<QVector<QVariant>> check;
    return !(transaction->select(QStringLiteral("PRAGMA quick_check"), {runtime::ColumnType::String}, &check) == 0
             && !check.isEmpty() && check.first().value(0).toString() != QLatin1String("ok"));
}
} // namespace

DatabaseState commodityDatabaseState(runtime::Transaction *transaction)
{
    if (!transaction || !transaction->isConnected())
        return DatabaseState::Damaged;
    // SQLite opens any file lazily: the catalog is the first read, and a file that is not a
    // database fails it.
    QStringList tables;
    if (transaction->tableNames(&tables) != 0 || !fileIsSound(transaction))
        return DatabaseState::Damaged;
    const bool bothListed = tables.contains(QStringLiteral("list_hscode"), Qt::CaseInsensitive)
        && tables.contains(QStringLiteral("list_jmwcode"), Qt::CaseInsensitive);
    if (!bothListed)
        return DatabaseState::NoTables;
    // Reading one row of each table touches both tables' pages and their key columns.
    const QString probes[] = {
        QStringLiteral("SELECT dbo.list_hscode.code, dbo.list_hscode.flag FROM dbo.list_hscode LIMIT 1"),
        QStringLiteral("SELECT dbo.list_jmwcode.jmw_code, dbo.list_jmwcode.flag FROM dbo.list_jmwcode LIMIT 1"),
    };
    for (const QString &probe : probes) {
        QVector<QVector<QVariant>> rows;
        const QList<runtime::ColumnType> types{runtime::ColumnType::String, runtime::ColumnType::String};
        if (transaction->select(transaction->adaptSql(probe), types, &rows) != 0) {
            const QString error = transaction->sqlErrText();
            return error.contains(QLatin1String("lock timeout")) || error.contains(QLatin1String("statement timeout"))
                ? DatabaseState::Busy
                : DatabaseState::Damaged;
        }
    }
    return DatabaseState::Ready;
}
