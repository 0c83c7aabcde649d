#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QKeyEvent;
class QWidget;

// The main window's keys, wherever the keyboard is: a drop-down or context menu of the window
// takes the keyboard while it is open, so its function keys and other shortcuts would die
// there. This application-wide filter sees a key pressed in such a menu, closes the menus and
// runs the window's command of that key. Every action of the window with a shortcut takes
// part, so commands added later need nothing more.
//
// A companion window (the declarant's sheet) passes the window's keys on the same way: the key
// runs the main window's command and never reaches the companion's editors, so Ctrl+F typed in
// a note does not leave the keyboard in the note.
class MainWindowKeys : public QObject
{
    Q_OBJECT
public:
    // Installs the filter on the application for the window; it goes with the window.
    static MainWindowKeys *install(QWidget *window);

    // The filter of a main window, or null.
    static MainWindowKeys *of(const QWidget *window);

    // The window's enabled action whose shortcut is the key, or null.
    QAction *actionFor(const QKeyEvent &event) const;

    // Keys pressed in the companion window act on the main window from now on.
    void addCompanion(QWidget *companion);
    // True for the main window of any filter and for its companions: their keys take the
    // window's commands.
    static bool routesKeysOf(const QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit MainWindowKeys(QWidget *window);
    bool isMenuOfWindow(QObject *object) const;
    bool isInCompanion(QObject *object) const;
    bool runCommandOfKey(QEvent *event);

    QPointer<QWidget> m_window;
};
