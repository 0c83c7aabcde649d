#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace runtime {

// Icon codes as the system passes them: 1 stop sign, 2 exclamation; Information otherwise.
enum class MessageIcon { Information = 0, StopSign = 1, Exclamation = 2, Question = 3 };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
// Answers count from 1 as the system numbers its buttons: Ok/Yes/Retry = 1, No/Cancel = 2,
// Cancel of YesNoCancel = 3.
struct MessageRequest {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
    int defaultButton = 1;
};

// Shows a modal message box and returns the number of the button pressed.
int messageBox(const QString &title, const QString &text,
               MessageIcon icon = MessageIcon::Information,
               MessageButtons buttons = MessageButtons::Ok, int defaultButton = 1,
               QWidget *parent = nullptr);

// One beep of the system's speaker (or the desktop's bell).
void beep();

// Test hooks: while a handler is set, message boxes are not shown: the handler receives each
// request and returns the answer, and beeps are silent. Beeps are always counted.
using MessageHandler = std::function<int(const MessageRequest &)>;
void setMessageHandler(MessageHandler handler);
int beepCount();
void resetBeepCount();

} // namespace runtime
