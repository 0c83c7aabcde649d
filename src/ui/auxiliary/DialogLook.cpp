#include "ui/auxiliary/DialogLook.h"

#include <QFont>
#include <QPalette>
#include <QWidget>

namespace kiv {

void applyDialogLook(QWidget *window)
{
    if (!window)
        return;
    QPalette colours = window->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        colours.setColor(group, QPalette::Window, colours.color(group, QPalette::Button));
    window->setPalette(colours);

    QFont simSun(QStringLiteral("宋体"));
    simSun.setPointSize(9);
    window->setFont(simSun);
}

} // namespace kiv
