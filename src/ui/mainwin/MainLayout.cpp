#include "ui/mainwin/MainLayout.h"

namespace MainLayout {

void resize(Controls &c, int W, int H, bool debug)
{
    c.lineEnd = W;
    c.status.moveTo(centredX(W, c.status.width()), H / 2 - kStatusLift);
    c.tree1.setSize({W / 2 - kTreeMargin, H - kTreeHeightReserve});
    c.bar.moveLeft(W / 2 + c.tree1.x() - kTreeMargin);
    // The bar takes its thin width before the right tree is placed beside it, so the trees
    // stand one bar apart from the first resize on.
    if (!debug)
        c.bar.setWidth(kBarThickness);
    c.tree2.moveTo(c.bar.x() + c.bar.width(), c.tree1.y());
    c.tree2.setSize({W / 2 - kTreeMargin, c.tree1.height()});
    c.clock.moveTo(c.tree2.x() + c.tree2.width() - c.clock.width() - kLabelRightInset,
                   c.tree2.y() + kLabelTopOffset);
    c.link.moveTo(c.clock.x(), c.tree2.y() + c.link.height() + kLabelTopOffset);
}

int resizeBars(Controls &c, int W)
{
    int messages = 0;
    int x = c.bar.x();
    if (x < kLeftLimit) {
        ++messages;
        x = kLeftLimit;
    }
    if (x > W - kRightLimit) {
        x = W - kRightLimit;
        ++messages;
    }
    c.bar = QRect(x, c.tree1.y(), kBarThickness, c.tree1.height());
    c.tree1.setWidth(c.bar.x() - c.tree1.x());
    c.tree2.moveLeft(c.tree1.x() + c.tree1.width() + c.bar.width());
    c.tree2.setWidth(W - c.tree1.x() - c.tree1.width() - c.bar.width() - kTreeMargin);
    return messages;
}

} // namespace MainLayout
