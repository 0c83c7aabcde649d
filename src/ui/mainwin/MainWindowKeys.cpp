#include "ui/mainwin/MainWindowKeys.h"

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

MainWindowKeys::MainWindowKeys(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    setObjectName(QStringLiteral("mainWindowKeys"));
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

bool MainWindowKeys::eventFilter(QObject *watched, QEvent *event)
{
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
