#include "ui/runtime/TreeItemDelegate.h"

#include "ui/runtime/TreeView.h"

#include <QApplication>
#include <QPainter>

#include <QtMath>

#include <algorithm>
#include <memory>

namespace runtime {

namespace {
// Space left and right of a state picture.
constexpr int kStateMargin = 1;
// Enough for the labels the header measures while a user browses; more is started afresh.
constexpr qsizetype kMaxRememberedSizes = 50000;
// A few screens of labels (a view shows a few dozen at a time); each keeps its glyphs, a few
// kilobytes.
constexpr qsizetype kMaxKeptLabels = 200;
} // namespace

TreeItemDelegate::TreeItemDelegate(TreeView *view)
    : QStyledItemDelegate(view)
    , m_view(view)
{
    m_labels.setMaxCost(kMaxKeptLabels);
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
    if (!paintWithKeptLabel(painter, rest, index))
        QStyledItemDelegate::paint(painter, rest, index);
    if (index.data(TreeModel::MarkRole).toBool())
        paintMark(painter, rest, index);
}

QTextLayout *TreeItemDelegate::keptLabel(const QString &text, const QFont &font, int lineWidth) const
{
    // Bold labels differ from the view's font in weight only.
    QFont normal = font;
    normal.setBold(false);
    if (m_labelsFont != normal) {
        m_labels.clear();
        m_labelsFont = normal;
    }
    const SizeKey key{text, lineWidth << 1 | (font.bold() ? 1 : 0)};
    if (QTextLayout *kept = m_labels.object(key))
        return kept;
    // Laid out as the style lays out an item's text: one line of the text's room.
    auto layout = std::make_unique<QTextLayout>(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::ManualWrap);
    option.setTextDirection(Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid()) {
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(0, 0));
    }
    layout->endLayout();
    QTextLayout *kept = layout.release();
    m_labels.insert(key, kept);
    return kept;
}

// Only the styles known to lay out and draw an item's text as QCommonStyle does (the ones Qt
// ships on this platform), and never under a style sheet, which paints items its own way.
bool TreeItemDelegate::drawsItemTextAsCommonStyle(const QStyle *style, const QWidget *widget)
{
    if (!style || !qApp->styleSheet().isEmpty())
        return false;
    for (const QWidget *w = widget; w; w = w->parentWidget())
        if (!w->styleSheet().isEmpty())
            return false;
    const QString name = style->name();
    return name.compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0
           || name.compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0;
}

bool TreeItemDelegate::paintWithKeptLabel(QPainter *painter, const QStyleOptionViewItem &option,
                                          const QModelIndex &index) const
{
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    // A selected or focused item's highlight and frame follow its text's width: the style's.
    if (item.text.isEmpty() || (item.state & (QStyle::State_Selected | QStyle::State_Editing | QStyle::State_HasFocus))
        || (item.features & QStyleOptionViewItem::WrapText) || item.direction != Qt::LeftToRight
        || item.backgroundBrush.style() != Qt::NoBrush
        || (item.displayAlignment & Qt::AlignHorizontal_Mask & ~Qt::AlignLeft)
        || (item.displayAlignment & Qt::AlignVertical_Mask & ~Qt::AlignVCenter))
        return false;
    const QWidget *widget = item.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    if (!drawsItemTextAsCommonStyle(style, widget))
        return false;
    // The style lays out and paints everything but the text; the text's room is the same
    // without it, as an unselected item's background does not depend on it.
    QStyleOptionViewItem bare(item);
    bare.text.clear();
    const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &bare, widget);
    const int textMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = room.adjusted(textMargin, 0, -textMargin, 0);
    QTextLayout *label = keptLabel(item.text, item.font, textRect.width());
    if (label->lineCount() != 1 || label->lineAt(0).naturalTextWidth() > textRect.width())
        return false; // elided: the style does that
    style->drawControl(QStyle::CE_ItemViewItem, &bare, painter, widget);
    const QPalette::ColorGroup group = !(item.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (item.state & QStyle::State_Active) ? QPalette::Normal
                                                                             : QPalette::Inactive;
    painter->save();
    painter->setPen(item.palette.color(group, QPalette::Text));
    const int height = qCeil(label->lineAt(0).height());
    const QRect aligned = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignVCenter | Qt::AlignLeft,
                                              QSize(textRect.width(), height), textRect);
    label->draw(painter, QPointF(textRect.left(), aligned.top()));
    painter->restore();
    return true;
}

int TreeItemDelegate::markWidth(const QStyleOptionViewItem &option)
{
    return option.fontMetrics.height() / 2 + 6;
}

void TreeItemDelegate::paintMark(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const QWidget *widget = item.widget;
    const QStyle *style = widget ? widget->style() : nullptr;
    if (!style)
        return;
    const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
    const int textEnd = text.left() + item.fontMetrics.horizontalAdvance(item.text) + 4;
    // A small filled square after the label, in the text colour: seen on any background.
    const int side = std::max(4, item.fontMetrics.height() / 3);
    const QRect mark(std::min(textEnd, text.right() - side), text.center().y() - side / 2, side, side);
    painter->save();
    const bool selected = item.state & QStyle::State_Selected;
    painter->fillRect(mark, item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->restore();
}

QSize TreeItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const SizesContext context{option.font, m_view->pictureSize(), m_view->statePictureSize(),
                               option.decorationSize, m_view->style()};
    if (!(context == m_sizesContext) || m_sizes.size() > kMaxRememberedSizes) {
        m_sizes.clear();
        m_sizesContext = context;
    }
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const bool reservesState = reservesStatePicture(stateIndex(index));
    const bool marked = index.data(TreeModel::MarkRole).toBool();
    const SizeKey key{item.text, int(item.features) << 3 | (marked ? 4 : 0) | (item.font.bold() ? 2 : 0)
                                     | (reservesState ? 1 : 0)};
    const auto known = m_sizes.constFind(key);
    if (known != m_sizes.cend())
        return *known;

    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (reservesState) {
        size.rwidth() += m_view->statePictureSize().width() + 2 * kStateMargin;
        size.setHeight(qMax(size.height(), m_view->statePictureSize().height()));
    }
    if (marked)
        size.rwidth() += markWidth(item);
    m_sizes.insert(key, size);
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
