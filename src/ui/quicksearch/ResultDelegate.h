#pragma once

#include <QStyledItemDelegate>

namespace quicksearch {

// Draws a row of the search field's list: the list's name in grey, the code in bold and the
// name with the parts the input matched marked.
class ResultDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

} // namespace quicksearch
