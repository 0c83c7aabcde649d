#pragma once

#include <QAccessibleWidget>

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

} // namespace runtime
