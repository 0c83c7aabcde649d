#pragma once

#include <QString>

namespace runtime {
class DataView;
class TreeModel;
}

// The row of a list that a commodity tree's item stands for: the first row holding the item's
// code, 0 when none does (the root). Taken from what the tree builder noted for each item
// while the rows are still those it read; otherwise searched for.
namespace ItemRows {

long rowOf(const runtime::TreeModel &tree, const runtime::DataView &rows, long handle, const QString &codeColumn,
           const QString &code);

} // namespace ItemRows
