#pragma once

#include <QMainWindow>

// The main frame window: both commodity trees with their detail panels.
class w_kiv : public QMainWindow
{
    Q_OBJECT
public:
    explicit w_kiv(QWidget *parent = nullptr);
    ~w_kiv() override;

    // The open event: shows the window maximized and posts ue_postopen.
    void open();

    // The open main window, or null.
    static w_kiv *instance();

public slots:
    void ue_postopen();
};
