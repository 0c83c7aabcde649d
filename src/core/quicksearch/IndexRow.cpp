#include "core/quicksearch/IndexRow.h"

namespace quicksearch {

QString codeListKey(CodeList list)
{
    return tariff::listKey(list);
}

QString codeListLabel(CodeList list)
{
    return tariff::listLabel(list);
}

std::optional<CodeList> codeListFromKey(const QString &key)
{
    return tariff::listFromKey(key);
}

} // namespace quicksearch
