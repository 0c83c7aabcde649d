#include "ButtonDriver.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QtTest>

void ButtonDriver::addWaysOfChecking()
{
    QTest::addColumn<QString>("way");
    for (const char *way : {"click", "setChecked", "toggle", "toggle action", "press action"})
        QTest::newRow(way) << QString::fromLatin1(way);
}

bool ButtonDriver::turnOver(QAbstractButton *button, const QString &way)
{
    const bool was = button->isChecked();
    if (way == u"click") {
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (way == u"setChecked") {
        button->setChecked(!was);
    } else if (way == u"toggle") {
        button->toggle();
    } else if (QAccessibleInterface *face = QAccessible::queryAccessibleInterface(button)) {
        if (QAccessibleActionInterface *actions = face->actionInterface())
            actions->doAction(way == u"toggle action" ? QAccessibleActionInterface::toggleAction()
                                                      : QAccessibleActionInterface::pressAction());
    }
    // The press action clicks after a short animation.
    return QTest::qWaitFor([&] { return button->isChecked() != was; }, 1000);
}
