#pragma once

#include <QDialog>

#include "core/auxiliary/AppResources.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class u_url_link;

// The help window: shows one of the help texts of gs_help, chosen by its number, passed as a
// string ("3" from the find dialog, "4" from the options dialog). Modal; the caller waits.
class w_help : public QDialog
{
    Q_OBJECT
public:
    // Builds the window and runs its open event with parm: a parameter that is not a whole
    // number above 0 closes the window at once (closedAtOnce(); it must not be shown).
    // bitmapFolder holds whowhere.png and helptop.png; a missing picture stays empty.
    explicit w_help(const QString &parm, QWidget *parent = nullptr,
                    const QString &bitmapFolder = QString::fromLatin1(kiv::kBitmapFolder));

    // Opens the window modally with parm and returns when it is closed; returns at once when
    // the parameter closes it.
    static void openWithParm(const QString &parm, QWidget *parent = nullptr);

    // The help-text number of an opening parameter: its whole-number value (blanks around it
    // allowed), 0 when it is not a whole number or does not fit the runtime's 16-bit integer.
    static int helpNumber(const QString &parm);

    bool closedAtOnce() const { return m_closedAtOnce; }

private:
    void create(const QString &bitmapFolder);
    void open(const QString &parm);

    QLabel *st_1 = nullptr;
    QPlainTextEdit *mle_1 = nullptr;
    QLabel *st_2 = nullptr;
    QPushButton *cb_3 = nullptr;
    QLabel *p_1 = nullptr;
    QLabel *p_2 = nullptr;
    u_url_link *st_ww = nullptr;
    bool m_closedAtOnce = false;
};
