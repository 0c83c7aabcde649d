#include "core/runtime/SortCriteria.h"

#include "core/runtime/ItemValues.h"

#include <QRegularExpression>

#include <algorithm>
#include <numeric>

namespace runtime {

bool SortCriteria::parse(const QString &text, const QList<ColumnDefinition> &columns)
{
    QVector<QPair<int, bool>> keys;
    const QStringList parts = text.split(u',', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        const QStringList words = part.split(blanks, Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        if (words.size() > 2)
            return false;
        int column = -1;
        if (words.first().startsWith(u'#')) {
            bool ok = false;
            column = words.first().mid(1).toInt(&ok) - 1;
            if (!ok || column < 0 || column >= columns.size())
                return false;
        } else {
            for (int i = 0; i < columns.size() && column < 0; ++i) {
                if (columns.at(i).name.compare(words.first(), Qt::CaseInsensitive) == 0)
                    column = i;
            }
            if (column < 0)
                return false;
        }
        bool descending = false;
        if (words.size() == 2) {
            const QString direction = words.at(1).toLower();
            if (direction == u"d" || direction == u"desc")
                descending = true;
            else if (direction != u"a" && direction != u"asc")
                return false;
        }
        keys.append({column, descending});
    }
    m_keys = keys;
    return true;
}

QVector<int> SortCriteria::order(const ColumnStore &rows, const QList<ColumnDefinition> &columns) const
{
    // Each key column's values taken once: a comparison then reads plain variants.
    QVector<QVector<QVariant>> keys;
    for (const auto &key : m_keys)
        keys.append(key.first < rows.columnCount() ? rows.column(key.first) : QVector<QVariant>(rows.rowCount()));
    QVector<int> order(rows.rowCount());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (qsizetype k = 0; k < m_keys.size(); ++k) {
            const auto &[column, descending] = m_keys.at(k);
            const int c = itemvalues::compare(keys.at(k).at(a), keys.at(k).at(b), columns.at(column).type);
            if (c != 0)
                return descending ? c > 0 : c < 0;
        }
        return false;
    });
    return order;
}

} // namespace runtime
