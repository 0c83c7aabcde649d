#pragma once

#include <QFont>
#include <QHash>
#include <QSize>
#include <QCache>
#include <QTextLayout>
#include <QString>
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
    // The mark after the label of a marked item, and the room it takes.
    void paintMark(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    static int markWidth(const QStyleOptionViewItem &option);
    // Paints an item that is neither selected nor edited with its label from a laid-out text
    // kept for the next paint; false when the item needs the style's own painting.
    bool paintWithKeptLabel(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    static bool drawsItemTextAsCommonStyle(const QStyle *style, const QWidget *widget);
    QTextLayout *keptLabel(const QString &text, const QFont &font, int lineWidth) const;

    // A label's size depends on its text and on a few per-item flags; the font, picture size
    // and style are the same for every item of the view.
    struct SizeKey {
        QString text;
        int flags;
        bool operator==(const SizeKey &other) const { return flags == other.flags && text == other.text; }
        friend size_t qHash(const SizeKey &key, size_t seed = 0) { return qHashMulti(seed, key.text, key.flags); }
    };

    // What every size depends on besides the item: compared, not formatted, on each query.
    struct SizesContext {
        QFont font;
        QSize pictureSize;
        QSize statePictureSize;
        QSize decorationSize;
        const QStyle *style = nullptr;
        bool operator==(const SizesContext &other) const
        {
            return style == other.style && pictureSize == other.pictureSize
                   && statePictureSize == other.statePictureSize && decorationSize == other.decorationSize
                   && font == other.font;
        }
    };

    TreeView *m_view;
    // Text layout is the slow part of a size, so sizes are remembered while the font, picture
    // sizes and style stay the same.
    mutable QHash<SizeKey, QSize> m_sizes;
    mutable SizesContext m_sizesContext;
    // Shaping a label is most of painting it: the labels painted lately stay laid out, by text,
    // boldness and line width, while the view's font stays the same.
    mutable QCache<SizeKey, QTextLayout> m_labels;
    mutable QFont m_labelsFont;
};

} // namespace runtime
