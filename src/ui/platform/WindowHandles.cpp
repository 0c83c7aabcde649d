#include "ui/platform/WindowHandles.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

namespace {
struct Registry {
    QHash<quint32, QPointer<QWidget>> widgets;
    QHash<const QWidget *, quint32> handles;
    quint32 next = 1;
};

Registry &registry()
{
    static Registry r;
    return r;
}
} // namespace

quint32 WindowHandles::handleOf(QWidget *widget)
{
    if (!widget)
        return 0;
    Registry &r = registry();
    const auto it = r.handles.constFind(widget);
    if (it != r.handles.constEnd())
        return *it;
    const quint32 handle = r.next++;
    r.widgets.insert(handle, widget);
    r.handles.insert(widget, handle);
    // A later widget at the same address must not inherit the handle.
    QObject::connect(widget, &QObject::destroyed, [widget, handle] {
        Registry &reg = registry();
        reg.handles.remove(widget);
        reg.widgets.remove(handle);
    });
    return handle;
}

QWidget *WindowHandles::widgetOf(quint32 handle)
{
    if (handle == 0)
        return nullptr;
    return registry().widgets.value(handle).data();
}
