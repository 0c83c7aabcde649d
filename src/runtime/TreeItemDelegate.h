#pragma once

#include <QStyledItemDelegate>

namespace runtime {

class TreeView;

// Draws a tree item as state picture, picture and label, the pictures taken from the view's
// picture lists by the indexes the item holds. The view's hit test asks it for the same
// geometry it paints with.
class TreeItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TreeItemDelegate(TreeView *view);

    // The state picture's cell (the picture with its margins) at the left of an item cell.
    QRect stateCell(const QRect &itemRect) const;
    // True when an item with this state picture index gets a state picture cell.
    bool reservesStatePicture(int statePictureIndex) const;
    static int stateIndex(const QModelIndex &index);
    // The style option of an item as paint() uses it.
    void prepare(QStyleOptionViewItem *option, const QModelIndex &index) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    TreeView *m_view;
};

} // namespace runtime
