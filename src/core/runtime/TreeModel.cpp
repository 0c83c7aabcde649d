#include "core/runtime/TreeModel.h"

#include <utility>

#include <QFont>

#include <algorithm>

namespace runtime {

TreeModel::TreeModel(QObject *parent)
    : QAbstractItemModel(parent)
{
}

TreeModel::~TreeModel() = default;

TreeModel::Node *TreeModel::node(long handle)
{
    if (handle < m_base)
        return nullptr;
    const auto slot = static_cast<std::size_t>(handle - m_base);
    if (slot >= m_nodes.size() || !m_nodes[slot].alive)
        return nullptr;
    return &m_nodes[slot];
}

const TreeModel::Node *TreeModel::node(long handle) const
{
    return const_cast<TreeModel *>(this)->node(handle);
}

const std::vector<long> *TreeModel::siblingsOf(long parentHandle) const
{
    static const std::vector<long> none;
    if (parentHandle == 0)
        return &m_topLevel;
    const Node *parent = node(parentHandle);
    if (!parent)
        return nullptr;
    return parent->children ? parent->children.get() : &none;
}

std::vector<long> *TreeModel::siblingsToChange(long parentHandle)
{
    if (parentHandle == 0)
        return &m_topLevel;
    Node *parent = node(parentHandle);
    if (!parent)
        return nullptr;
    if (!parent->children)
        parent->children = std::make_unique<std::vector<long>>();
    return parent->children.get();
}

bool TreeModel::isValidHandle(long handle) const
{
    return node(handle) != nullptr;
}

void TreeModel::renumber(std::vector<long> &siblings, int from)
{
    for (std::size_t i = static_cast<std::size_t>(from); i < siblings.size(); ++i)
        node(siblings[i])->row = static_cast<int>(i);
}

long TreeModel::insertAt(long parentHandle, int position, const TreeItem &item)
{
    if (!siblingsOf(parentHandle))
        return -1;
    const bool signal = !inBulkUpdate();
    if (signal)
        beginInsertRows(index(parentHandle), position, position);

    // The vector may move: look the siblings up again after growing it.
    const long handle = m_base + static_cast<long>(m_nodes.size());
    m_nodes.emplace_back();
    Node &created = m_nodes.back();
    keep(handle, created, item);
    created.parent = parentHandle;
    created.alive = true;

    std::vector<long> &siblings = *siblingsToChange(parentHandle);
    siblings.insert(siblings.begin() + position, handle);
    renumber(siblings, position);
    ++m_count;

    if (signal)
        endInsertRows();
    return handle;
}

long TreeModel::insertItemFirst(long parentHandle, const TreeItem &item)
{
    return insertAt(parentHandle, 0, item);
}

long TreeModel::insertItemLast(long parentHandle, const TreeItem &item)
{
    const std::vector<long> *siblings = siblingsOf(parentHandle);
    if (!siblings)
        return -1;
    return insertAt(parentHandle, static_cast<int>(siblings->size()), item);
}

long TreeModel::insertItemSort(long parentHandle, const TreeItem &item)
{
    const std::vector<long> *siblings = siblingsOf(parentHandle);
    if (!siblings)
        return -1;
    // After every sibling that sorts before or equal to the new label.
    int position = 0;
    for (long sibling : *siblings) {
        if (QString::compare(labelOf(sibling, *node(sibling)), item.label, Qt::CaseInsensitive) > 0)
            break;
        ++position;
    }
    return insertAt(parentHandle, position, item);
}

long TreeModel::insertItemAfter(long parentHandle, long afterHandle, const TreeItem &item)
{
    const Node *after = node(afterHandle);
    if (!after || after->parent != parentHandle)
        return -1;
    return insertAt(parentHandle, after->row + 1, item);
}

void TreeModel::keep(long handle, Node &node, const TreeItem &item)
{
    node.data = item.data;
    node.pictureIndex = item.pictureIndex;
    node.selectedPictureIndex = item.selectedPictureIndex;
    node.statePictureIndex = item.statePictureIndex;
    node.overlayPictureIndex = item.overlayPictureIndex;
    node.bold = item.bold;
    node.labelMade = false;
    if (item.label.isEmpty())
        m_labels.remove(handle);
    else
        m_labels.insert(handle, item.label);
}

int TreeModel::getItem(long handle, TreeItem &item) const
{
    const Node *found = node(handle);
    if (!found)
        return -1;
    item.label = labelOf(handle, *found);
    item.data = found->data;
    item.pictureIndex = found->pictureIndex;
    item.selectedPictureIndex = found->selectedPictureIndex;
    item.statePictureIndex = found->statePictureIndex;
    item.overlayPictureIndex = found->overlayPictureIndex;
    item.bold = found->bold;
    item.handle = handle;
    item.expanded = found->expanded;
    item.hasChildren = found->children && !found->children->empty();
    return 1;
}

int TreeModel::setItem(long handle, const TreeItem &item)
{
    Node *found = node(handle);
    if (!found)
        return -1;
    if (found->data != item.data)
        found->dataRow = -1;
    keep(handle, *found, item);
    if (!inBulkUpdate()) {
        const QModelIndex changed = index(handle);
        emit dataChanged(changed, changed);
    }
    return 1;
}

void TreeModel::releaseSubtree(long handle)
{
    // Iterative, so that deep trees cannot exhaust the stack.
    std::vector<long> pending{handle};
    while (!pending.empty()) {
        const long current = pending.back();
        pending.pop_back();
        Node *dead = node(current);
        if (dead->children)
            pending.insert(pending.end(), dead->children->begin(), dead->children->end());
        *dead = Node();
        m_labels.remove(current);
        m_expanded.remove(current);
        if (m_current == current)
            m_current = 0;
        --m_count;
    }
}

int TreeModel::deleteItem(long handle)
{
    Node *found = node(handle);
    if (!found)
        return -1;
    const long parentHandle = found->parent;
    const int row = found->row;
    const bool signal = !inBulkUpdate();
    if (signal)
        beginRemoveRows(index(parentHandle), row, row);
    std::vector<long> &siblings = *siblingsToChange(parentHandle);
    siblings.erase(siblings.begin() + row);
    releaseSubtree(handle);
    renumber(siblings, row);
    if (signal)
        endRemoveRows();
    return 1;
}

int TreeModel::deleteAllItems()
{
    const bool signal = !inBulkUpdate();
    if (signal)
        beginResetModel();
    // Later handles start after every handle given so far, so old ones stay invalid.
    m_base += static_cast<long>(m_nodes.size());
    m_nodes.clear();
    m_nodes.shrink_to_fit();
    m_topLevel.clear();
    m_count = 0;
    m_current = 0;
    m_dataRowsVersion = 0;
    m_expanded.clear();
    m_labels.clear();
    m_labels.squeeze();
    if (signal)
        endResetModel();
    return 1;
}

QString TreeModel::labelOf(long handle, const Node &node) const
{
    if (!node.labelMade)
        return m_labels.value(handle);
    return m_labelMaker ? m_labelMaker(handle, node.data) : QString();
}

int TreeModel::setLabelMade(long handle)
{
    Node *found = node(handle);
    if (!found)
        return -1;
    found->labelMade = true;
    m_labels.remove(handle);
    return 1;
}

int TreeModel::setLabel(long handle, const QString &label)
{
    Node *found = node(handle);
    if (!found)
        return -1;
    found->labelMade = false;
    if (label.isEmpty())
        m_labels.remove(handle);
    else
        m_labels.insert(handle, label);
    if (!inBulkUpdate()) {
        const QModelIndex changed = index(handle);
        emit dataChanged(changed, changed);
    }
    return 1;
}

QString TreeModel::label(long handle) const
{
    const Node *found = node(handle);
    return found ? labelOf(handle, *found) : QString();
}

bool TreeModel::isBold(long handle) const
{
    const Node *found = node(handle);
    return found && found->bold;
}

void TreeModel::setDataRow(long handle, long row)
{
    if (Node *found = node(handle))
        found->dataRow = static_cast<int>(row);
}

long TreeModel::dataRow(long handle) const
{
    const Node *found = node(handle);
    return found ? found->dataRow : -1;
}

long TreeModel::findItem(TreeNavigation navigation, long handle) const
{
    switch (navigation) {
    case TreeNavigation::Root:
        return m_topLevel.empty() ? -1 : m_topLevel.front();
    case TreeNavigation::Current:
        return isValidHandle(m_current) ? m_current : -1;
    case TreeNavigation::Child: {
        const std::vector<long> *children = siblingsOf(handle);
        return (children && !children->empty()) ? children->front() : -1;
    }
    case TreeNavigation::Next:
    case TreeNavigation::Previous: {
        const Node *found = node(handle);
        if (!found)
            return -1;
        const std::vector<long> &siblings = *siblingsOf(found->parent);
        const int row = found->row + (navigation == TreeNavigation::Next ? 1 : -1);
        if (row < 0 || row >= static_cast<int>(siblings.size()))
            return -1;
        return siblings[static_cast<std::size_t>(row)];
    }
    case TreeNavigation::Parent: {
        const Node *found = node(handle);
        return (found && found->parent > 0) ? found->parent : -1;
    }
    }
    return -1;
}

int TreeModel::childCount(long handle) const
{
    const std::vector<long> *children = siblingsOf(handle);
    return children ? static_cast<int>(children->size()) : -1;
}

QModelIndex TreeModel::index(long handle) const
{
    const Node *found = node(handle);
    if (!found)
        return QModelIndex();
    return createIndex(found->row, 0, static_cast<quintptr>(handle));
}

long TreeModel::handle(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return 0;
    return static_cast<long>(index.internalId());
}

void TreeModel::setCurrentHandle(long handle)
{
    m_current = isValidHandle(handle) ? handle : 0;
}

long TreeModel::currentHandle() const
{
    return isValidHandle(m_current) ? m_current : 0;
}

void TreeModel::setExpandedFlag(long handle, bool expanded)
{
    Node *found = node(handle);
    if (!found)
        return;
    found->expanded = expanded;
    if (expanded)
        m_expanded.insert(handle);
    else
        m_expanded.remove(handle);
}

bool TreeModel::isExpandedFlag(long handle) const
{
    const Node *found = node(handle);
    return found && found->expanded;
}

QList<long> TreeModel::expandedHandles() const
{
    QList<long> handles(m_expanded.begin(), m_expanded.end());
    std::sort(handles.begin(), handles.end());
    return handles;
}

void TreeModel::beginBulkUpdate()
{
    if (m_bulkDepth++ == 0)
        beginResetModel();
}

void TreeModel::endBulkUpdate()
{
    if (m_bulkDepth == 0)
        return;
    if (--m_bulkDepth == 0)
        endResetModel();
}

void TreeModel::reserve(int itemCount)
{
    if (itemCount > 0)
        m_nodes.reserve(static_cast<std::size_t>(itemCount));
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return QModelIndex();
    const std::vector<long> *siblings = siblingsOf(handle(parent));
    if (!siblings || row >= static_cast<int>(siblings->size()))
        return QModelIndex();
    return createIndex(row, 0, static_cast<quintptr>((*siblings)[static_cast<std::size_t>(row)]));
}

QModelIndex TreeModel::parent(const QModelIndex &child) const
{
    const Node *found = node(handle(child));
    if (!found || found->parent == 0)
        return QModelIndex();
    return index(found->parent);
}

int TreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const std::vector<long> *children = siblingsOf(handle(parent));
    return children ? static_cast<int>(children->size()) : 0;
}

int TreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool TreeModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

QVariant TreeModel::data(const QModelIndex &index, int role) const
{
    const long itemHandle = handle(index);
    const Node *found = node(itemHandle);
    if (!found)
        return QVariant();
    const Node &item = *found;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        return labelOf(itemHandle, *found);
    case Qt::FontRole:
        if (item.bold) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return QVariant();
    case HandleRole:
        return QVariant::fromValue(static_cast<qlonglong>(handle(index)));
    case ItemDataRole:
        return item.data;
    case PictureIndexRole:
        return item.pictureIndex;
    case SelectedPictureIndexRole:
        return item.selectedPictureIndex;
    case StatePictureIndexRole:
        return item.statePictureIndex;
    case OverlayPictureIndexRole:
        return item.overlayPictureIndex;
    case MarkRole:
        return !m_marked.isEmpty() && m_marked.contains(item.data.toString());
    case Qt::AccessibleDescriptionRole:
        if (!m_marked.isEmpty() && m_marked.contains(item.data.toString()))
            return m_markDescription;
        return QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags TreeModel::flags(const QModelIndex &index) const
{
    if (!node(handle(index)))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace runtime
