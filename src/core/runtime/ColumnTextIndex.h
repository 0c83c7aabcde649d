#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>

namespace runtime {

// The rows of one column grouped by their text, so that "column = 'text'" finds its first
// row in a range without testing every row. Rows are 0-based, in ascending order per text.
// Null items are left out (they never equal a text). A column that also holds numbers or
// other non-text values cannot be indexed: there a text compares as a number, so equality
// is no longer the identity of the texts; usable() is then false.
class ColumnTextIndex
{
public:
    // The values of the column, in row order.
    explicit ColumnTextIndex(const QVector<QVariant> &values);

    bool usable() const { return m_usable; }

    // The first row holding text between from and to (both included; backwards when
    // from > to), or -1 when there is none.
    int find(const QString &text, int from, int to) const;

private:
    QHash<QString, QVector<int>> m_rows;
    bool m_usable = true;
};

} // namespace runtime
