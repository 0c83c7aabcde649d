// The note marks of a tree's items (setMarkedData, isMarked).
#include "core/runtime/TreeModel.h"

#include <utility>

namespace runtime {

void TreeModel::setMarkedData(const QSet<QString> &values, const QString &description)
{
    const QSet<QString> before = std::exchange(m_marked, values);
    const bool describedAnew = description != m_markDescription;
    m_markDescription = description;
    if (m_bulkDepth > 0)
        return; // the bulk update's reset repaints everything
    for (size_t i = 0; i < m_nodes.size(); ++i) {
        const Node &n = m_nodes[i];
        if (!n.alive)
            continue;
        const QString data = n.data.toString();
        const bool was = before.contains(data), is = m_marked.contains(data);
        if (was != is || (is && describedAnew)) {
            const QModelIndex at = index(m_base + long(i));
            emit dataChanged(at, at, {MarkRole, Qt::AccessibleDescriptionRole});
        }
    }
}

bool TreeModel::isMarked(long handle) const
{
    const Node *found = node(handle);
    return found && m_marked.contains(found->data.toString());
}

} // namespace runtime
