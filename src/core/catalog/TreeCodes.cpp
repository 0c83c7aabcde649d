#include "core/catalog/TreeCodes.h"

#include "core/runtime/TreeModel.h"

#include <algorithm>
#include <functional>

namespace TreeCodes {

namespace {
using runtime::TreeNavigation;

// Visits the items below the root depth first until the visitor answers false.
void walk(const runtime::TreeModel &tree, const std::function<bool(long, const runtime::TreeItem &)> &visit)
{
    QList<long> pending;
    for (long top = tree.findItem(TreeNavigation::Root, 0); top > 0; top = tree.findItem(TreeNavigation::Next, top))
        for (long child = tree.findItem(TreeNavigation::Child, top); child > 0;
             child = tree.findItem(TreeNavigation::Next, child))
            pending.append(child);
    std::reverse(pending.begin(), pending.end());
    runtime::TreeItem item;
    while (!pending.isEmpty()) {
        const long handle = pending.takeLast();
        if (tree.getItem(handle, item) != 1)
            continue;
        if (item.data.typeId() == QMetaType::QString && !visit(handle, item))
            return;
        QList<long> children;
        for (long child = tree.findItem(TreeNavigation::Child, handle); child > 0;
             child = tree.findItem(TreeNavigation::Next, child))
            children.append(child);
        for (auto it = children.crbegin(); it != children.crend(); ++it)
            pending.append(*it);
    }
}
} // namespace

QString nameOfLabel(const QString &label)
{
    if (!label.startsWith(QLatin1Char('[')))
        return label;
    const qsizetype close = label.indexOf(QLatin1Char(']'));
    return close < 0 ? label : label.mid(close + 1);
}

QList<Entry> entries(const runtime::TreeModel &tree)
{
    QList<Entry> out;
    walk(tree, [&out](long handle, const runtime::TreeItem &item) {
        out.append({handle, item.data.toString(), nameOfLabel(item.label)});
        return true;
    });
    return out;
}

long find(const runtime::TreeModel &tree, const QString &code)
{
    long found = 0;
    walk(tree, [&](long handle, const runtime::TreeItem &item) {
        if (item.data.toString() != code)
            return true;
        found = handle;
        return false;
    });
    return found;
}

long firstWithPrefix(const runtime::TreeModel &tree, const QString &prefix)
{
    long found = 0;
    if (prefix.isEmpty())
        return found;
    walk(tree, [&](long handle, const runtime::TreeItem &item) {
        if (!item.data.toString().startsWith(prefix))
            return true;
        found = handle;
        return false;
    });
    return found;
}

} // namespace TreeCodes
