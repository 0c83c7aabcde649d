#pragma once

#include <QLineEdit>

// The search field in the menu bar: the user types and the list below answers at once. The
// keyboard stays in the field: Up and Down move in the list, Enter goes to the chosen code,
// Esc empties the field and a second Esc returns to the tree.
class QuickSearchField : public QLineEdit
{
    Q_OBJECT
public:
    explicit QuickSearchField(QWidget *parent = nullptr);
    // The menu bar gives its corner widget the size it hints: wide enough for the placeholder.
    QSize sizeHint() const override;

signals:
    void moveInList(int steps); // +1 down, -1 up; pages as a list's page
    void chosen();              // Enter
    void leaving();             // Esc in an empty field
    void focused();             // the field took the keyboard
    void unfocused();           // it left the field

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};
