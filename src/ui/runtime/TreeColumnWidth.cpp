#include "ui/runtime/TreeColumnWidth.h"

#include "ui/runtime/TreeView.h"

#include <QFontMetrics>
#include <QHeaderView>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace runtime {

namespace {
// The items laid out exactly in a full pass: those with the widest estimates. An estimate is
// off by a few pixels at most, far less than what separates the widest labels from the rest.
constexpr std::size_t kLaidOut = 24;

// Characters a CJK font draws in one full-width cell: unified ideographs (with extension A and
// the compatibility block), CJK punctuation, kana and the full-width forms. Their estimate is the
// advance of one of them, instead of loading thousands of glyphs to learn that.
bool fullWidth(char16_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3000 && c <= 0x30FF) || (c >= 0xFF01 && c <= 0xFF60)
           || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF);
}

constexpr char16_t kFullWidthSample = u'\u4E2D'; // 中
constexpr std::size_t kFullWidthSlot = 0x3000;
} // namespace

TreeColumnWidth::TreeColumnWidth(TreeView *view)
    : QObject(view)
    , m_view(view)
{
}

void TreeColumnWidth::invalidate()
{
    measureAll();
}

void TreeColumnWidth::itemsChanged(const QModelIndex &parent, int first, int last)
{
    const TreeModel *model = m_view->treeModel();
    if (model->inBulkUpdate())
        return;
    int width = m_width;
    long widest = m_widest;
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        const long handle = model->handle(index);
        const int itemWidth = exactWidth(index);
        if (itemWidth > width) {
            width = itemWidth;
            widest = handle;
        } else if (handle == m_widest && itemWidth < m_width) {
            measureAll(); // the widest item got narrower: which one is widest now is unknown
            return;
        }
    }
    m_widest = widest;
    apply(width);
}

int TreeColumnWidth::exactWidth(const QModelIndex &index) const
{
    int level = m_view->rootIsDecorated() ? 1 : 0;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        ++level;
    QStyleOptionViewItem option;
    m_view->initViewItemOption(&option);
    return level * m_view->indentation() + m_view->itemDelegateForIndex(index)->sizeHint(option, index).width();
}

int TreeColumnWidth::estimatedWidth(const QString &text, bool bold, const QFontMetrics &metrics)
{
    // Advances by slot: one per character below kFullWidthSlot, then one for every full-width
    // character; any other character (rare in a label) is measured where it occurs. The common
    // cases are tested first: a code's characters, then ideographs.
    std::vector<int> &advances = m_advances[bold ? 1 : 0];
    if (advances.empty())
        advances.assign(kFullWidthSlot + 1, -1);
    int *const known = advances.data();
    int width = 0;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        std::size_t slot = unit;
        if (unit >= kFullWidthSlot) {
            if (!fullWidth(unit)) {
                width += metrics.horizontalAdvance(c);
                continue;
            }
            slot = kFullWidthSlot;
        }
        if (known[slot] < 0)
            known[slot] = metrics.horizontalAdvance(slot == kFullWidthSlot ? QChar(kFullWidthSample) : c);
        width += known[slot];
    }
    return width;
}

void TreeColumnWidth::measureAll()
{
    if (m_view->treeModel()->inBulkUpdate())
        return; // measured when the bulk update ends, in one model reset
    if (m_advancesFont != m_view->font()) {
        m_advances[0].clear();
        m_advances[1].clear(); // refilled on first use
        m_advancesFont = m_view->font();
    }
    QFont boldFont = m_view->font();
    boldFont.setBold(true);
    const QFontMetrics metrics[2] = {QFontMetrics(m_view->font()), QFontMetrics(boldFont)};
    const TreeModel *model = m_view->treeModel();
    const int indentation = m_view->indentation();
    // The widest estimates, smallest first (a min-heap), with their handles.
    using Candidate = std::pair<int, long>;
    std::vector<Candidate> widest;
    widest.reserve(kLaidOut + 1);
    // Depth first over every item, with its level.
    std::vector<std::pair<long, int>> pending;
    for (long h = model->findItem(TreeNavigation::Root, 0); h > 0; h = model->findItem(TreeNavigation::Next, h))
        pending.emplace_back(h, m_view->rootIsDecorated() ? 1 : 0);
    while (!pending.empty()) {
        const auto [handle, level] = pending.back();
        pending.pop_back();
        const bool bold = model->isBold(handle);
        const Candidate candidate{level * indentation + estimatedWidth(model->label(handle), bold, metrics[bold ? 1 : 0]), handle};
        if (widest.size() < kLaidOut || candidate.first > widest.front().first) {
            widest.push_back(candidate);
            std::push_heap(widest.begin(), widest.end(), std::greater<>());
            if (widest.size() > kLaidOut) {
                std::pop_heap(widest.begin(), widest.end(), std::greater<>());
                widest.pop_back();
            }
        }
        for (long child = model->findItem(TreeNavigation::Child, handle); child > 0;
             child = model->findItem(TreeNavigation::Next, child))
            pending.emplace_back(child, level + 1);
    }
    int width = 0;
    m_widest = 0;
    for (const Candidate &candidate : widest) {
        const int exact = exactWidth(model->index(candidate.second));
        if (exact > width) {
            width = exact;
            m_widest = candidate.second;
        }
    }
    apply(width);
}

void TreeColumnWidth::apply(int width)
{
    width = std::max(width, m_view->header()->minimumSectionSize());
    m_width = width;
    if (m_view->header()->sectionSize(0) != width)
        m_view->header()->resizeSection(0, width);
}

} // namespace runtime
