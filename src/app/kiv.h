#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "ui/mainwin/w_kiv.h"

namespace kiv {

// The application object: its open event runs the start-up sequence, its close event
// disconnects the database. It owns sqlca and the main window.
class kiv : public QObject
{
    Q_OBJECT
public:
    explicit kiv(QObject *parent = nullptr);
    ~kiv() override;

    // Events, in the order the runtime raises them.
    void create();
    // The start-up sequence. Returns 1 when the main window is open, -1 when start-up ended
    // after a message box (the application should then end with a non-zero status).
    int open(const QString &commandline = QString());
    void close();
    void destroy();

    QString appName() const { return m_appName; }
    bool toolbarText() const { return m_toolbarText; }
    QString microHelpDefault() const { return m_microHelpDefault; }
    w_kiv *mainWindow() const { return m_mainWindow; }

    // The running application object, or null.
    static kiv *instance();

private:
    void ensureProfileFile();
    // Adds the tables an older database lacks (the tariff records, code lists and notes).
    void upgradeTariffTables();

    QString m_appName;
    bool m_toolbarText = false;
    QString m_microHelpDefault;
    QPointer<w_kiv> m_mainWindow;
};

// Makes the application object and runs it: the exit status of the program.
int run(int argc, char *argv[]);

} // namespace kiv
