#include "ui/runtime/MenuBarAccessible.h"

#include "ui/runtime/MenuBarItemAccessible.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace runtime {

namespace {

QAccessibleInterface *menuBarFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QMenuBar") && object && object->isWidgetType())
        return new MenuBarAccessible(static_cast<QMenuBar *>(object));
    return nullptr;
}

// The menu item of an action of the bar: the one already known for it, or a new one.
QAccessibleInterface *itemFor(QMenuBar *bar, QAction *action)
{
    QAccessibleInterface *item = QAccessible::queryAccessibleInterface(action);
    if (!item) {
        item = new MenuBarItemAccessible(bar, action);
        QAccessible::registerAccessibleInterface(item);
    }
    return item;
}

} // namespace

void MenuBarAccessible::installFactory()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(menuBarFactory);
}

MenuBarAccessible::MenuBarAccessible(QMenuBar *bar)
    : QAccessibleWidget(bar, QAccessible::MenuBar)
{
}

QMenuBar *MenuBarAccessible::bar() const
{
    return static_cast<QMenuBar *>(widget());
}

QList<QObject *> MenuBarAccessible::children() const
{
    QList<QObject *> out;
    for (QAction *action : bar()->actions())
        out.append(action);
    for (Qt::Corner corner : {Qt::TopLeftCorner, Qt::TopRightCorner}) {
        QWidget *widget = bar()->cornerWidget(corner);
        if (widget && !widget->isHidden())
            out.append(widget);
    }
    return out;
}

int MenuBarAccessible::childCount() const
{
    return int(children().size());
}

QAccessibleInterface *MenuBarAccessible::child(int index) const
{
    const QList<QObject *> objects = children();
    if (index < 0 || index >= objects.size())
        return nullptr;
    if (auto *action = qobject_cast<QAction *>(objects.at(index)))
        return itemFor(bar(), action);
    return QAccessible::queryAccessibleInterface(objects.at(index));
}

int MenuBarAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    return child ? int(children().indexOf(child->object())) : -1;
}

} // namespace runtime
