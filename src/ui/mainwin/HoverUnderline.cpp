#include "ui/mainwin/HoverUnderline.h"

#include <QEvent>
#include <QWidget>

HoverUnderline *HoverUnderline::attach(QWidget *widget)
{
    return new HoverUnderline(widget);
}

HoverUnderline::HoverUnderline(QWidget *widget)
    : QObject(widget)
{
    widget->installEventFilter(this);
}

bool HoverUnderline::eventFilter(QObject *watched, QEvent *event)
{
    const bool enter = event->type() == QEvent::Enter;
    if (enter || event->type() == QEvent::Leave) {
        auto *widget = static_cast<QWidget *>(watched);
        QFont font = widget->font();
        font.setUnderline(enter);
        widget->setFont(font);
    }
    return false;
}
