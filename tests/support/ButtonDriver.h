#pragma once

class QAbstractButton;
class QString;

// Changes the check of a check box or a radio button in the ways a user, a screen reader or a
// program does.
namespace ButtonDriver {
// Adds the column "way" and one row per way: "click" (the mouse), "setChecked", "toggle", and
// the accessible "toggle action" and "press action" a screen reader calls.
void addWaysOfChecking();
// Turns the button's check over in that way and waits until it has turned; false if it did not.
bool turnOver(QAbstractButton *button, const QString &way);
} // namespace ButtonDriver
