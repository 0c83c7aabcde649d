#pragma once

#include "core/export/ExportRequest.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// The dialog of 导出... and 打印...: what to take away (the selected node, a result list, a
// whole list; for printing also the selected code's sheet), the format and file, and the
// columns. The choices of columns, format and folder are kept in the profile file.
class w_export : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Export, Print };

    // What there is to export at the moment the dialog opens.
    struct Choices {
        QString nodeList; // "hs" or "jmw"; the selected item's
        QString nodeCode; // empty: no item selected
        QString nodeName;
        int findCount = 0;   // entries of the find dialog's list (0 also when it is closed)
        int searchCount = 0; // entries the search field lists for its text
    };

    w_export(Mode mode, const Choices &choices, kivexport::What preferred, QWidget *parent = nullptr);

    kivexport::What what() const;
    kivexport::Format format() const;
    QList<kivexport::Column> columns() const;
    // What the note under the fields says of a format: what the file keeps, and for CSV that
    // a spreadsheet wants .xlsx instead.
    static QString formatNote(Mode mode, kivexport::Format format);
    // The file chosen, with its suffix and folder; valid after accept().
    QString path() const { return m_path; }

    QRadioButton *rb_node = nullptr;
    QRadioButton *rb_sheet = nullptr; // printing only
    QRadioButton *rb_find = nullptr;
    QRadioButton *rb_search = nullptr;
    QRadioButton *rb_hs = nullptr;
    QRadioButton *rb_jmw = nullptr;
    QComboBox *ddlb_format = nullptr;
    QListWidget *lb_columns = nullptr;
    QLineEdit *sle_file = nullptr;
    QPushButton *cb_browse = nullptr;
    QPushButton *cb_ok = nullptr;
    QPushButton *cb_cancel = nullptr;
    QLabel *st_note = nullptr;

public slots:
    // Checks the file (a name given, asks before replacing one), keeps the choices in the
    // profile and closes; stays open when the user does not want to replace the file.
    void accept() override;

private:
    void createControls();
    void loadChoices();
    void saveChoices() const;
    void updateState();
    void suggestFileName();
    void browse();
    QString folder() const;

    Mode m_mode;
    Choices m_choices;
    QString m_path;
    bool m_nameEdited = false; // the user typed a name: a new choice no longer renames it
};
