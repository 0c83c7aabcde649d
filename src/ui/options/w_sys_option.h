#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class u_list_dw;
class u_url_link;

// The modeless options window "Kivtree@用户个性设置": for the customs tree (left) and the
// foreign-trade tree (right) it chooses the chapters loaded at run time (the flag column of
// the chapter rows, in dw_1 and dw_2), whether the detail panel is shown (profile keys
// HGDETAIL, WJDETAIL) and whether a right or a double click pops it up (hgtype, jmwtype and
// gs_hgtype, gs_jmwtype). Saving writes the profile keys, saves both lists as one unit of work
// and makes the main window reload.
class w_sys_option : public QDialog
{
    Q_OBJECT
public:
    // Builds the window; its open event posts ue_postopen, so the lists load once the window
    // stands.
    explicit w_sys_option(QWidget *parent = nullptr);
    ~w_sys_option() override;

    // The menu's entry: opens the one options window over the main window (shown, loading
    // posted) or, when it is open already, raises it. The window deletes itself when closed.
    static w_sys_option *openFor(QWidget *mainWindow);
    // The open options window, or null.
    static w_sys_option *openInstance();

    // Saves everything: the four profile keys, then both lists. Only when both lists are
    // written is the work committed, the lists' change flags cleared and the main window
    // reloaded; otherwise the work is rolled back and the lists keep their edits and flags,
    // so a retry sends everything again. 1 on success, -1 otherwise.
    int wf_updateset();

    // Controls, reached by tests by name.
    QGroupBox *gb_1 = nullptr;
    QLabel *st_1 = nullptr;
    u_list_dw *dw_1 = nullptr;
    QCheckBox *cbx_1 = nullptr;
    QPushButton *cb_4 = nullptr;
    QPushButton *cb_5 = nullptr;
    QGroupBox *gb_4 = nullptr;
    QRadioButton *rb_1 = nullptr;
    QRadioButton *rb_2 = nullptr;
    QGroupBox *gb_2 = nullptr;
    QLabel *st_3 = nullptr;
    u_list_dw *dw_2 = nullptr;
    QCheckBox *cbx_2 = nullptr;
    QPushButton *cb_6 = nullptr;
    QPushButton *cb_7 = nullptr;
    QGroupBox *gb_3 = nullptr;
    QRadioButton *rb_3 = nullptr;
    QRadioButton *rb_4 = nullptr;
    QFrame *ln_1 = nullptr;
    QFrame *ln_2 = nullptr;
    u_url_link *st_5 = nullptr;
    QPushButton *cb_2 = nullptr;
    QPushButton *cb_1 = nullptr;
    QPushButton *cb_3 = nullptr;
    QPushButton *cb_8 = nullptr;

public slots:
    // Reads the detail settings and loads both lists from the database.
    void ue_postopen();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    void connectHandlers();
    void setTabOrders();
    // Sets column flag of every row of a list, as the window shows them; nothing reaches the
    // database until a save.
    static void setAllFlags(u_list_dw *list, const QString &value);
    // Shows the warning of a failed save.
    void warnSaveFailed();

    QButtonGroup *hgGroup = nullptr;   // rb_1, rb_2
    QButtonGroup *jmwGroup = nullptr;  // rb_3, rb_4
};
