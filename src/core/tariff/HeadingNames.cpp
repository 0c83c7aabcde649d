#include "core/tariff/HeadingNames.h"

#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"

namespace tariff {

bool HeadingNames::read(runtime::Transaction *sqlca, QHash<QString, QString> *names, QString *error, bool *present)
{
    names->clear();
    if (present)
        *present = false;
    if (!sqlca || !sqlca->isConnected()) {
        if (error)
            *error = QStringLiteral("not connected");
        return false;
    }
    QStringList tables;
    if (sqlca->tableNames(&tables) != 0) {
        if (error)
            *error = sqlca->sqlErrText();
        return false;
    }
    if (!tables.contains(table(), Qt::CaseInsensitive))
        return true;
    if (present)
        *present = true;
    QVector<QVector<QVariant>> rows;
    if (sqlca->select(sqlca->adaptSql(QStringLiteral("SELECT code, name FROM %1").arg(table())),
                      {runtime::ColumnType::String, runtime::ColumnType::String}, &rows)
        != 0) {
        if (error)
            *error = sqlca->sqlErrText();
        return false;
    }
    for (const QVector<QVariant> &row : std::as_const(rows)) {
        const QString name = row.value(1).toString().trimmed();
        if (!name.isEmpty())
            names->insert(row.value(0).toString().trimmed(), name);
    }
    return true;
}

int HeadingNames::overlay(runtime::DataView *rows, const QHash<QString, QString> &names)
{
    if (!rows || names.isEmpty())
        return 0;
    const int code = rows->columnNumber(QStringLiteral("code"));
    const int name = rows->columnNumber(QStringLiteral("name"));
    if (code <= 0 || name <= 0)
        return 0;
    int changed = 0;
    for (long row = 1; row <= rows->rowCount(); ++row) {
        const QString c = rows->item(row, code).toString().trimmed();
        if (c.size() != 4 && c.size() != 6)
            continue;
        const auto it = names.constFind(c);
        if (it != names.cend() && rows->setItem(row, name, it.value()) == 1)
            ++changed;
    }
    if (changed > 0)
        rows->resetUpdate();
    return changed;
}

} // namespace tariff
