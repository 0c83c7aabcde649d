#pragma once

#include <QFont>
#include <QObject>

#include <vector>

class QFontMetrics;
class QModelIndex;

namespace runtime {

class TreeView;

// The width of a tree view's column: as wide as the widest item with its indentation,
// pictures and margins, over all items whether their branches are open or not, so that
// opening a branch or selecting an item never measures labels. Everything is measured once
// after a build and after a change of font, pictures or style; an inserted or changed item
// is measured alone and only widens the column, unless it was the widest, which has
// everything measured again. That pass estimates each label from remembered character
// advances (one for all full-width CJK characters) and lays out only the widest few.
class TreeColumnWidth : public QObject
{
public:
    explicit TreeColumnWidth(TreeView *view);

    // Everything is measured again.
    void invalidate();
    // Items first..last under parent were inserted or changed.
    void itemsChanged(const QModelIndex &parent, int first, int last);

private:
    void measureAll();
    int exactWidth(const QModelIndex &index) const;
    int estimatedWidth(const QString &text, bool bold, const QFontMetrics &metrics);
    void apply(int width);

    TreeView *m_view;
    int m_width = 0;
    long m_widest = 0;  // the handle of the widest item, 0 when unknown
    QFont m_advancesFont;
    std::vector<int> m_advances[2]; // by character slot, normal and bold; -1 until measured
};

} // namespace runtime
