#include "ui/runtime/TreeView.h"

#include "core/runtime/StockPictures.h"
#include "ui/runtime/KeptImageScrollBar.h"
#include "ui/runtime/TreeColumnWidth.h"
#include "ui/runtime/TreeItemDelegate.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPixmap>

namespace runtime {

// Lets every change of the current item pass the view's selectionChanging test, and keeps
// the selection equal to the current item.
class TreeSelectionModel : public QItemSelectionModel
{
public:
    TreeSelectionModel(TreeModel *model, TreeView *view)
        : QItemSelectionModel(model, view)
        , m_model(model)
        , m_view(view)
    {
    }

    void setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override
    {
        if (m_view->m_restoring) {
            QItemSelectionModel::setCurrentIndex(index, command);
            return;
        }
        const long newHandle = m_model->handle(index);
        const long oldHandle = m_view->m_selectedHandle;
        if (newHandle != oldHandle && m_view->refuseSelectionChange(oldHandle, newHandle))
            return;
        QItemSelectionModel::setCurrentIndex(index, index.isValid() ? ClearAndSelect : Clear);
    }

private:
    TreeModel *m_model;
    TreeView *m_view;
};

TreeView::TreeView(QWidget *parent)
    : QTreeView(parent)
    , m_model(new TreeModel(this))
{
    QTreeView::setModel(m_model);
    QItemSelectionModel *standard = selectionModel();
    setSelectionModel(new TreeSelectionModel(m_model, this));
    delete standard;
    setItemDelegate(new TreeItemDelegate(this));

    setHeaderHidden(true);
    setVerticalScrollBar(new KeptImageScrollBar(Qt::Vertical, this));
    setHorizontalScrollBar(new KeptImageScrollBar(Qt::Horizontal, this));
    // The column is as wide as the widest item, measured when items change, never while a
    // branch opens or an item is selected.
    m_columnWidth = new TreeColumnWidth(this);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    header()->setStretchLastSection(false);
    // Every row is as high as the first: no per-item size queries over big trees.
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(m_pictures.size);
    viewport()->setMouseTracking(true);

    connect(this, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        m_model->setExpandedFlag(m_model->handle(index), true);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex &index) {
        m_model->setExpandedFlag(m_model->handle(index), false);
    });
    connectModel();
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        emit clicked(m_model->handle(index));
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit doubleClicked(m_model->handle(index));
    });
}

TreeView::~TreeView() = default;

void TreeView::connectModel()
{
    for (const QMetaObject::Connection &c : std::as_const(m_modelConnections))
        disconnect(c);
    m_modelConnections = {
        connect(m_model, &QAbstractItemModel::modelReset, this, &TreeView::restoreAfterReset),
        connect(m_model, &QAbstractItemModel::modelReset, m_columnWidth, &TreeColumnWidth::invalidate),
        connect(m_model, &QAbstractItemModel::rowsRemoved, m_columnWidth, &TreeColumnWidth::invalidate),
        connect(m_model, &QAbstractItemModel::rowsInserted, m_columnWidth, &TreeColumnWidth::itemsChanged),
        connect(m_model, &QAbstractItemModel::dataChanged, m_columnWidth,
                [this](const QModelIndex &first, const QModelIndex &last) {
                    m_columnWidth->itemsChanged(first.parent(), first.row(), last.row());
                }),
    };
}

void TreeView::changeEvent(QEvent *event)
{
    QTreeView::changeEvent(event);
    if (m_columnWidth && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange))
        m_columnWidth->invalidate();
}

void TreeView::setTreeModel(TreeModel *model)
{
    if (!model || model == m_model)
        return;
    QItemSelectionModel *previous = selectionModel();
    TreeModel *own = m_model->QObject::parent() == this ? m_model : nullptr;
    m_model = model;
    QTreeView::setModel(m_model);
    QItemSelectionModel *standard = selectionModel();
    setSelectionModel(new TreeSelectionModel(m_model, this));
    delete standard;
    delete previous;
    delete own;
    m_selectedHandle = m_model->currentHandle();
    connectModel();
    m_columnWidth->invalidate();
}

long TreeView::insertItemFirst(long parentHandle, const TreeItem &item)
{
    return m_model->insertItemFirst(parentHandle, item);
}

