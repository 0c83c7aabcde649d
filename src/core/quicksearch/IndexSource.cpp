#include "core/quicksearch/IndexSource.h"

#include "core/catalog/TreeCodes.h"
#include "core/runtime/Transaction.h"
#include "core/tariff/HeadingNames.h"

#include <QHash>
#include <QSet>

namespace quicksearch {

namespace {
using runtime::ColumnType;

QVector<QVector<QVariant>> query(runtime::Transaction *sqlca, const QString &sql, int columns, bool *ok = nullptr)
{
    QVector<QVector<QVariant>> rows;
    if (ok)
        *ok = false;
    if (!sqlca || !sqlca->isConnected())
        return rows;
    const QList<ColumnType> types(columns, ColumnType::String);
    if (sqlca->select(sqlca->adaptSql(sql), types, &rows) != 0)
        rows.clear();
    else if (ok)
        *ok = true;
    return rows;
}

QString keyOf(CodeList list, const QString &code)
{
    return codeListKey(list) + QLatin1Char(':') + code;
}

void addTree(const runtime::TreeModel &tree, CodeList list, QList<IndexRow> *rows, QSet<QString> *keys)
{
    for (const TreeCodes::Entry &entry : TreeCodes::entries(tree)) {
        rows->append({list, entry.code, entry.name, QString(), QString()});
        keys->insert(keyOf(list, entry.code));
    }
}
} // namespace

IndexSource::Input IndexSource::collect(const runtime::TreeModel &customs, const runtime::TreeModel &foreignTrade,
                                        runtime::Transaction *sqlca)
{
    Input input;
    QSet<QString> inTrees;
    addTree(customs, CodeList::Customs, &input.rows, &inTrees);
    addTree(foreignTrade, CodeList::ForeignTrade, &input.rows, &inTrees);

    QHash<QString, QString> elements;
    for (const auto &row : query(sqlca, QStringLiteral("SELECT code, declaration_elements FROM tariff_line "
                                                       "WHERE declaration_elements IS NOT NULL"), 2))
        elements.insert(row.value(0).toString(), row.value(1).toString());
    QHash<QString, QString> notes;
    QHash<QString, std::pair<CodeList, QString>> notedCodes; // key -> list and code
    for (const auto &row : query(sqlca, QStringLiteral("SELECT list, code, note, keywords FROM user_note"), 4)) {
        const auto list = codeListFromKey(row.value(0).toString());
        if (!list)
            continue;
        const QString code = row.value(1).toString().trimmed();
        notes.insert(keyOf(*list, code),
                     (row.value(2).toString() + QLatin1Char(' ') + row.value(3).toString()).trimmed());
        notedCodes.insert(keyOf(*list, code), {*list, code});
    }
    for (IndexRow &row : input.rows) {
        if (row.list == CodeList::Customs)
            row.declarationElements = elements.value(row.code);
        row.notes = notes.value(keyOf(row.list, row.code));
    }

    const struct {
        CodeList list;
        const char *sql;
    } tables[] = {{CodeList::Customs, "SELECT code, name FROM list_hscode"},
                  {CodeList::ForeignTrade, "SELECT jmw_code, name FROM list_jmwcode"}};
    QHash<QString, QString> chineseNames;
    tariff::HeadingNames::read(sqlca, &chineseNames);
    QSet<QString> inLists = inTrees;
    bool listsRead = true;
    for (const auto &table : tables) {
        bool ok = false;
        const auto rows = query(sqlca, QString::fromLatin1(table.sql), 2, &ok);
        listsRead = listsRead && ok;
        for (const auto &row : rows) {
            const QString code = row.value(0).toString().trimmed();
            if (code.isEmpty())
                continue;
            inLists.insert(keyOf(table.list, code));
            if (inTrees.contains(keyOf(table.list, code)))
                continue;
            const QString name = row.value(1).toString();
            input.unchosenRows.append({table.list, code,
                                       table.list == CodeList::Customs
                                           ? tariff::HeadingNames::shown(chineseNames, code, name)
                                           : name,
                                       QString(), QString()});
        }
    }
    // Notes on codes an import removed: the note stays, and the search still finds it.
    if (listsRead)
        for (auto it = notedCodes.cbegin(); it != notedCodes.cend(); ++it)
            if (!inLists.contains(it.key()))
                input.rows.append({it.value().first, it.value().second, QString(), QString(), notes.value(it.key()),
                                   true});
    return input;
}

} // namespace quicksearch
