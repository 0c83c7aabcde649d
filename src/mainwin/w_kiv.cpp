#include "mainwin/w_kiv.h"

#include "runtime/NamedEvents.h"

#include <QPointer>

namespace {
QPointer<w_kiv> g_open;
}

w_kiv::w_kiv(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Kivtree V2.2"));
    g_open = this;
}

w_kiv::~w_kiv() = default;

w_kiv *w_kiv::instance()
{
    return g_open;
}

void w_kiv::open()
{
    showMaximized();
    runtime::postEvent(this, QStringLiteral("ue_postopen"));
}

void w_kiv::ue_postopen()
{
}
