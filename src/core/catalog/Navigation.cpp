#include "core/catalog/Navigation.h"

#include <QPointer>

namespace catalog {

namespace {
// The last one made, while it lives: the open main window's.
QPointer<Navigation> &mainNavigation()
{
    static QPointer<Navigation> navigation;
    return navigation;
}
} // namespace

Navigation::Navigation(QObject *parent) : QObject(parent)
{
    mainNavigation() = this;
}

Navigation::~Navigation() = default;

Navigation *Navigation::of(const QObject *window)
{
    return window ? window->findChild<Navigation *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

Navigation *Navigation::main()
{
    return mainNavigation();
}

} // namespace catalog
