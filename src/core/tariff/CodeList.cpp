#include "core/tariff/CodeList.h"

#include "core/runtime/Transaction.h"
#include "core/tariff/TariffTables.h"

#include <QVector>

namespace tariff {

CodeEntry CodeList::entry(const QString &code) const
{
    const auto it = m_names.constFind(code);
    if (it == m_names.constEnd())
        return {code, QString(), false};
    return {code, it.value(), true};
}

CodeList CodeList::load(runtime::Transaction *sqlca, Kind kind)
{
    CodeList list;
    if (!sqlca || !sqlca->isConnected()) {
        list.m_error = QStringLiteral("not connected");
        return list;
    }
    // The table name is one of two constants, never text from outside.
    const QString table = kind == Kind::SupervisionCertificates ? TariffTables::supervisionCertificate()
                                                                : TariffTables::inspectionCategory();
    QVector<QVector<QVariant>> rows;
    const QString sql = QStringLiteral("SELECT code, name FROM %1").arg(table);
    if (sqlca->select(sqlca->adaptSql(sql), {runtime::ColumnType::String, runtime::ColumnType::String},
                      &rows) != 0) {
        list.m_error = sqlca->sqlErrText();
        return list;
    }
    for (const QVector<QVariant> &row : rows) {
        const QString code = row.value(0).toString();
        if (!code.isEmpty())
            list.m_names.insert(code, row.value(1).toString());
    }
    return list;
}

} // namespace tariff
