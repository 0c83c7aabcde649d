#include "core/library/ItemSearch.h"

#include <QRegularExpression>

#include <algorithm>

namespace library {

void ItemSearch::setItems(const QList<Item> &items)
{
    m_rows.clear();
    m_rows.reserve(items.size());
    for (const Item &it : items)
        m_rows.append({{it.partNumber, it.name, it.model, it.code},
                       it.partNumber.toLower(),
                       QStringList{it.partNumber, it.name, it.model}.join(u'\t').toLower()});
    std::sort(m_rows.begin(), m_rows.end(), [](const Row &a, const Row &b) { return a.hit.partNumber < b.hit.partNumber; });
}

QList<ItemSearch::Hit> ItemSearch::find(const QString &text, int limit, int *total) const
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QString whole = text.trimmed().toLower();
    const QStringList words = whole.split(blanks, Qt::SkipEmptyParts);
    QList<const Row *> exact, starting, other;
    if (!words.isEmpty()) {
        for (const Row &row : m_rows) {
            if (!std::all_of(words.cbegin(), words.cend(), [&row](const QString &w) { return row.haystack.contains(w); }))
                continue;
            if (row.part == whole)
                exact << &row;
            else if (row.part.startsWith(whole))
                starting << &row;
            else
                other << &row;
        }
    }
    if (total)
        *total = int(exact.size() + starting.size() + other.size());
    QList<Hit> hits;
    for (const QList<const Row *> *group : {&exact, &starting, &other})
        for (const Row *row : *group) {
            if (hits.size() >= limit)
                return hits;
            hits << row->hit;
        }
    return hits;
}

} // namespace library
