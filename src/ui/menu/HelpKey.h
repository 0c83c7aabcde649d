#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// F1 in any window of the program opens the help window on the topic of that window: the find
// dialog's, the options dialog's, the overview for the main window, and the topic of the menus
// and commands for the windows those commands open (the sheet, import, export, data source).
// The main window and its sheet take F1 through the 工具 drop-down's item; every other window
// (a dialog, where the main window's keys do not reach) through this application-wide filter.
class HelpKey : public QObject
{
    Q_OBJECT
public:
    // The help-text number for a window, by its object name; empty for the help window itself.
    static QString topicFor(const QString &windowName);
    // Opens the help window with the topic of the window (modal; returns when it is closed).
    static void openFor(QWidget *window);
    // Installs the filter on the application; it goes with the main window.
    static HelpKey *install(QWidget *mainWindow);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit HelpKey(QWidget *mainWindow);
    QPointer<QWidget> m_window;
};
