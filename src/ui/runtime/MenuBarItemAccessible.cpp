#include "ui/runtime/MenuBarItemAccessible.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace runtime {

namespace {

QString withoutMnemonic(QString text)
{
    // "工具[&T]" reads "工具[T]"; "&&" is a real ampersand.
    text.replace(QLatin1String("&&"), QString(QChar(0xFFFF)));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(0xFFFF), QLatin1Char('&'));
    return text;
}

} // namespace

MenuBarItemAccessible::MenuBarItemAccessible(QMenuBar *bar, QAction *action)
    : m_bar(bar)
    , m_action(action)
{
}

bool MenuBarItemAccessible::isValid() const
{
    return m_bar && m_action;
}

QObject *MenuBarItemAccessible::object() const
{
    return m_action;
}

QWindow *MenuBarItemAccessible::window() const
{
    return m_bar ? m_bar->window()->windowHandle() : nullptr;
}

QAccessibleInterface *MenuBarItemAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(m_bar);
}

QAccessibleInterface *MenuBarItemAccessible::child(int index) const
{
    return index == 0 && m_action && m_action->menu() ? QAccessible::queryAccessibleInterface(m_action->menu())
                                                      : nullptr;
}

int MenuBarItemAccessible::childCount() const
{
    return m_action && m_action->menu() ? 1 : 0;
}

int MenuBarItemAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    return child && m_action && child->object() == m_action->menu() ? 0 : -1;
}

QAccessibleInterface *MenuBarItemAccessible::childAt(int, int) const
{
    return nullptr;
}

QString MenuBarItemAccessible::text(QAccessible::Text t) const
{
    if (!m_action)
        return {};
    switch (t) {
    case QAccessible::Name:
        return withoutMnemonic(m_action->text());
    case QAccessible::Description:
        return m_action->statusTip();
    case QAccessible::Accelerator: {
        const QKeySequence mnemonic = QKeySequence::mnemonic(m_action->text());
        return mnemonic.isEmpty() ? QString() : mnemonic.toString(QKeySequence::NativeText);
    }
    default:
        return {};
    }
}

QRect MenuBarItemAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect local = m_bar->actionGeometry(m_action);
    return QRect(m_bar->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role MenuBarItemAccessible::role() const
{
    return m_action && m_action->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
}

QAccessible::State MenuBarItemAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.focusable = true;
    s.disabled = !m_action->isEnabled();
    s.invisible = !m_action->isVisible() || !m_bar->isVisible();
    s.hasPopup = m_action->menu() != nullptr;
    s.focused = m_bar->activeAction() == m_action;
    s.hotTracked = s.focused;
    return s;
}

void *MenuBarItemAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
}

QStringList MenuBarItemAccessible::actionNames() const
{
    if (!m_action || !m_action->isEnabled())
        return {};
    return {m_action->menu() ? showMenuAction() : pressAction()};
}

void MenuBarItemAccessible::doAction(const QString &actionName)
{
    if (!isValid() || !m_action->isEnabled())
        return;
    if (actionName == showMenuAction() || actionName == pressAction()) {
        if (m_action->menu())
            m_bar->setActiveAction(m_action);
        else
            m_action->trigger();
    }
}

QStringList MenuBarItemAccessible::keyBindingsForAction(const QString &) const
{
    const QString key = text(QAccessible::Accelerator);
    return key.isEmpty() ? QStringList() : QStringList{key};
}

} // namespace runtime