long TreeView::insertItemLast(long parentHandle, const TreeItem &item)
{
    return m_model->insertItemLast(parentHandle, item);
}

long TreeView::insertItemSort(long parentHandle, const TreeItem &item)
{
    return m_model->insertItemSort(parentHandle, item);
}

long TreeView::insertItemAfter(long parentHandle, long afterHandle, const TreeItem &item)
{
    return m_model->insertItemAfter(parentHandle, afterHandle, item);
}

int TreeView::getItem(long handle, TreeItem &item) const
{
    return m_model->getItem(handle, item);
}

int TreeView::setItem(long handle, const TreeItem &item)
{
    return m_model->setItem(handle, item);
}

int TreeView::deleteItem(long handle)
{
    return m_model->deleteItem(handle);
}

int TreeView::deleteAllItems()
{
    const int result = m_model->deleteAllItems();
    m_selectedHandle = 0;
    return result;
}

long TreeView::findItem(TreeNavigation navigation, long handle) const
{
    return m_model->findItem(navigation, handle);
}

int TreeView::itemCount() const
{
    return m_model->itemCount();
}

bool TreeView::refuseSelectionChange(long oldHandle, long newHandle)
{
    bool refuse = false;
    emit selectionChanging(oldHandle, newHandle, &refuse);
    return refuse;
}

int TreeView::selectItem(long handle)
{
    if (!m_model->isValidHandle(handle))
        return -1;
    if (m_model->inBulkUpdate()) {
        // The view's own selection waits for the end of the bulk update (restoreAfterReset);
        // the announcements happen now, as the caller expects.
        if (handle != m_selectedHandle) {
            if (refuseSelectionChange(m_selectedHandle, handle))
                return -1;
            const long oldHandle = m_selectedHandle;
            m_selectedHandle = handle;
            m_model->setCurrentHandle(handle);
            emit selectionChanged(oldHandle, handle);
        }
        return 1;
    }
    const QModelIndex index = m_model->index(handle);
    if (handle != m_selectedHandle) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        if (m_selectedHandle != handle)
            return -1;
    }
    scrollTo(index);
    return 1;
}

int TreeView::expandItem(long handle)
{
    if (!m_model->isValidHandle(handle))
        return -1;
    m_model->setExpandedFlag(handle, true);
    if (!m_model->inBulkUpdate())
        expand(m_model->index(handle));
    return 1;
}

int TreeView::collapseItem(long handle)
{
    if (!m_model->isValidHandle(handle))
        return -1;
    m_model->setExpandedFlag(handle, false);
    if (!m_model->inBulkUpdate())
        collapse(m_model->index(handle));
    return 1;
}

bool TreeView::isItemExpanded(long handle) const
{
    return m_model->isExpandedFlag(handle);
}

void TreeView::setRedraw(bool redraw)
{
    if (redraw == m_redraw)
        return;
    m_redraw = redraw;
    if (!redraw) {
        setUpdatesEnabled(false);
        m_model->beginBulkUpdate();
    } else {
        m_model->endBulkUpdate();
        setUpdatesEnabled(true);
    }
}

void TreeView::restoreAfterReset()
{
    m_restoring = true;
    // Parents have smaller handles than their children: expanding in handle order rebuilds
    // the expanded branches from the top.
    for (long handle : m_model->expandedHandles())
        expand(m_model->index(handle));
    if (m_model->isValidHandle(m_selectedHandle)) {
        const QModelIndex index = m_model->index(m_selectedHandle);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        m_selectedHandle = 0;
    }
    m_model->setCurrentHandle(m_selectedHandle);
    m_restoring = false;
}

void TreeView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTreeView::currentChanged(current, previous);
    const long oldHandle = m_selectedHandle;
    const long newHandle = m_model->handle(current);
    m_selectedHandle = newHandle;
    m_model->setCurrentHandle(newHandle);
    if (!m_restoring && oldHandle != newHandle)
        emit selectionChanged(oldHandle, newHandle);
}

QItemSelectionModel::SelectionFlags TreeView::selectionCommand(const QModelIndex &index,
                                                               const QEvent *event) const
{
    // A mouse press moves the current item and the selection follows it (TreeSelectionModel);
    // the mouse itself selects nothing, so a refused change leaves no trace.
    if (event && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease
                  || event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonDblClick))
        return QItemSelectionModel::NoUpdate;
    return QTreeView::selectionCommand(index, event);
}

