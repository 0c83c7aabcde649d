#include "ui/quicksearch/ResultDelegate.h"

#include "core/quicksearch/ResultModel.h"

#include <QApplication>
#include <QPainter>

namespace quicksearch {

namespace {
constexpr int kPadding = 6;
constexpr int kListWidthChars = 4; // "外经贸" and a gap
constexpr int kCodeWidthChars = 11;
} // namespace

QSize ResultDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), option.fontMetrics.height() + 6));
    return size;
}

void ResultDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem base = option;
    initStyleOption(&base, index);
    base.text.clear(); // the background, focus and selection only; the texts are drawn below
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &base, painter, widget);

    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    const QColor text = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    QColor grey = text;
    grey.setAlpha(150);

    painter->save();
    QRect rect = option.rect.adjusted(kPadding, 0, -kPadding, 0);
    const QFontMetrics plain(option.font);
    const int cjkWidth = plain.horizontalAdvance(QStringLiteral("外"));

    painter->setFont(option.font);
    painter->setPen(grey);
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, index.data(ResultModel::ListNameRole).toString());
    rect.setLeft(rect.left() + cjkWidth * kListWidthChars);

    QFont bold = option.font;
    bold.setBold(true);
    painter->setFont(bold);
    painter->setPen(text);
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, index.data(ResultModel::CodeRole).toString());
    rect.setLeft(rect.left() + QFontMetrics(bold).horizontalAdvance(QLatin1Char('0')) * kCodeWidthChars);

    // Why the row is there, in grey at the right, before the name takes the rest of the line.
    const QString reason = index.data(ResultModel::ReasonRole).toString();
    if (!reason.isEmpty()) {
        const QString shownReason = plain.elidedText(QStringLiteral("（") + reason + QStringLiteral("）"),
                                                     Qt::ElideRight, rect.width() / 2);
        const int reasonWidth = plain.horizontalAdvance(shownReason);
        painter->setFont(option.font);
        painter->setPen(grey);
        painter->drawText(QRect(rect.right() - reasonWidth, rect.top(), reasonWidth, rect.height()),
                          Qt::AlignLeft | Qt::AlignVCenter, shownReason);
        rect.setRight(rect.right() - reasonWidth - cjkWidth);
        painter->setPen(text);
    }

    // The name in pieces: plain, then marked, then plain again, cut at the right edge.
    const QString name = index.data(ResultModel::NameRole).toString();
    QList<bool> marked(name.size(), false);
    for (const QVariant &v : index.data(ResultModel::SpansRole).toList()) {
        const QPoint span = v.toPoint();
        for (int i = std::max(0, span.x()); i < std::min<int>(int(name.size()), span.x() + span.y()); ++i)
            marked[i] = true;
    }
    const QColor markBackground = selected ? option.palette.color(group, QPalette::Highlight).lighter(130)
                                           : QColor(255, 236, 150);
    int x = rect.left();
    for (qsizetype start = 0; start < name.size() && x < rect.right();) {
        qsizetype end = start;
        while (end < name.size() && marked[end] == marked[start])
            ++end;
        const QString piece = name.mid(start, end - start);
        const QFontMetrics metrics(marked[start] ? bold : option.font);
        const int room = rect.right() - x;
        const QString shown = metrics.horizontalAdvance(piece) > room ? metrics.elidedText(piece, Qt::ElideRight, room)
                                                                     : piece;
        const int width = metrics.horizontalAdvance(shown);
        const QRect pieceRect(x, rect.top(), width, rect.height());
        if (marked[start]) {
            painter->fillRect(pieceRect.adjusted(0, 3, 0, -3), markBackground);
            painter->setFont(bold);
        } else {
            painter->setFont(option.font);
        }
        painter->drawText(pieceRect, Qt::AlignLeft | Qt::AlignVCenter, shown);
        x += width;
        if (shown != piece)
            break;
        start = end;
    }
    painter->restore();
}

} // namespace quicksearch
