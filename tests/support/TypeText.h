#pragma once

#include <QString>

class QLineEdit;

// Replaces a line edit's text as a user does: selects it, deletes it and types the new text,
// ASCII as key presses and other characters (Chinese, full-width) as an input method commits them.
void typeText(QLineEdit *field, const QString &text);
