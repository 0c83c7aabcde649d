#pragma once

#include "core/runtime/ColumnStore.h"
#include "core/runtime/DataViewDefinition.h"

#include <QPair>
#include <QString>
#include <QVariant>
#include <QVector>

namespace runtime {

// The sort criteria of a data view: "col A, col2 D" (A ascending, the default; D descending;
// a column given by name without regard to case or as #n), and the stable order they give.
class SortCriteria
{
public:
    // Replaces the criteria; false (and nothing changes) for an unknown column or direction.
    bool parse(const QString &text, const QList<ColumnDefinition> &columns);
    void clear() { m_keys.clear(); }
    bool isEmpty() const { return m_keys.isEmpty(); }

    // The rows' new order, order[newIndex] = oldIndex; rows that compare equal keep their order.
    QVector<int> order(const ColumnStore &rows, const QList<ColumnDefinition> &columns) const;

private:
    QVector<QPair<int, bool>> m_keys; // 0-based column, descending
};

} // namespace runtime
