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
class MainWindowKeys : public QObject
{
    Q_OBJECT
public:
    // Installs the filter on the application for the window; it goes with the window.
    static MainWindowKeys *install(QWidget *window);

    // The window's enabled action whose shortcut is the key, or null.
    QAction *actionFor(const QKeyEvent &event) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit MainWindowKeys(QWidget *window);
    bool isMenuOfWindow(QObject *object) const;

    QPointer<QWidget> m_window;
};
