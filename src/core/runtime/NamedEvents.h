#pragma once

#include <QString>

class QObject;

namespace runtime {

// User events are invokable methods named ue_... (Q_INVOKABLE or slots, no arguments).
// Names are matched without regard to case. Both return 1, or -1 when the object has no
// such event.

// Runs the event at once.
int triggerEvent(QObject *target, const QString &eventName);
// Queues the event: it runs after the current event, from the event loop.
int postEvent(QObject *target, const QString &eventName);

} // namespace runtime
