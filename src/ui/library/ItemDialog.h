#pragma once

#include "core/library/Item.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
namespace runtime {
class Transaction;
}

namespace ui {

// Adds or edits one item of the library: 料号, 品名, 规格型号, 商品编码, 申报要素 and 归类依据.
// "保存" stores it (the code checked against the customs list); a refused save says why and
// keeps the dialog with what was typed; a colleague's newer change is shown and asked about.
class ItemDialog : public QDialog
{
    Q_OBJECT
public:
    // A new item when start.version is 0 (its fields, if any, filled in), else an edit of it.
    ItemDialog(runtime::Transaction *sqlca, const library::Item &start, QWidget *parent = nullptr);

    // After accept: the item as stored (or, after taking a colleague's version, as they left it;
    // an empty part number when they deleted it).
    library::Item result() const { return m_result; }

    QLineEdit *sle_part = nullptr;
    QLineEdit *sle_name = nullptr;
    QLineEdit *sle_model = nullptr;
    QLineEdit *sle_code = nullptr;
    QLineEdit *sle_elements = nullptr;
    QPlainTextEdit *mle_reason = nullptr;
    QPushButton *cb_save = nullptr;

public slots:
    void save();

private:
    library::Item typed() const;
    void show(const library::Item &item);

    runtime::Transaction *m_sqlca;
    int m_baseVersion = 0;
    library::Item m_result;
};

} // namespace ui
