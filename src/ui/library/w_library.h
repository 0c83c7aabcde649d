#pragma once

#include "core/library/Item.h"

#include <QHash>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
namespace library {
class ItemListModel;
}
namespace runtime {
class Transaction;
}

namespace ui {

// The window 商品归类库: the company's items in a list that sorts by a click on a heading and
// filters as the user types, with add, edit, delete (asked first), mark reviewed, check again,
// going to an item's code, import from and export to CSV or Excel files.
class w_library : public QWidget
{
    Q_OBJECT
public:
    // Goes to a code in the trees and the sheet.
    using GoToCode = std::function<void(const QString &code)>;
    // Asks for a file to read (save false) or write (save true); empty when cancelled.
    using ChooseFile = std::function<QString(QWidget *parent, bool save)>;

    w_library(runtime::Transaction *sqlca, GoToCode goToCode, QWidget *parent = nullptr);
    ~w_library() override;

    // The one library window of the program (made when asked first), shown and raised.
    static w_library *openFor(runtime::Transaction *sqlca, GoToCode goToCode, QWidget *parent);
    static w_library *openInstance();

    // Replaces the file dialogs (tests answer them).
    void setFileChooser(ChooseFile choose) { m_chooseFile = std::move(choose); }

    library::ItemListModel *model() const { return m_model; }
    // Pages of a long library are still being read.
    bool isReading() const;

    QLineEdit *sle_filter = nullptr;
    QCheckBox *cbx_review = nullptr;
    QTableView *tv_items = nullptr;
    QLabel *st_count = nullptr;
    QPushButton *cb_add = nullptr;
    QPushButton *cb_edit = nullptr;
    QPushButton *cb_delete = nullptr;
    QPushButton *cb_reviewed = nullptr;
    QPushButton *cb_goto = nullptr;
    QPushButton *cb_check = nullptr;
    QPushButton *cb_import = nullptr;
    QPushButton *cb_export = nullptr;

public slots:
    // Reads the items and the codes' names again.
    void reload();
    // Opens the item dialog for a new item starting from these fields; true when it was saved.
    bool addItem(const library::Item &start = {});
    bool editCurrent();
    bool deleteCurrent();
    bool markCurrentReviewed();
    void goToCurrent();
    // Compares every item with the current customs list now.
    void checkAll();
    bool importFile(const QString &path);
    bool exportTo(const QString &path);

signals:
    // Items were saved, deleted, reviewed or imported here.
    void itemsChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    const library::Item *current() const;
    void select(const QString &partNumber);
    void updateState();
    // The next page of a long library, read while the user can already work in the list.
    void loadMore();
    void sayError(const QString &text);
    QString chooseFile(bool save);

    runtime::Transaction *m_sqlca;
    GoToCode m_goToCode;
    ChooseFile m_chooseFile;
    library::ItemListModel *m_model = nullptr;
    QHash<QString, QString> m_names; // code -> tariff name
    // A long library comes in pages: the first at once, the others a page per turn of the
    // event loop after the one before.
    QTimer *m_loading = nullptr;
    QString m_lastRead;  // the part number the next page follows
    QString m_keep;      // the item to select again once it is read
};

} // namespace ui
