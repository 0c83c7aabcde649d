#pragma once

class QColor;
class QFrame;
class QWidget;

// One stroke of an etched separator: a flat line of one colour, 4 layout units thick, that
// never takes the focus. A grey stroke over a light one gives the etched look.
QFrame *makeSeparatorLine(QWidget *parent, const char *name, const QColor &colour);
