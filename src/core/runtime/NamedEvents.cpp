#include "core/runtime/NamedEvents.h"

#include <QMetaMethod>
#include <QMetaObject>
#include <QObject>

namespace runtime {

namespace {
int findEvent(const QObject *target, const QString &eventName)
{
    if (!target || eventName.isEmpty())
        return -1;
    const QMetaObject *meta = target->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.parameterCount() != 0 || method.methodType() == QMetaMethod::Signal)
            continue;
        if (QString::fromLatin1(method.name()).compare(eventName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int invoke(QObject *target, const QString &eventName, Qt::ConnectionType type)
{
    const int index = findEvent(target, eventName);
    if (index < 0)
        return -1;
    return target->metaObject()->method(index).invoke(target, type) ? 1 : -1;
}
} // namespace

int triggerEvent(QObject *target, const QString &eventName)
{
    return invoke(target, eventName, Qt::DirectConnection);
}

int postEvent(QObject *target, const QString &eventName)
{
    return invoke(target, eventName, Qt::QueuedConnection);
}

} // namespace runtime
