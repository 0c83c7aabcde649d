#include "core/edition/EditionStamp.h"

#include "core/runtime/Transaction.h"

#include <QRegularExpression>

namespace edition {

QString EditionStamp::text() const
{
    return name.isEmpty() ? QStringLiteral("（未记录）") : name;
}

int EditionStamp::year() const
{
    static const QRegularExpression pattern(QStringLiteral("(?<!\\d)((?:19|20)\\d\\d)(?!\\d)"));
    const QRegularExpressionMatch m = pattern.match(name);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

bool EditionStamp::read(runtime::Transaction *sqlca, CodeList list, EditionStamp *stamp, QString *error)
{
    *stamp = EditionStamp();
    const QString rows = list == CodeList::Customs ? QStringLiteral("length(code) = 10")
                                                   : QStringLiteral("length(code) IN (4, 6)");
    QVector<QVector<QVariant>> result;
    if (sqlca->select(sqlca->adaptSql(QStringLiteral("SELECT op_user, op_date FROM list_hscode WHERE %1 "
                                                     "AND op_user IS NOT NULL ORDER BY op_date DESC, op_user DESC LIMIT 1")
                                          .arg(rows)),
                      {runtime::ColumnType::String, runtime::ColumnType::String}, &result)
        != 0) {
        *error = sqlca->sqlErrText();
        return false;
    }
    if (!result.isEmpty()) {
        stamp->name = result.first().value(0).toString().trimmed();
        stamp->date = result.first().value(1).toString().trimmed();
    }
    return true;
}

bool EditionStamp::isOlder(const EditionStamp &candidate, const EditionStamp &current)
{
    const int a = candidate.year();
    const int b = current.year();
    if (a && b && a != b)
        return a < b;
    // Both yyyyMMdd: their text order is their time order.
    if (candidate.date.size() == 8 && current.date.size() == 8)
        return candidate.date < current.date;
    return false;
}

} // namespace edition
