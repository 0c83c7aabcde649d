#include "core/library/ItemCode.h"

#include "core/runtime/Transaction.h"

#include <QRegularExpression>
#include <QVector>

namespace library {

QString ItemCode::normalized(const QString &typed)
{
    QString s = typed.normalized(QString::NormalizationForm_KC);
    s.remove(QRegularExpression(QStringLiteral("[\\s.\\-]")));
    return s;
}

ItemCode ItemCode::resolve(runtime::Transaction *sqlca, const QString &typed)
{
    ItemCode c;
    const QString code = normalized(typed);
    static const QRegularExpression digits(QStringLiteral("^(\\d{8}|\\d{10})$"));
    if (!digits.match(code).hasMatch()) {
        c.problem = code.isEmpty() ? QStringLiteral("请填写商品编码。")
                                   : QStringLiteral("商品编码“%1”应为10位（或8位）数字。").arg(typed.trimmed());
        return c;
    }
    if (!sqlca || !sqlca->isConnected()) {
        c.problem = QStringLiteral("无法读取商品编码表。");
        return c;
    }
    QVector<QVector<QVariant>> rows;
    // Codes of list_hscode may be stored padded (char columns): compare them trimmed.
    const QString sql = code.size() == 10
        ? QStringLiteral("SELECT code, name FROM list_hscode WHERE code = ?")
        : QStringLiteral("SELECT code, name FROM list_hscode WHERE code LIKE ? AND length(rtrim(code)) = 10 "
                         "ORDER BY code");
    const QVariant key = code.size() == 10 ? QVariant(code) : QVariant(code + QLatin1Char('%'));
    if (sqlca->select(sqlca->adaptSql(sql), {runtime::ColumnType::String, runtime::ColumnType::String}, &rows,
                      {key})
        != 0) {
        c.problem = QStringLiteral("无法读取商品编码表: ") + sqlca->sqlErrText();
        return c;
    }
    if (rows.size() == 1) {
        c.code = rows.first().value(0).toString().trimmed();
        return c;
    }
    if (rows.isEmpty()) {
        c.problem = QStringLiteral("商品编码“%1”不在当前的海关商品编码表中。").arg(code);
        return c;
    }
    for (const auto &row : rows)
        c.candidates.append({row.value(0).toString().trimmed(), row.value(1).toString()});
    QStringList listed;
    for (const auto &cand : c.candidates)
        listed << cand.first + QStringLiteral("  ") + cand.second;
    c.problem = QStringLiteral("8位编码“%1”下有 %2 个十位编码，请选择其一:\n%3")
                    .arg(code)
                    .arg(c.candidates.size())
                    .arg(listed.join(u'\n'));
    return c;
}

} // namespace library
