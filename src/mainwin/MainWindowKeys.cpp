#include "mainwin/MainWindowKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

MainWindowKeys *MainWindowKeys::install(QWidget *window)
{
    auto *keys = new MainWindowKeys(window);
    qApp->installEventFilter(keys);
    return keys;
}

namespace {
constexpr char kRoutedProperty[] = "kivMainWindowKeys";
}

MainWindowKeys::MainWindowKeys(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    setObjectName(QStringLiteral("mainWindowKeys"));
    window->setProperty(kRoutedProperty, true);
}

MainWindowKeys *MainWindowKeys::of(const QWidget *window)
{
    return window ? window->findChild<MainWindowKeys *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void MainWindowKeys::addCompanion(QWidget *companion)
{
    if (!companion)
        return;
    companion->setProperty(kRoutedProperty, true);
    companion->setProperty("kivCompanionOf", QVariant::fromValue(static_cast<QObject *>(m_window.data())));
}

bool MainWindowKeys::routesKeysOf(const QWidget *window)
{
    return window && window->property(kRoutedProperty).toBool();
}

bool MainWindowKeys::isInCompanion(QObject *object) const
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !m_window)
        return false;
    const QWidget *window = widget->window();
    return window != m_window && window->property("kivCompanionOf").value<QObject *>() == m_window;
}

QAction *MainWindowKeys::actionFor(const QKeyEvent &event) const
{
    if (!m_window || event.key() == 0 || event.key() == Qt::Key_unknown)
        return nullptr;
    const QKeySequence pressed(event.keyCombination());
    const QList<QAction *> actions = m_window->actions();
    for (QAction *action : actions) {
        if (action->isEnabled() && action->shortcuts().contains(pressed))
            return action;
    }
    return nullptr;
}

bool MainWindowKeys::isMenuOfWindow(QObject *object) const
{
    auto *menu = qobject_cast<QMenu *>(object);
    if (!menu || !m_window)
        return false;
    // A drop-down hangs under the menu bar, a submenu under its menu, a context menu under
    // the control it belongs to: all of them lead back to the window.
    for (QWidget *w = menu->parentWidget(); w; w = w->parentWidget()) {
        if (w == m_window)
            return true;
    }
    return false;
}

bool MainWindowKeys::runCommandOfKey(QEvent *event)
{
    QAction *action = actionFor(*static_cast<QKeyEvent *>(event));
    if (!action)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // Claimed here, so no shortcut of the companion's own fires; the key press follows.
        event->accept();
        return true;
    }
    if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
        QTimer::singleShot(0, action, &QAction::trigger);
    return true;
}

bool MainWindowKeys::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) && isInCompanion(watched))
        return runCommandOfKey(event);
    if (event->type() != QEvent::KeyPress || !isMenuOfWindow(watched))
        return false;
    QAction *action = actionFor(*static_cast<QKeyEvent *>(event));
    if (!action)
        return false;
    // The menus close first, so the command's own window (a dialog, a message) opens on a
    // window that has the keyboard back; the command runs once the menu's event is done.
    for (int open = 0; open < 16; ++open) { // a popup that refuses to close stops the loop
        QWidget *popup = QApplication::activePopupWidget();
        if (!popup)
            break;
        popup->close();
    }
    QTimer::singleShot(0, action, &QAction::trigger);
    return true;
}
