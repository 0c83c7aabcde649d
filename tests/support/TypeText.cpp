#include "TypeText.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QtTest>

void typeText(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClicks(field, QString(c));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QCoreApplication::sendEvent(field, &commit);
        }
    }
}