long TreeView::handleAt(const QPoint &point) const
{
    return m_model->handle(indexAt(point));
}

void TreeView::mousePressEvent(QMouseEvent *event)
{
    // A right click reports its item but leaves the selection alone.
    if (event->button() == Qt::RightButton) {
        m_rightPressHandle = handleAt(event->position().toPoint());
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void TreeView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        const long handle = handleAt(event->position().toPoint());
        const long pressed = m_rightPressHandle;
        m_rightPressHandle = 0;
        event->accept();
        if (handle > 0 && handle == pressed)
            emit rightClicked(handle);
        return;
    }
    QTreeView::mouseReleaseEvent(event);
}

void TreeView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}

void TreeView::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event->position().toPoint(), event->buttons(), event->modifiers());
    // Dragging with a button held does not sweep the selection along.
    if (event->buttons() != Qt::NoButton) {
        event->accept();
        return;
    }
    QTreeView::mouseMoveEvent(event);
}

// --- pictures

bool TreeView::itemGeometry(const QModelIndex &index, ItemGeometry &geometry) const
{
    if (!index.isValid())
        return false;
    const QRect cell = visualRect(index);
    if (!cell.isValid())
        return false;
    // The geometry is the one this view's own delegate paints with.
    const auto *delegate = qobject_cast<const TreeItemDelegate *>(itemDelegate());
    if (!delegate)
        return false;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = cell;
    if (selectionModel()->isSelected(index))
        option.state |= QStyle::State_Selected;
    delegate->prepare(&option, index);

    geometry = ItemGeometry();
    geometry.item = cell;
    if (delegate->reservesStatePicture(delegate->stateIndex(index))) {
        geometry.state = delegate->stateCell(cell);
        option.rect.setLeft(geometry.state.right() + 1);
    }
    if (option.features & QStyleOptionViewItem::HasDecoration)
        geometry.picture = style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, this);
    QRect text = style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int width = option.fontMetrics.horizontalAdvance(option.text) + 2 * margin;
    text.setWidth(qMin(text.width(), width));
    geometry.label = text;
    return true;
}

QRect TreeView::statePictureRect(long handle) const
{
    ItemGeometry geometry;
    return itemGeometry(m_model->index(handle), geometry) ? geometry.state : QRect();
}

QRect TreeView::pictureRect(long handle) const
{
    ItemGeometry geometry;
    return itemGeometry(m_model->index(handle), geometry) ? geometry.picture : QRect();
}

QRect TreeView::labelRect(long handle) const
{
    ItemGeometry geometry;
    return itemGeometry(m_model->index(handle), geometry) ? geometry.label : QRect();
}

TreeHitTest TreeView::hitTest(const QPoint &point) const
{
    TreeHitTest result;
    const QRect client = viewport()->rect();
    if (!client.contains(point)) {
        if (point.y() < client.top())
            result.flags |= HitAbove;
        else if (point.y() > client.bottom())
            result.flags |= HitBelow;
        if (point.x() < client.left())
            result.flags |= HitToLeft;
        else if (point.x() > client.right())
            result.flags |= HitToRight;
        return result;
    }
    // The row under the point, wherever the point lies across it.
    const int left = columnViewportPosition(0);
    const int right = left + qMax(1, columnWidth(0)) - 1;
    const QModelIndex index = indexAt(QPoint(qBound(left, point.x(), right), point.y()));
    ItemGeometry geometry;
    if (!itemGeometry(index, geometry)) {
        result.flags = HitNowhere;
        return result;
    }
    result.handle = m_model->handle(index);
    const int x = point.x();
    if (x < geometry.item.left()) {
        const bool onButton = x >= geometry.item.left() - indentation() && m_model->hasChildren(index)
                              && (index.parent().isValid() || rootIsDecorated());
        result.flags = onButton ? HitOnItemButton : HitOnItemIndent;
    } else if (!geometry.state.isEmpty() && x <= geometry.state.right()) {
        result.flags = HitOnItemStateIcon;
    } else if (!geometry.picture.isEmpty() && x < geometry.label.left()) {
        result.flags = HitOnItemIcon;
    } else if (x <= geometry.label.right()) {
        result.flags = HitOnItemLabel;
    } else {
        result.flags = HitOnItemRight;
    }
    return result;
}

} // namespace runtime
