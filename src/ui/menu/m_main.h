#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QToolBar;

// The main window's menu: the drop-downs m_wj ("文件") and m_h ("帮助") and the frame toolbar
// made of the items that carry a toolbar picture. Each item is a QAction named after the item,
// so its menu entry, its toolbar button and its function key raise the same command.
class m_main : public QObject
{
    Q_OBJECT
public:
    // Builds the menu bar, the toolbar and the status line's resting text on the window; the
    // menu is a child of the window and goes with it.
    explicit m_main(QMainWindow *window);

    // Installs the menu on a frame window and returns it.
    static m_main *install(QMainWindow *window);

    // The status line's text while no item is under the pointer.
    static QString defaultMicroHelp();
    // The application's frame-wide default; an empty text keeps the one there is.
    static void setDefaultMicroHelp(const QString &text);

    QMenu *m_wj = nullptr;
    QMenu *m_h = nullptr;
    QAction *m_option = nullptr;
    QAction *m_11 = nullptr;
    QAction *m_gen = nullptr;
    QAction *m_output = nullptr;
    QAction *m_refresh = nullptr;
    QAction *m_2 = nullptr;
    QAction *m_exit = nullptr;
    QAction *m_3 = nullptr;
    QAction *m_1 = nullptr;
    QAction *m_4 = nullptr;
    QAction *m_about = nullptr;
    QToolBar *toolbar = nullptr;
    QLabel *microHelp = nullptr;

private:
    struct Item {
        const char *name;
        const char *text;
        const char *microhelp;
        const char *tag;
        const char *toolbarItemName;
        const char *toolbarItemText;
        int toolbarItemOrder;
        int toolbarItemSpace;
        int shortcut; // a Qt::Key, 0 for none
    };
    QAction *addItem(QMenu *menu, const Item &item);
    void buildToolbar();

    // Commands of the items.
    void m_option_clicked();
    void m_gen_clicked();
    void m_output_clicked();
    void m_refresh_clicked();
    void m_exit_clicked();
    void m_1_clicked();
    void m_about_clicked();

    QMainWindow *m_window = nullptr;
};
