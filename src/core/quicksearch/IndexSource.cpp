#include "core/quicksearch/IndexSource.h"

#include "core/catalog/CommodityTreeBuilder.h"
#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/tariff/HeadingNames.h"

#include <QSet>

namespace quicksearch {

namespace {
using runtime::ColumnType;

// Declaration elements read in one step, and codes of a list looked through in one step: a
// few milliseconds' worth each.
constexpr int kElementsPage = 500;
constexpr int kCodesPage = 2000;

QVector<QVector<QVariant>> query(runtime::Transaction *sqlca, const QString &sql, int columns, bool *ok = nullptr,
                                 const QVector<QVariant> &params = {})
{
    QVector<QVector<QVariant>> rows;
    if (ok)
        *ok = false;
    if (!sqlca || !sqlca->isConnected())
        return rows;
    const QList<ColumnType> types(columns, ColumnType::String);
    if (sqlca->select(sqlca->adaptSql(sql), types, &rows, params) != 0)
        rows.clear();
    else if (ok)
        *ok = true;
    return rows;
}

QString keyOf(CodeList list, const QString &code)
{
    return codeListKey(list) + QLatin1Char(':') + code;
}

IndexSource::ListRows rowsOf(const runtime::DataView &view, const CommodityTreeBuilder::Variant &variant)
{
    return {view.rowsSnapshot(), view.columnNumber(variant.codeColumn) - 1, view.columnNumber(variant.nameColumn) - 1};
}

void addList(const IndexSource::ListRows &list, CodeList codeList, QList<IndexRow> *rows, QSet<QString> *keys)
{
    if (list.codeColumn < 0)
        return;
    for (TreeCodes::Entry &entry : CommodityTreeBuilder::entries(list.rows, list.codeColumn, list.nameColumn)) {
        keys->insert(keyOf(codeList, entry.code));
        rows->append({codeList, std::move(entry.code), std::move(entry.name), QString(), QString()});
    }
}
} // namespace

IndexSource::Taken IndexSource::begin(const runtime::DataView &customs, const runtime::DataView &foreignTrade)
{
    Taken taken;
    taken.customs = rowsOf(customs, CommodityTreeBuilder::customs());
    taken.foreignTrade = rowsOf(foreignTrade, CommodityTreeBuilder::foreignTrade());
    return taken;
}

void IndexSource::takeNotesAndNames(runtime::Transaction *sqlca, Taken *taken)
{
    for (const auto &row : query(sqlca, QStringLiteral("SELECT list, code, note, keywords FROM user_note"), 4)) {
        const auto list = codeListFromKey(row.value(0).toString());
        if (!list)
            continue;
        const QString code = row.value(1).toString().trimmed();
        taken->notes.insert(keyOf(*list, code),
                            (row.value(2).toString() + QLatin1Char(' ') + row.value(3).toString()).trimmed());
        taken->notedCodes.insert(keyOf(*list, code), {*list, code});
    }
    tariff::HeadingNames::read(sqlca, &taken->chineseNames);
    taken->listsRead = true;
}

bool IndexSource::takeElements(runtime::Transaction *sqlca, Taken *taken, QString *after)
{
    // By code, a page after the last code read: each page a short look-up in the key's index.
    const auto rows = query(sqlca,
                            QStringLiteral("SELECT code, declaration_elements FROM tariff_line WHERE "
                                           "declaration_elements IS NOT NULL AND code > ? ORDER BY code LIMIT %1")
                                .arg(kElementsPage),
                            2, nullptr, {*after});
    // Thousands of lines have the same elements: their rows in the index share one text.
    for (const auto &row : rows) {
        const QString text = row.value(1).toString();
        auto known = taken->distinctElements.constFind(text);
        if (known == taken->distinctElements.cend())
            known = taken->distinctElements.insert(text);
        taken->elements.insert(row.value(0).toString(), *known);
    }
    if (!rows.isEmpty())
        *after = rows.last().value(0).toString();
    return rows.size() == kElementsPage;
}

bool IndexSource::takeUnchosen(runtime::Transaction *sqlca, Taken *taken, CodeList list, QString *after)
{
    // The list's rows outside the chosen chapters (those in them are the view's rows), by code,
    // a range of codes at a time: the range's last code first, then the rows in it.
    const QString table = list == CodeList::Customs ? QStringLiteral("list_hscode") : QStringLiteral("list_jmwcode");
    const QString code = list == CodeList::Customs ? QStringLiteral("code") : QStringLiteral("jmw_code");
    bool ok = false;
    const auto last = query(sqlca,
                            QStringLiteral("SELECT %1 FROM %2 WHERE %1 > ? ORDER BY %1 LIMIT 1 OFFSET %3")
                                .arg(code, table)
                                .arg(kCodesPage - 1),
                            1, &ok, {*after});
    taken->listsRead = taken->listsRead && ok;
    const bool more = ok && !last.isEmpty();
    // Each row's chapter is looked up by its key, so that a step reads only its range.
    QString sql = QStringLiteral("SELECT t.%1, t.name FROM %2 t WHERE t.%1 > ? AND NOT EXISTS (SELECT 1 FROM %2 c "
                                 "WHERE c.%1 = substr(t.%1, 1, 2) AND length(c.%1) = 2 AND c.flag = 'Y')")
                      .arg(code, table);
    QVector<QVariant> params{*after};
    if (more) {
        sql += QStringLiteral(" AND t.%1 <= ?").arg(code);
        params.append(last.first().value(0));
    }
    const auto rows = query(sqlca, sql + QStringLiteral(" ORDER BY t.%1").arg(code), 2, &ok, params);
    taken->listsRead = taken->listsRead && ok;
    for (const auto &row : rows)
        taken->unchosen.append({list, {row.value(0).toString().trimmed(), row.value(1).toString()}});
    if (more)
        *after = last.first().value(0).toString();
    return more && ok;
}

IndexSource::Input IndexSource::assemble(const Taken &taken)
{
    Input input;
    input.kept = {taken.customs.rows, taken.foreignTrade.rows};
    QSet<QString> inTrees;
    addList(taken.customs, CodeList::Customs, &input.rows, &inTrees);
    addList(taken.foreignTrade, CodeList::ForeignTrade, &input.rows, &inTrees);
    for (IndexRow &row : input.rows) {
        if (row.list == CodeList::Customs)
            row.declarationElements = taken.elements.value(row.code);
        row.notes = taken.notes.value(keyOf(row.list, row.code));
    }

    QSet<QString> inLists = inTrees;
    for (const auto &[list, row] : taken.unchosen) {
        const QString &code = row.first;
        if (code.isEmpty())
            continue;
        inLists.insert(keyOf(list, code));
        if (inTrees.contains(keyOf(list, code)))
            continue;
        input.unchosenRows.append({list, code,
                                   list == CodeList::Customs
                                       ? tariff::HeadingNames::shown(taken.chineseNames, code, row.second)
                                       : row.second,
                                   QString(), QString()});
    }
    // Notes on codes an import removed: the note stays, and the search still finds it.
    if (taken.listsRead)
        for (auto it = taken.notedCodes.cbegin(); it != taken.notedCodes.cend(); ++it)
            if (!inLists.contains(it.key()))
                input.rows.append({it.value().first, it.value().second, QString(), QString(),
                                   taken.notes.value(it.key()), true});
    return input;
}

} // namespace quicksearch
