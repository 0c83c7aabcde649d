#pragma once

#include <QLabel>

// The splitter bar between the trees: shows the west-east sizing pointer; while the left
// button is held it follows the pointer alone, and on release it asks to be applied.
class SplitterBar : public QLabel
{
    Q_OBJECT
public:
    explicit SplitterBar(QWidget *parent = nullptr);

signals:
    void moved(int previousX);
    void released();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
