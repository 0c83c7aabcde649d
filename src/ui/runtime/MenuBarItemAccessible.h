#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QPointer>

class QAction;
class QMenuBar;

namespace runtime {

// One drop-down of a menu bar: its name without the mnemonic's "&", its drop-down as its one
// child, and the actions "ShowMenu"/"Press" that open it.
class MenuBarItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    MenuBarItemAccessible(QMenuBar *bar, QAction *action);

    bool isValid() const override;
    QObject *object() const override;
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    QPointer<QMenuBar> m_bar;
    QPointer<QAction> m_action;
};

} // namespace runtime
