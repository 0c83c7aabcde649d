#include "core/library/TariffNames.h"

#include "core/runtime/Transaction.h"

#include <QVector>

namespace library {

QHash<QString, QString> TariffNames::read(runtime::Transaction *sqlca, QString *error)
{
    QHash<QString, QString> names;
    if (!sqlca || !sqlca->isConnected()) {
        *error = QStringLiteral("未连接数据库");
        return names;
    }
    QVector<QVector<QVariant>> rows;
    if (sqlca->select(sqlca->adaptSql(QStringLiteral("SELECT code, name FROM list_hscode")),
                      {runtime::ColumnType::String, runtime::ColumnType::String}, &rows)
        != 0) {
        *error = sqlca->sqlErrText();
        return names;
    }
    names.reserve(rows.size());
    for (const auto &row : std::as_const(rows))
        names.insert(row.value(0).toString().trimmed(), row.value(1).toString());
    return names;
}

} // namespace library
