#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class u_tv;
namespace catalog {
class Navigation;
}

// What a user does with a tree item beyond selecting it: Ctrl+C copies its code (the tree's
// own Ctrl+C would copy the label), and the menu key or Shift+F10 opens its context menu
// (申报信息, the copies, 导出此节点). A right click keeps the click modes of the options dialog, so it
// opens no menu.
class TreeCommands : public QObject
{
    Q_OBJECT
public:
    // Watches the window's commodity trees; goes with it. sheetAction opens the declarant's sheet.
    static TreeCommands *install(QWidget *window, QAction *sheetAction);

    // The context menu of the tree's selected item, built afresh; null without a selection.
    // The caller owns it.
    QMenu *contextMenu(u_tv *tree);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TreeCommands(QWidget *window, QAction *sheetAction);
    // The list, code and name of the tree's selected item; false without one.
    bool selectedCode(u_tv *tree, QString *list, QString *code, QString *name) const;
    void copyCode(u_tv *tree);
    void openContextMenu(u_tv *tree);

    QWidget *m_window;
    QPointer<catalog::Navigation> m_navigation;
    QPointer<QAction> m_sheetAction;
};
