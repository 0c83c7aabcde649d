#include "ui/platform/nvo_external_function_win32.h"

#include "ui/platform/WindowHandles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTimerEvent>
#include <QWidget>

#include <algorithm>

// Window functions on the program's own widgets, reached through their WindowHandles.

namespace {

// The program's top-level windows in the order of their handles, the oldest first.
QList<QWidget *> topLevelWindows()
{
    QList<QWidget *> windows = QApplication::topLevelWidgets();
    std::sort(windows.begin(), windows.end(), [](QWidget *a, QWidget *b) {
        return WindowHandles::handleOf(a) < WindowHandles::handleOf(b);
    });
    return windows;
}

// A widget's child controls from the top of the stacking order down: Qt keeps the topmost
// child last.
QList<QWidget *> childControls(const QWidget *parent)
{
    QList<QWidget *> controls;
    const QObjectList &children = parent->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        QWidget *child = qobject_cast<QWidget *>(*it);
        if (child && !child->isWindow())
            controls.append(child);
    }
    return controls;
}

QList<QWidget *> siblingsOf(const QWidget *widget)
{
    if (widget->isWindow() || !widget->parentWidget())
        return topLevelWindows();
    return childControls(widget->parentWidget());
}

// A window shows its title; a control shows its own text.
QString textOf(const QWidget *widget)
{
    if (widget->isWindow())
        return widget->windowTitle();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    if (const auto *box = qobject_cast<const QGroupBox *>(widget))
        return box->title();
    return widget->windowTitle();
}

void setTextOf(QWidget *widget, const QString &text)
{
    if (widget->isWindow())
        widget->setWindowTitle(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(text);
    else if (auto *edit = qobject_cast<QLineEdit *>(widget))
        edit->setText(text);
    else if (auto *box = qobject_cast<QGroupBox *>(widget))
        box->setTitle(text);
    else
        widget->setWindowTitle(text);
}

QString timerName(quint32 id)
{
    return QStringLiteral("kiv-window-timer-%1").arg(id);
}

QTimer *timerOf(QWidget *widget, quint32 id)
{
    return widget->findChild<QTimer *>(timerName(id), Qt::FindDirectChildrenOnly);
}

} // namespace

quint32 nvo_external_function_win32::getactivewindow() const
{
    return WindowHandles::handleOf(QApplication::activeWindow());
}

quint32 nvo_external_function_win32::findwindowa(quint32 classname, const QString &windowname) const
{
    if (classname != 0)
        return 0;
    for (QWidget *window : topLevelWindows()) {
        if (windowname.isNull() || window->windowTitle().compare(windowname, Qt::CaseInsensitive) == 0)
            return WindowHandles::handleOf(window);
    }
    return 0;
}

bool nvo_external_function_win32::flashwindow(quint32 handle, bool flash)
{
    QWidget *widget = WindowHandles::widgetOf(handle);
    if (!widget)
        return false;
    const bool wasActive = widget->isActiveWindow();
    if (flash)
        QApplication::alert(widget->window());
    return wasActive;
}

quint32 nvo_external_function_win32::getwindow(quint32 handle, quint32 relationship) const
{
    QWidget *widget = WindowHandles::widgetOf(handle);
    if (!widget)
        return 0;
    if (relationship == gw_owner) {
        QWidget *owner = widget->isWindow() ? widget->parentWidget() : nullptr;
        return owner ? WindowHandles::handleOf(owner->window()) : 0;
    }
    if (relationship == gw_child) {
        const QList<QWidget *> controls = childControls(widget);
        return controls.isEmpty() ? 0 : WindowHandles::handleOf(controls.first());
    }
    const QList<QWidget *> siblings = siblingsOf(widget);
    const qsizetype at = siblings.indexOf(widget);
    switch (relationship) {
    case gw_hwndfirst: return WindowHandles::handleOf(siblings.value(0));
    case gw_hwndlast: return WindowHandles::handleOf(siblings.isEmpty() ? nullptr : siblings.last());
    case gw_hwndnext: return at < 0 ? 0 : WindowHandles::handleOf(siblings.value(at + 1));
    case gw_hwndprev: return at <= 0 ? 0 : WindowHandles::handleOf(siblings.value(at - 1));
    default: return 0;
    }
}

