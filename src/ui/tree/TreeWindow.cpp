#include "ui/tree/TreeWindow.h"

namespace {
TreeWindow *g_main = nullptr;
}

TreeWindow::TreeWindow()
{
    g_main = this; // the last one made: the open main window's
}

TreeWindow::~TreeWindow()
{
    if (g_main == this)
        g_main = nullptr;
}

TreeWindow *TreeWindow::main()
{
    return g_main;
}
