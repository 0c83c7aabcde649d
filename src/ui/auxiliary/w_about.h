#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QWidget;

// The about window: a modal window with the machine's total physical memory and the free share
// of its paging file (on Linux: memory and swap together, see MemoryStatus), read once when it
// opens.
class w_about : public QDialog
{
    Q_OBJECT
public:
    // Builds the window and runs its open event; meminfoPath is where the memory figures are read.
    explicit w_about(QWidget *parent = nullptr, const QString &meminfoPath = QStringLiteral("/proc/meminfo"));

    // Opens the window modally and returns when it is closed.
    static void openModal(QWidget *parent = nullptr);

private:
    void create();
    void open(const QString &meminfoPath);

    QWidget *ln_12 = nullptr;
    QWidget *ln_1 = nullptr;
    QLabel *st_8 = nullptr;
    QLabel *st_7 = nullptr;
    QLabel *st_totavail = nullptr;
    QLabel *st_6 = nullptr;
    QLabel *st_pyhsical = nullptr;
    QPushButton *cb_1 = nullptr;
};
