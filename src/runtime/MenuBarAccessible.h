#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QPointer>

class QAction;
class QMenuBar;

namespace runtime {

// What a screen reader finds in a menu bar. Qt's own accessible menu bar lists its drop-downs
// only, so a widget in the bar's corner (the search field) could not be reached and its focus
// event pointed at an object outside the tree. This one lists the drop-downs, each as a menu
// item of its own, and after them the visible corner widgets.
class MenuBarAccessible : public QAccessibleWidget
{
public:
    // Makes every menu bar created from now on answer with this object. Call once the
    // application object exists (it installs Qt's own factories, which would come first).
    static void installFactory();

    explicit MenuBarAccessible(QMenuBar *bar);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

private:
    QMenuBar *bar() const;
    QList<QObject *> children() const; // the actions, then the corner widgets
};

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
