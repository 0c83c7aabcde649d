#include "ui/auxiliary/SeparatorLine.h"

#include "ui/runtime/LayoutUnits.h"

#include <QColor>
#include <QFrame>
#include <QPalette>

#include <algorithm>

QFrame *makeSeparatorLine(QWidget *parent, const char *name, const QColor &colour)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFixedHeight(std::max(1, runtime::LayoutUnits().unitsToPixelsY(4)));
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    line->setAutoFillBackground(true);
    line->setFocusPolicy(Qt::NoFocus);
    return line;
}
