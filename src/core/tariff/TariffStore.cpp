#include "core/tariff/TariffStore.h"

#include "core/runtime/Transaction.h"
#include "core/tariff/TariffTables.h"

#include <QVector>

namespace tariff {

namespace {

// list_hscode's columns of a record after its name, then tariff_line's, in the order of the
// members they fill (readRecord).
const char kBaseColumnsAfterName[] = "h.unit, h.note, h.sz, h.zssl_set, h.zssl_set1, "
                                     "h.tsl_ym, h.splb, h.op_user, h.op_date";
const char kLineColumns[] = "t.provisional_rate, t.general_rate, t.export_tax_rate, "
                            "t.export_provisional_rate, t.supervision_conditions, "
                            "t.declaration_elements";
const QString kBaseColumns = TariffStore::recordColumns(QStringLiteral("h.name"), false);

} // namespace

QString TariffStore::recordColumns(const QString &nameExpression, bool withLine)
{
    QString columns = QStringLiteral("h.code, ") + nameExpression + QStringLiteral(", ")
        + QLatin1String(kBaseColumnsAfterName);
    if (withLine)
        columns += QStringLiteral(", ") + QLatin1String(kLineColumns);
    return columns;
}

TariffRecord TariffStore::readRecord(const QVector<QVariant> &row, bool withLine)
{
    const auto text = [&row](int i) { return row.value(i).toString(); };
    TariffRecord r;
    r.code = text(0).trimmed();
    r.name = text(1);
    r.unit1 = text(2);
    r.unit2 = text(3);
    r.mfnRate = text(4);
    r.vatRate = text(5);
    r.consumptionTax = text(6);
    r.exportRebate = text(7);
    r.inspectionCategory = text(8);
    r.opUser = text(9);
    r.opDate = text(10);
    if (withLine) {
        r.provisionalRate = text(11);
        r.generalRate = text(12);
        r.exportTaxRate = text(13);
        r.exportProvisionalRate = text(14);
        r.supervisionConditions = text(15);
        r.declarationElements = text(16);
    } else {
        r.missingFields = TariffRecord::tariffLineFields();
    }
    return r;
}


TariffStore::TariffStore(runtime::Transaction *sqlca) : m_sqlca(sqlca) {}

bool TariffStore::hasExtraTables()
{
    if (!m_hasExtraTables) {
        QStringList missing;
        if (!TariffTables::missing(m_sqlca, &missing))
            return false; // asked again next time: the catalog may be readable then
        m_hasExtraTables = !missing.contains(TariffTables::tariffLine());
    }
    return *m_hasExtraTables;
}

QHash<QString, TariffRecord> TariffStore::lines()
{
    QHash<QString, TariffRecord> lines;
    m_lastError.clear();
    if (!m_sqlca || !m_sqlca->isConnected()) {
        m_lastError = QStringLiteral("not connected");
        return lines;
    }
    const bool withLine = hasExtraTables();
    const QString where = QStringLiteral(" WHERE length(rtrim(h.code)) = 10");
    const QString sql = withLine
        ? QStringLiteral("SELECT %1, %2 FROM list_hscode h LEFT JOIN tariff_line t ON t.code = h.code")
              .arg(kBaseColumns, QLatin1String(kLineColumns)) + where
        : QStringLiteral("SELECT %1 FROM list_hscode h").arg(kBaseColumns) + where;
    const int columns = kBaseColumnCount + (withLine ? kLineColumnCount : 0);
    QVector<QVector<QVariant>> rows;
    if (m_sqlca->select(m_sqlca->adaptSql(sql), QList<runtime::ColumnType>(columns, runtime::ColumnType::String),
                        &rows) != 0) {
        m_lastError = m_sqlca->sqlErrText();
        return lines;
    }
    lines.reserve(rows.size());
    for (const auto &row : rows) {
        TariffRecord r = readRecord(row, withLine);
        lines.insert(r.code, std::move(r));
    }
    return lines;
}

std::optional<TariffRecord> TariffStore::record(const QString &code)
{
    m_lastError.clear();
    if (!m_sqlca || !m_sqlca->isConnected()) {
        m_lastError = QStringLiteral("not connected");
        return std::nullopt;
    }
    const bool withLine = hasExtraTables();
    const QString sql = withLine
        ? QStringLiteral("SELECT %1, %2 FROM list_hscode h LEFT JOIN tariff_line t ON t.code = h.code "
                         "WHERE h.code = ?")
              .arg(kBaseColumns, QLatin1String(kLineColumns))
        : QStringLiteral("SELECT %1 FROM list_hscode h WHERE h.code = ?").arg(kBaseColumns);
    const int columns = kBaseColumnCount + (withLine ? kLineColumnCount : 0);
    const QList<runtime::ColumnType> types(columns, runtime::ColumnType::String);
    QVector<QVector<QVariant>> rows;
    if (m_sqlca->select(m_sqlca->adaptSql(sql), types, &rows, {code}) != 0) {
        m_lastError = m_sqlca->sqlErrText();
        return std::nullopt;
    }
    if (rows.isEmpty())
        return std::nullopt;
    return readRecord(rows.first(), withLine);
}

} // namespace tariff
