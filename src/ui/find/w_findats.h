#pragma once

#include <QDialog>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class ListPrefixIndex;
class u_tv;

namespace runtime {
class DataView;
struct TreeItem;
}

// The modeless find dialog "快速查找": searches the main window's customs list (dw_1 with
// tv_1), its foreign-trade list (dw_2 with tv_2) or both, by name or by code, exactly or by
// parts, listing every match at once or stepping through them. Each match is selected in
// its tree, which moves the main window's detail panel to the row, and listed in lb_1.
class w_findats : public QDialog
{
    Q_OBJECT
public:
    explicit w_findats(QWidget *parent = nullptr);
    ~w_findats() override;

    // Opens the one find dialog over the main window, or brings the one already open to the
    // front. The dialog closes itself (and is deleted) with its close button or close box.
    static w_findats *openFor(QWidget *mainWindow);
    // The open find dialog, or null.
    static w_findats *openInstance();
    // The list and code of each entry of the result list lb_1, in its order.
    QList<QPair<QString, QString>> foundCodes() const;

    // Prefixes of the result entries; the customs one has two blanks before the "@".
    static const QString kCustomsPrefix;
    static const QString kForeignPrefix;

    // The search of one list. as_pt: "ROOT" from the first row, "UP" the previous match,
    // anything else the next match. -1 when the input is empty, otherwise 1.
    int wf_search_name(QLineEdit *as_sle, u_tv *as_tv, runtime::DataView *as_dw, const QString &as_type,
                       const QString &as_pt);
    int wf_search_code(QLineEdit *as_sle, u_tv *as_tv, runtime::DataView *as_dw, const QString &as_type,
                       const QString &as_pt);
    // Searches the list(s) that is_tree names by the key that is_type names: 1, -1 when the
    // customs search failed (the foreign-trade one is then not made), -2 when the
    // foreign-trade search failed.
    int wf_supper_search(const QString &as_pt);

    // The tree(s) to search ("H", "J", "A"), the key ("N" code, otherwise name) and the kind
    // of match ("C" exact, otherwise by parts).
    QString is_tree = QStringLiteral("H");
    QString is_type = QStringLiteral("C");
    QString is_find = QStringLiteral("C");

    // Controls, reached by name.
    QCheckBox *cbx_2 = nullptr;
    QLabel *st_4 = nullptr;
    QListWidget *lb_1 = nullptr;
    QPushButton *cb_5 = nullptr;
    QPushButton *cb_4 = nullptr;
    QPushButton *cb_1 = nullptr;
    QRadioButton *rb_7 = nullptr;
    QRadioButton *rb_6 = nullptr;
    QRadioButton *rb_5 = nullptr;
    QRadioButton *rb_4 = nullptr;
    QLineEdit *sle_3 = nullptr;
    QLabel *st_3 = nullptr; // the caption "外经代码：" of sle_3
    QPushButton *cb_2 = nullptr;
    QPushButton *cb_3 = nullptr;
    QCheckBox *cbx_1 = nullptr;
    QLineEdit *sle_2 = nullptr;
    QLabel *st_2 = nullptr;
    QLineEdit *sle_1 = nullptr;
    QLabel *st_1 = nullptr;
    QRadioButton *rb_3 = nullptr;
    QRadioButton *rb_2 = nullptr;
    QRadioButton *rb_1 = nullptr;
    QGroupBox *gb_3 = nullptr;
    QGroupBox *gb_2 = nullptr;
    QGroupBox *gb_1 = nullptr;

    // Picking the result entry with a 0-based index (below 0: nothing to do): the entry's row
    // becomes the current row of its list, and the detail panel goes there. Selecting an entry
    // in lb_1 picks it; the current entry alone picks nothing.
    void lb_1_selectionchanged(int index);

private:
    void createControls();
    void setTabOrders();
    void connectHandlers();
    void reportResult(int result);

    // Steps shared by the name and the code search once the expression is known.
    int searchList(const QString &ls_where, u_tv *as_tv, runtime::DataView *as_dw, const QString &as_pt);
    void listAllMatches(const QString &ls_where, u_tv *as_tv, runtime::DataView *as_dw);
    void takeFoundRow(long row, u_tv *as_tv, runtime::DataView *as_dw, runtime::TreeItem &ltr_temp);
    void emptyInput(QLineEdit *field, const QString &hint);

    QButtonGroup *m_treeGroup = nullptr;  // rb_1, rb_2, rb_3
    QButtonGroup *m_keyGroup = nullptr;   // rb_4, rb_5
    QButtonGroup *m_matchGroup = nullptr; // rb_6, rb_7
    ListPrefixIndex *m_entries = nullptr; // lb_1's texts, for the "already listed" check
};
