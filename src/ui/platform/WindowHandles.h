#pragma once

#include <QtGlobal>

class QWidget;

// Window handles for this program's own widgets, as the system's window functions take them:
// a number above 0 that stays with its widget until the widget is destroyed and is never
// given to another widget; 0 is no window. The numbers are our own rather than native window
// ids: asking a child widget for its native id would turn it into a native window and change
// how it paints, and a native id need not fit 32 bits.
class WindowHandles
{
public:
    // The widget's handle, made on first use; 0 for null.
    static quint32 handleOf(QWidget *widget);
    // The live widget of a handle, or null when the handle is 0, unknown or its widget is gone.
    static QWidget *widgetOf(quint32 handle);
};