int nvo_external_function_win32::getwindowtexta(quint32 handle, QString &wintext, int length) const
{
    if (length <= 0)
        return 0;
    QWidget *widget = WindowHandles::widgetOf(handle);
    wintext = widget ? textOf(widget).left(length - 1) : QString();
    return static_cast<int>(wintext.size());
}

bool nvo_external_function_win32::iswindowvisible(quint32 handle) const
{
    const QWidget *widget = WindowHandles::widgetOf(handle);
    return widget && widget->isVisible();
}

bool nvo_external_function_win32::killtimer(quint32 handle, quint32 id)
{
    QWidget *widget = WindowHandles::widgetOf(handle);
    QTimer *timer = widget ? timerOf(widget, id) : nullptr;
    if (!timer)
        return false;
    // The timer may be the one whose tick is being handled: let it go once that is done.
    timer->stop();
    timer->setObjectName(QString());
    timer->deleteLater();
    return true;
}

quint32 nvo_external_function_win32::settimer(quint32 handle, quint32 id, quint32 time, quint32 addr)
{
    // A callback address cannot be called here, and a timer without window reaches no one.
    if (addr != 0)
        return 0;
    QWidget *widget = WindowHandles::widgetOf(handle);
    if (!widget)
        return 0;
    QTimer *timer = timerOf(widget, id);
    if (!timer) {
        timer = new QTimer(widget);
        timer->setObjectName(timerName(id));
        QObject::connect(timer, &QTimer::timeout, widget, [widget, id] {
            QTimerEvent event(static_cast<int>(id));
            QCoreApplication::sendEvent(widget, &event);
        });
    }
    // Windows raises intervals below 10 ms to 10 ms.
    timer->start(static_cast<int>(std::clamp<quint32>(time, 10, 0x7FFFFFFF)));
    return id != 0 ? id : 1;
}

bool nvo_external_function_win32::showwindow(quint32 handle, int ncmdshow)
{
    QWidget *widget = WindowHandles::widgetOf(handle);
    if (!widget)
        return false;
    const bool wasVisible = widget->isVisible();
    if (!widget->isWindow()) {
        if (ncmdshow >= sw_hide && ncmdshow <= sw_restore)
            widget->setVisible(ncmdshow != sw_hide);
        return wasVisible;
    }
    switch (ncmdshow) {
    case sw_hide: widget->hide(); break;
    case sw_shownormal:
    case sw_restore: widget->showNormal(); break;
    case sw_showminimized:
    case sw_minimize:
    case sw_showminnoactive: widget->showMinimized(); break;
    case sw_showmaximized: widget->showMaximized(); break;
    case sw_show: widget->show(); break;
    case sw_shownoactivate:
    case sw_showna: {
        const bool noActivate = widget->testAttribute(Qt::WA_ShowWithoutActivating);
        widget->setAttribute(Qt::WA_ShowWithoutActivating, true);
        widget->show();
        widget->setAttribute(Qt::WA_ShowWithoutActivating, noActivate);
        break;
    }
    default: break;
    }
    return wasVisible;
}

bool nvo_external_function_win32::movewindow(quint32 handle, int x, int y, int width, int height, bool repaint)
{
    QWidget *widget = WindowHandles::widgetOf(handle);
    if (!widget)
        return false;
    if (widget->isWindow()) {
        // A window is placed by its frame, as on Windows; its size is that of its contents.
        widget->move(x, y);
        widget->resize(width, height);
    } else {
        widget->setGeometry(x, y, width, height);
    }
    if (repaint)
        widget->update();
    return true;
}

bool nvo_external_function_win32::setwindowtexta(quint32 handle, const QString &text)
{
    QWidget *widget = WindowHandles::widgetOf(handle);
    if (!widget)
        return false;
    setTextOf(widget, text);
    return true;
}

bool nvo_external_function_win32::isiconic(quint32 handle) const
{
    const QWidget *widget = WindowHandles::widgetOf(handle);
    return widget && widget->isWindow() && widget->isMinimized();
}
