#include "core/runtime/ColumnTextIndex.h"

#include "core/runtime/ItemValues.h"

#include <algorithm>

namespace runtime {

namespace iv = itemvalues;

ColumnTextIndex::ColumnTextIndex(const QVector<QVariant> &values)
{
    for (int r = 0; r < values.size(); ++r) {
        const QVariant &value = values.at(r);
        if (iv::isNull(value))
            continue;
        const QString *text = iv::textOf(value);
        if (!text) {
            m_usable = false;
            m_rows.clear();
            return;
        }
        m_rows[*text].append(r);
    }
}

int ColumnTextIndex::find(const QString &text, int from, int to) const
{
    const auto it = m_rows.constFind(text);
    if (it == m_rows.cend())
        return -1;
    const QVector<int> &rows = *it;
    if (from <= to) {
        const auto first = std::lower_bound(rows.cbegin(), rows.cend(), from);
        return first != rows.cend() && *first <= to ? *first : -1;
    }
    // The last row not after from, walking backwards.
    const auto past = std::upper_bound(rows.cbegin(), rows.cend(), from);
    if (past == rows.cbegin())
        return -1;
    const int row = *(past - 1);
    return row >= to ? row : -1;
}

} // namespace runtime
