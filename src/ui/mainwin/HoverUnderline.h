#pragma once

#include <QObject>

class QWidget;

// Underlines a widget's text while the mouse pointer is over it, and only then.
class HoverUnderline : public QObject
{
    Q_OBJECT
public:
    // Watches the widget; the watcher goes with it.
    static HoverUnderline *attach(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit HoverUnderline(QWidget *widget);
};
