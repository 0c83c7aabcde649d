#include "edition/TreeReload.h"

#include "mainwin/u_tv.h"
#include "mainwin/w_kiv.h"
#include "runtime/NamedEvents.h"
#include "runtime/TreeModel.h"

namespace edition {

namespace {

// The code of a tree's selected item; empty for none or the root.
QString selectedCode(u_tv *tree)
{
    const long handle = tree->findItem(runtime::TreeNavigation::Current, 0);
    runtime::TreeItem item;
    if (handle <= 0 || tree->getItem(handle, item) != 1 || item.data.typeId() != QMetaType::QString
        || tree->findItem(runtime::TreeNavigation::Parent, handle) <= 0)
        return QString();
    return item.data.toString();
}

} // namespace

void TreeReload::run(w_kiv *window)
{
    if (!window)
        return;
    const bool customsFollowed = window->selection().list == QLatin1String("hs");
    const QString customs = selectedCode(window->tv_1);
    const QString trade = selectedCode(window->tv_2);
    runtime::triggerEvent(window, QStringLiteral("ue_postopen"));
    // The tree the user worked in goes last: going to a code gives its tree the keyboard.
    const QList<QPair<QString, QString>> order =
        customsFollowed ? QList<QPair<QString, QString>>{{QStringLiteral("jmw"), trade}, {QStringLiteral("hs"), customs}}
                        : QList<QPair<QString, QString>>{{QStringLiteral("hs"), customs}, {QStringLiteral("jmw"), trade}};
    bool followedFound = false;
    for (const auto &[list, code] : order)
        followedFound = !code.isEmpty() && window->goToCode(list, code);
    // Its code gone, the tree keeps the keyboard all the same.
    if (!followedFound)
        (customsFollowed ? window->tv_1 : window->tv_2)->setFocus(Qt::OtherFocusReason);
}

} // namespace edition
