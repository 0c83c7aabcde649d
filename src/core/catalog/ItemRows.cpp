#include "core/catalog/ItemRows.h"

#include "core/runtime/DataView.h"
#include "core/runtime/FindExpression.h"
#include "core/runtime/TreeModel.h"

namespace ItemRows {

long rowOf(const runtime::TreeModel &tree, const runtime::DataView &rows, long handle, const QString &codeColumn,
           const QString &code)
{
    if (tree.dataRowsVersion() != 0 && tree.dataRowsVersion() == rows.rowsVersion()) {
        const long row = tree.dataRow(handle);
        if (row >= 0)
            return row;
    }
    return rows.find(codeColumn + QLatin1Char('=') + runtime::quotedLiteral(code), 1, rows.rowCount());
}

} // namespace ItemRows
