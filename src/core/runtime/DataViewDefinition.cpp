#include "core/runtime/DataViewDefinition.h"

namespace runtime {

int DataViewDefinition::columnIndex(const QString &column) const
{
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i).name.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace runtime
