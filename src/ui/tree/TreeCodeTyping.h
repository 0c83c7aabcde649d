#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class u_tv;

// Digits typed in a commodity tree go to the code that begins with them, as a user of a code
// list expects: "84" selects chapter [84], typing on to "8471" goes to heading [8471]. Digits
// typed in quick succession (the application's keyboard input interval) add up; a pause
// starts a new code. Other keys keep the tree's own search by the beginning of the label.
class TreeCodeTyping : public QObject
{
    Q_OBJECT
public:
    // Watches the tree's keys; goes with the tree.
    static TreeCodeTyping *install(u_tv *tree);

    QString typed() const { return m_typed; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TreeCodeTyping(u_tv *tree);
    void goTo(const QString &prefix);

    u_tv *m_tree;
    QString m_typed;
    QElapsedTimer m_sinceLast;
};
