#include "quicksearch/IndexSource.h"

#include "mainwin/TreeCodes.h"
#include "runtime/Transaction.h"

#include <QHash>
#include <QSet>

namespace quicksearch {

namespace {
using runtime::ColumnType;

QVector<QVector<QVariant>> query(runtime::Transaction *sqlca, const QString &sql, int columns)
{
    QVector<QVector<QVariant>> rows;
    if (!sqlca || !sqlca->isConnected())
        return rows;
    const QList<ColumnType> types(columns, ColumnType::String);
    if (sqlca->select(sqlca->adaptSql(sql), types, &rows) != 0)
        rows.clear();
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
    for (const auto &row : query(sqlca, QStringLiteral("SELECT list, code, note, keywords FROM user_note"), 4)) {
        const auto list = codeListFromKey(row.value(0).toString());
        if (!list)
            continue;
        notes.insert(keyOf(*list, row.value(1).toString()),
                     (row.value(2).toString() + QLatin1Char(' ') + row.value(3).toString()).trimmed());
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
    for (const auto &table : tables)
        for (const auto &row : query(sqlca, QString::fromLatin1(table.sql), 2)) {
            const QString code = row.value(0).toString().trimmed();
            if (!code.isEmpty() && !inTrees.contains(keyOf(table.list, code)))
                input.unchosenRows.append({table.list, code, row.value(1).toString(), QString(), QString()});
        }
    return input;
}

} // namespace quicksearch
