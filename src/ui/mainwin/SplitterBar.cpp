#include "ui/mainwin/SplitterBar.h"

#include <QMouseEvent>

SplitterBar::SplitterBar(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("st_vertical"));
    setCursor(Qt::SizeHorCursor);
    setAccessibleName(QStringLiteral("分隔条"));
    setAutoFillBackground(true);
}

void SplitterBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        raise(); // above the trees while dragged
    QLabel::mousePressEvent(event);
}

void SplitterBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || !parentWidget())
        return;
    const int previous = x();
    move(mapToParent(event->position().toPoint()).x(), y());
    emit moved(previous);
}

void SplitterBar::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit released();
}
