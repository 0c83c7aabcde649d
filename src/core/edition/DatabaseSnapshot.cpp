#include "core/edition/DatabaseSnapshot.h"

#include "core/runtime/Transaction.h"
#include "core/tariff/HeadingNames.h"
#include "core/tariff/NotesStore.h"

namespace edition {

namespace {

using Rows = QVector<QVector<QVariant>>;

bool query(runtime::Transaction *sqlca, const QString &sql, int columns, Rows *rows, QString *error,
           const QVector<QVariant> &params = {})
{
    const QList<runtime::ColumnType> types(columns, runtime::ColumnType::String);
    if (sqlca->select(sqlca->adaptSql(sql), types, rows, params) == 0)
        return true;
    *error = sqlca->sqlErrText();
    return false;
}

} // namespace

bool DatabaseSnapshot::read(runtime::Transaction *sqlca, DatabaseSnapshot *s, QString *error)
{
    *s = DatabaseSnapshot();
    if (!sqlca || !sqlca->isConnected()) {
        *error = QStringLiteral("not connected");
        return false;
    }
    // The columns in the order of Field (db/README.md says where each lives).
    Rows rows;
    if (!query(sqlca,
               QStringLiteral("SELECT h.code, h.name, h.unit, h.note, h.sz, t.provisional_rate, t.general_rate, "
                              "h.zssl_set, h.zssl_set1, h.tsl_ym, t.export_tax_rate, t.export_provisional_rate, "
                              "t.supervision_conditions, h.splb, t.declaration_elements "
                              "FROM list_hscode h LEFT JOIN tariff_line t ON t.code = h.code "
                              "WHERE length(h.code) = 10"),
               1 + kFieldCount, &rows, error))
        return false;
    s->lines.reserve(rows.size());
    for (const QVector<QVariant> &row : std::as_const(rows)) {
        LineFields fields;
        for (int f = 0; f < kFieldCount; ++f) {
            const QString value = row.value(f + 1).toString().trimmed();
            fields[size_t(f)] = value.isEmpty() ? QString() : value;
        }
        s->lines.insert(row.value(0).toString().trimmed(), fields);
    }

    rows.clear();
    if (!query(sqlca, QStringLiteral("SELECT code, name, unit FROM list_hscode WHERE length(code) < 10"), 3, &rows,
               error))
        return false;
    for (const QVector<QVariant> &row : std::as_const(rows)) {
        const QString code = row.value(0).toString().trimmed();
        if (code.size() == 2)
            s->chapterNames.insert(code, row.value(1).toString());
        else {
            s->headingUnits.insert(code, row.value(2).toString());
            s->headingNames.insert(code, row.value(1).toString());
        }
    }

    rows.clear();
    if (!query(sqlca, QStringLiteral("SELECT jmw_code, unit, name, m_flag FROM list_jmwcode"), 4, &rows, error))
        return false;
    for (const QVector<QVariant> &row : std::as_const(rows)) {
        const QString code = row.value(0).toString().trimmed();
        s->tradeNames.insert(code, row.value(2).toString());
        s->tradeMachinery.insert(code, row.value(3).toString().trimmed());
        if (code.size() == 2)
            s->tradeChapters.insert(code);
        else
            s->tradeHeadingUnits.insert(code, row.value(1).toString());
    }

    rows.clear();
    if (!query(sqlca, QStringLiteral("SELECT code, item_count FROM tariff_chapter"), 2, &rows, error))
        return false;
    for (const QVector<QVariant> &row : std::as_const(rows))
        s->chapterItemCounts.insert(row.value(0).toString().trimmed(), row.value(1).toInt());

    rows.clear();
    if (!query(sqlca, QStringLiteral("SELECT list, code FROM user_note"), 2, &rows, error))
        return false;
    for (const QVector<QVariant> &row : std::as_const(rows)) {
        const QString list = row.value(0).toString().trimmed();
        if (list == tariff::NotesStore::hsList())
            s->notedCodes.insert(row.value(1).toString().trimmed());
        else if (list == tariff::NotesStore::jmwList())
            s->tradeNotedCodes.insert(row.value(1).toString().trimmed());
    }
    return tariff::HeadingNames::read(sqlca, &s->chineseHeadingNames, error, &s->hasChineseHeadingNames);
}

} // namespace edition
