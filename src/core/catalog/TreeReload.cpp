#include "core/catalog/TreeReload.h"

#include "core/catalog/Catalog.h"
#include "core/catalog/Navigation.h"
#include "core/runtime/TreeModel.h"

#include <QList>
#include <QPair>

namespace catalog {

namespace {

// The code of a tree's selected item; empty for none or the root.
QString selectedCode(const runtime::TreeModel *tree)
{
    const long handle = tree->findItem(runtime::TreeNavigation::Current, 0);
    runtime::TreeItem item;
    if (handle <= 0 || tree->getItem(handle, item) != 1 || item.data.typeId() != QMetaType::QString
        || tree->findItem(runtime::TreeNavigation::Parent, handle) <= 0)
        return QString();
    return item.data.toString();
}

} // namespace

void TreeReload::run(Navigation *navigation)
{
    if (!navigation)
        return;
    const QString followed = navigation->selection().list;
    const QString customs = selectedCode(navigation->catalog()->customsTree());
    const QString trade = selectedCode(navigation->catalog()->tradeTree());
    navigation->reload();
    // The tree the user worked in goes last: going to a code gives its tree the keyboard.
    const bool customsFollowed = followed == QLatin1String("hs");
    const QList<QPair<QString, QString>> order =
        customsFollowed ? QList<QPair<QString, QString>>{{QStringLiteral("jmw"), trade}, {QStringLiteral("hs"), customs}}
                        : QList<QPair<QString, QString>>{{QStringLiteral("hs"), customs}, {QStringLiteral("jmw"), trade}};
    bool followedFound = false;
    for (const auto &[list, code] : order)
        followedFound = !code.isEmpty() && navigation->goToCode(list, code);
    // Its code gone, the tree keeps the keyboard all the same.
    if (!followedFound)
        navigation->focusTree(customsFollowed ? QStringLiteral("hs") : QStringLiteral("jmw"));
}

} // namespace catalog
