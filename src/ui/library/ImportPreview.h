#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;
namespace library {
class ItemImport;
}

namespace ui {

// What an item file would do before anything is written: how many rows are added, how many
// replace an item, and each refused row with its line and reason. "导入" applies the rest.
class ImportPreview : public QDialog
{
    Q_OBJECT
public:
    ImportPreview(const QString &fileName, const library::ItemImport &import, QWidget *parent = nullptr);

    QLabel *st_summary = nullptr;
    QTableWidget *tbl_refused = nullptr;
    QPushButton *cb_apply = nullptr;
};

} // namespace ui
