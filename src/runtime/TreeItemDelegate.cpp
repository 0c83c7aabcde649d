#include "runtime/TreeItemDelegate.h"

#include "runtime/TreeView.h"

#include <QPainter>

namespace runtime {

namespace {
// Space left and right of a state picture.
constexpr int kStateMargin = 1;
} // namespace

TreeItemDelegate::TreeItemDelegate(TreeView *view)
    : QStyledItemDelegate(view)
    , m_view(view)
{
}

QRect TreeItemDelegate::stateCell(const QRect &itemRect) const
{
    const QSize size = m_view->statePictureSize();
    return QRect(itemRect.left(), itemRect.top(), size.width() + 2 * kStateMargin, itemRect.height());
}

bool TreeItemDelegate::reservesStatePicture(int statePictureIndex) const
{
    return statePictureIndex > 0 && m_view->statePictureCount() > 0;
}

int TreeItemDelegate::stateIndex(const QModelIndex &index)
{
    return index.data(TreeModel::StatePictureIndexRole).toInt();
}

void TreeItemDelegate::prepare(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    initStyleOption(option, index);
}

void TreeItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem rest(option);
    const int state = stateIndex(index);
    if (reservesStatePicture(state)) {
        const QRect cell = stateCell(option.rect);
        const QSize size = m_view->statePictureSize();
        const QRect target(cell.left() + kStateMargin, cell.top() + (cell.height() - size.height()) / 2,
                           size.width(), size.height());
        const QIcon icon = m_view->statePicture(state);
        if (!icon.isNull())
            icon.paint(painter, target);
        // The selection highlight covers the picture and the label, not the state picture.
        rest.rect.setLeft(cell.right() + 1);
    }
    QStyledItemDelegate::paint(painter, rest, index);
}

QSize TreeItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (reservesStatePicture(stateIndex(index))) {
        size.rwidth() += m_view->statePictureSize().width() + 2 * kStateMargin;
        size.setHeight(qMax(size.height(), m_view->statePictureSize().height()));
    }
    return size;
}

void TreeItemDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (m_view->pictureCount() == 0)
        return;
    const int picture = index.data(TreeModel::PictureIndexRole).toInt();
    const int selected = index.data(TreeModel::SelectedPictureIndexRole).toInt();
    const bool isSelected = option->state & QStyle::State_Selected;
    // Every item keeps the picture's room, so labels line up even without a picture.
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->decorationSize = m_view->pictureSize();
    option->icon = m_view->picture(isSelected && selected > 0 ? selected : picture);
}

} // namespace runtime
