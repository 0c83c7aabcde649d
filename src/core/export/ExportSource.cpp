#include "core/export/ExportSource.h"

#include "core/runtime/Transaction.h"
#include "core/tariff/InspectionCategories.h"
#include "core/tariff/SupervisionConditions.h"
#include "core/tariff/TariffStore.h"
#include "core/tariff/TariffTables.h"

#include <QStringList>
#include <QVector>

namespace kivexport {

namespace {

using tariff::CodeEntry;

// SQLite takes at most 999 parameters in one statement.
constexpr int kBatch = 500;

QString namedCodes(const QString &letters, const QList<CodeEntry> &entries)
{
    if (letters.trimmed().isEmpty())
        return QString();
    QStringList parts;
    for (const CodeEntry &e : entries)
        parts.append(e.known ? e.code + QLatin1Char(' ') + e.name : e.code + QStringLiteral(" (未知)"));
    return parts.isEmpty() ? letters : letters + QStringLiteral("：") + parts.join(QStringLiteral("；"));
}

bool isCode(const QString &code)
{
    if (code.isEmpty())
        return false;
    for (QChar c : code)
        if (!c.isLetterOrNumber())
            return false;
    return true;
}

} // namespace

ExportSource::ExportSource(runtime::Transaction *sqlca) : m_sqlca(sqlca) {}

bool ExportSource::prepare()
{
    m_lastError.clear();
    if (!m_sqlca || !m_sqlca->isConnected()) {
        m_lastError = QStringLiteral("not connected");
        return false;
    }
    if (m_prepared)
        return true;
    QStringList missing;
    if (!tariff::TariffTables::missing(m_sqlca, &missing)) {
        m_lastError = m_sqlca->sqlErrText();
        return false;
    }
    m_hasLine = !missing.contains(tariff::TariffTables::tariffLine());
    m_hasNotes = !missing.contains(tariff::TariffTables::userNote());
    m_hasChineseNames = !missing.contains(tariff::TariffTables::headingNameCn());
    m_certificates = tariff::CodeList::load(m_sqlca, tariff::CodeList::Kind::SupervisionCertificates);
    m_categories = tariff::CodeList::load(m_sqlca, tariff::CodeList::Kind::InspectionCategories);
    m_prepared = true;
    return true;
}

const QSet<QString> &ExportSource::parentCodes(const QString &list)
{
    auto found = m_parents.find(list);
    if (found != m_parents.end())
        return *found;
    // Only codes shorter than a full line can stand above another code.
    const bool customs = list == QLatin1String("hs");
    const QString sql = customs ? QStringLiteral("SELECT code FROM list_hscode WHERE length(code) < 10")
                                : QStringLiteral("SELECT jmw_code FROM list_jmwcode WHERE length(jmw_code) < 10");
    QVector<QVector<QVariant>> rows;
    QSet<QString> codes;
    if (m_sqlca->select(m_sqlca->adaptSql(sql), {runtime::ColumnType::String}, &rows) == 0)
        for (const QVector<QVariant> &row : rows)
            codes.insert(row.value(0).toString().trimmed());
    return *m_parents.insert(list, codes);
}

QString ExportSource::parentOf(const QString &list, const QString &code)
{
    const QSet<QString> &codes = parentCodes(list);
    for (qsizetype length = code.size() - 2; length >= 2; length -= 2)
        if (codes.contains(code.left(length)))
            return code.left(length);
    return QString();
}

bool ExportSource::read(const QString &list, const QString &condition, const QVector<QVariant> &params,
                        QList<ExportRecord> *records)
{
    const bool customs = list == QLatin1String("hs");
    QString sql;
    if (customs) {
        // A heading's or subheading's Chinese name stands in for the English one.
        sql = QStringLiteral("SELECT ")
            + tariff::TariffStore::recordColumns(
                  m_hasChineseNames ? QStringLiteral("COALESCE(c.name, h.name)") : QStringLiteral("h.name"), m_hasLine);
        if (!m_hasLine)
            sql += QStringLiteral(", NULL, NULL, NULL, NULL, NULL, NULL");
        sql += m_hasNotes ? QStringLiteral(", n.note") : QStringLiteral(", NULL");
        sql += QStringLiteral(" FROM list_hscode h");
        if (m_hasLine)
            sql += QStringLiteral(" LEFT JOIN tariff_line t ON t.code = h.code");
        if (m_hasNotes)
            sql += QStringLiteral(" LEFT JOIN user_note n ON n.list = 'hs' AND n.code = h.code");
        if (m_hasChineseNames)
            sql += QStringLiteral(" LEFT JOIN heading_name_cn c ON c.code = h.code");
    } else {
        sql = QStringLiteral("SELECT h.jmw_code, h.name, h.unit");
        sql += m_hasNotes ? QStringLiteral(", n.note") : QStringLiteral(", NULL");
        sql += QStringLiteral(" FROM list_jmwcode h");
        if (m_hasNotes)
            sql += QStringLiteral(" LEFT JOIN user_note n ON n.list = 'jmw' AND n.code = h.jmw_code");
    }
    const QString codeColumn = customs ? QStringLiteral("h.code") : QStringLiteral("h.jmw_code");
    if (!condition.isEmpty())
        sql += QStringLiteral(" WHERE ") + QString(condition).replace(QStringLiteral("CODE"), codeColumn);
    sql += QStringLiteral(" ORDER BY ") + codeColumn;
    constexpr int kNoteColumn = tariff::TariffStore::kBaseColumnCount + tariff::TariffStore::kLineColumnCount;
    const int columns = customs ? kNoteColumn + 1 : 4;
    QVector<QVector<QVariant>> rows;
    if (m_sqlca->select(m_sqlca->adaptSql(sql), QList<runtime::ColumnType>(columns, runtime::ColumnType::String),
                        &rows, params) != 0) {
        m_lastError = m_sqlca->sqlErrText();
        return false;
    }
    records->reserve(records->size() + rows.size());
    for (const QVector<QVariant> &row : rows) {
        const auto text = [&row](int i) { return row.value(i).toString(); };
        ExportRecord r;
        r.list = list;
        if (customs) {
            const tariff::TariffRecord t = tariff::TariffStore::readRecord(row, true);
            r.code = t.code;
            r.name = t.name;
            r.unit1 = t.unit1;
            r.unit2 = t.unit2;
            r.mfnRate = t.mfnRate;
            r.vatRate = t.vatRate;
            r.consumptionTax = t.consumptionTax;
            r.exportRebate = t.exportRebate;
            r.opUser = t.opUser;
            r.opDate = t.opDate;
            r.provisionalRate = t.provisionalRate;
            r.generalRate = t.generalRate;
            r.exportTaxRate = t.exportTaxRate;
            r.exportProvisionalRate = t.exportProvisionalRate;
            r.declarationElements = t.declarationElements;
            r.note = text(kNoteColumn);
            r.supervision = namedCodes(t.supervisionConditions,
                                       tariff::SupervisionConditions::parse(t.supervisionConditions, m_certificates));
            const tariff::InspectionCategories::Split split =
                tariff::InspectionCategories::split(t.inspectionCategory, m_categories);
            r.inspection = namedCodes(t.inspectionCategory, split.imports + split.exports);
        } else {
            r.code = text(0).trimmed();
            r.name = text(1);
            r.unit1 = text(2);
            r.note = text(3);
        }
        r.parent = parentOf(list, r.code);
        records->append(r);
    }
    return true;
}

std::optional<QList<ExportRecord>> ExportSource::subtree(const QString &list, const QString &code)
{
    if (!prepare())
        return std::nullopt;
    QList<ExportRecord> records;
    // Codes are digits (letters in test copies): a prefix match needs no escaping.
    if (!isCode(code))
        return records;
    if (!read(list, QStringLiteral("CODE LIKE ?"), {code + QLatin1Char('%')}, &records))
        return std::nullopt;
    return records;
}

std::optional<QList<ExportRecord>> ExportSource::codes(const QList<Key> &keys)
{
    if (!prepare())
        return std::nullopt;
    QHash<QString, ExportRecord> found; // list + '/' + code
    for (const QString &list : {QStringLiteral("hs"), QStringLiteral("jmw")}) {
        QVector<QVariant> params;
        QSet<QString> asked;
        for (const Key &k : keys)
            if (k.list == list && !asked.contains(k.code)) {
                asked.insert(k.code);
                params.append(k.code);
            }
        for (qsizetype at = 0; at < params.size(); at += kBatch) {
            const QVector<QVariant> batch = params.mid(at, kBatch);
            QStringList marks(batch.size(), QStringLiteral("?"));
            QList<ExportRecord> records;
            if (!read(list, QStringLiteral("CODE IN (%1)").arg(marks.join(QLatin1Char(','))), batch, &records))
                return std::nullopt;
            for (const ExportRecord &r : records)
                found.insert(list + QLatin1Char('/') + r.code, r);
        }
    }
    QList<ExportRecord> ordered;
    for (const Key &k : keys) {
        const auto it = found.constFind(k.list + QLatin1Char('/') + k.code);
        if (it != found.constEnd())
            ordered.append(*it);
    }
    return ordered;
}

std::optional<QList<ExportRecord>> ExportSource::wholeList(const QString &list)
{
    if (!prepare())
        return std::nullopt;
    QList<ExportRecord> records;
    if (!read(list, QString(), {}, &records))
        return std::nullopt;
    return records;
}

} // namespace kivexport
