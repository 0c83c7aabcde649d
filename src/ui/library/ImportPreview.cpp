#include "ui/library/ImportPreview.h"

#include "core/library/ItemImport.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ui {

ImportPreview::ImportPreview(const QString &fileName, const library::ItemImport &import, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("w_itemimport"));
    setWindowTitle(QStringLiteral("导入商品 - %1").arg(fileName));
    int updates = 0;
    for (const auto &row : import.rows())
        updates += row.problem.isEmpty() && row.update ? 1 : 0;
    st_summary = new QLabel(QStringLiteral("可导入 %1 行（新增 %2，更新 %3），拒绝 %4 行。")
                                .arg(import.accepted())
                                .arg(import.accepted() - updates)
                                .arg(updates)
                                .arg(import.refused()));
    st_summary->setObjectName(QStringLiteral("st_summary"));
    st_summary->setWordWrap(true);

    tbl_refused = new QTableWidget(import.refused(), 3);
    tbl_refused->setObjectName(QStringLiteral("tbl_refused"));
    tbl_refused->setAccessibleName(QStringLiteral("拒绝的行"));
    tbl_refused->setHorizontalHeaderLabels({QStringLiteral("行"), QStringLiteral("料号"), QStringLiteral("原因")});
    tbl_refused->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbl_refused->setSelectionBehavior(QAbstractItemView::SelectRows);
    tbl_refused->verticalHeader()->hide();
    tbl_refused->horizontalHeader()->setStretchLastSection(true);
    int shown = 0;
    for (const auto &row : import.rows()) {
        if (row.problem.isEmpty())
            continue;
        tbl_refused->setItem(shown, 0, new QTableWidgetItem(QString::number(row.line)));
        tbl_refused->setItem(shown, 1, new QTableWidgetItem(row.item.partNumber));
        tbl_refused->setItem(shown, 2, new QTableWidgetItem(row.problem));
        ++shown;
    }
    auto *refusedLabel = new QLabel(QStringLiteral("拒绝的行(&L)："));
    refusedLabel->setBuddy(tbl_refused);

    auto *buttons = new QDialogButtonBox;
    cb_apply = buttons->addButton(QStringLiteral("导入(&I)"), QDialogButtonBox::AcceptRole);
    cb_apply->setObjectName(QStringLiteral("cb_apply"));
    cb_apply->setEnabled(import.accepted() > 0);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(st_summary);
    layout->addWidget(refusedLabel);
    layout->addWidget(tbl_refused);
    layout->addWidget(buttons);
    resize(640, 420);
}

} // namespace ui
