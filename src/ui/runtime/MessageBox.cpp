#include "ui/runtime/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace runtime {

namespace {
MessageHandler &handlerSlot()
{
    static MessageHandler handler;
    return handler;
}
int g_beeps = 0;

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::StopSign: return QMessageBox::Critical;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Information: break;
    }
    return QMessageBox::Information;
}

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int answer;
};

QList<ButtonSpec> buttonsOf(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok: return {{QMessageBox::Ok, 1}};
    case MessageButtons::OkCancel: return {{QMessageBox::Ok, 1}, {QMessageBox::Cancel, 2}};
    case MessageButtons::YesNo: return {{QMessageBox::Yes, 1}, {QMessageBox::No, 2}};
    case MessageButtons::YesNoCancel:
        return {{QMessageBox::Yes, 1}, {QMessageBox::No, 2}, {QMessageBox::Cancel, 3}};
    case MessageButtons::RetryCancel: return {{QMessageBox::Retry, 1}, {QMessageBox::Cancel, 2}};
    }
    return {{QMessageBox::Ok, 1}};
}
} // namespace

int messageBox(const QString &title, const QString &text, MessageIcon icon,
               MessageButtons buttons, int defaultButton, QWidget *parent)
{
    const QList<ButtonSpec> specs = buttonsOf(buttons);
    if (defaultButton < 1 || defaultButton > specs.size())
        defaultButton = 1;
    if (handlerSlot()) {
        const int answer = handlerSlot()(MessageRequest{title, text, icon, buttons, defaultButton});
        return (answer >= 1 && answer <= specs.size()) ? answer : defaultButton;
    }

    QMessageBox box(toQtIcon(icon), title, text, QMessageBox::NoButton, parent);
    // A message may quote what someone else wrote (a name, a note, a server's text): it is
    // shown as written, never read as markup.
    box.setTextFormat(Qt::PlainText);
    for (const ButtonSpec &spec : specs)
        box.addButton(spec.button);
    box.setDefaultButton(specs.at(defaultButton - 1).button);
    // Escape answers the last button (No / Cancel), or OK when it is the only one.
    box.setEscapeButton(box.button(specs.last().button));
    box.exec();
    QAbstractButton *clicked = box.clickedButton();
    for (const ButtonSpec &spec : specs) {
        if (clicked == box.button(spec.button))
            return spec.answer;
    }
    return specs.last().answer;
}

void beep()
{
    ++g_beeps;
    if (!handlerSlot())
        QApplication::beep();
}

void setMessageHandler(MessageHandler handler)
{
    handlerSlot() = std::move(handler);
}

int beepCount()
{
    return g_beeps;
}

void resetBeepCount()
{
    g_beeps = 0;
}

} // namespace runtime
