#pragma once

// The program with its item library: a database of a few codes, items saved, the library window
// opened as the user opens it.

#include "app/LibraryFeature.h"
#include "core/library/ItemListModel.h"
#include "core/library/ItemStore.h"
#include "core/quicksearch/ResultModel.h"
#include "core/runtime/Transaction.h"
#include "core/runtime/TreeModel.h"
#include "support/RunningProgram.h"
#include "support/TestDatabase.h"
#include "support/TypeText.h"
#include "ui/export/ExportCommands.h"
#include "ui/library/ImportPreview.h"
#include "ui/library/ItemDialog.h"
#include "ui/library/w_library.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/quicksearch/QuickSearchController.h"
#include "ui/quicksearch/QuickSearchField.h"
#include "ui/sheet/ElementsPanel.h"
#include "ui/sheet/w_sheet.h"
#include "ui/tree/u_tv.h"
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>
#include <functional>

namespace {

// Chapter 84 is loaded in the trees, chapter 85 is not.
const char *kRows =
    "INSERT INTO list_hscode(code, name, unit, flag) VALUES"
    " ('84', '核反应堆、锅炉、机器', NULL, 'Y'), ('8471', 'Automatic data processing machines', NULL, NULL),"
    " ('847130', 'Portable', NULL, NULL), ('8471300000', '便携式自动数据处理设备', '台', NULL),"
    " ('8471410000', '其他自动数据处理设备', '台', NULL),"
    " ('85', '电机、电气设备', NULL, NULL), ('8517', 'Telephone sets', NULL, NULL),"
    " ('851713', 'Smartphones', NULL, NULL), ('8517130000', '智能手机', '台', NULL);"
    "INSERT INTO tariff_line(code, declaration_elements) VALUES"
    " ('8471300000', '1:品牌类型;2:型号'), ('8517130000', '1:品牌类型;2:型号');"
    "INSERT INTO supervision_certificate VALUES ('A', '检验检疫');"
    "INSERT INTO inspection_category VALUES ('P', '进境动植物、动植物产品检疫');"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, flag) VALUES ('84', 'N', '机器', 'Y');";

struct Program : RunningProgram {
    LibraryFeature *feature = nullptr;
    ui::w_library *library = nullptr;

    bool startWith(const QList<library::Item> &items)
    {
        if (!makeDatabase(QString::fromUtf8(kRows)) || !start())
            return false;
        library::ItemStore store(transaction.get());
        for (const library::Item &it : items)
            if (!store.save(it, 0).ok())
                return false;
        feature = LibraryFeature::install(window.get());
        return true;
    }
    // Ctrl+L in the tree: the window opens.
    bool openLibrary()
    {
        QTest::keyClick(window->tv_1, Qt::Key_L, Qt::ControlModifier);
        library = ui::w_library::openInstance();
        return library && QTest::qWaitFor([this] { return QApplication::activeWindow() == library; });
    }
    QStringList shownParts() const
    {
        QStringList parts;
        for (int row = 0; row < library->model()->rowCount(); ++row)
            parts << library->model()->itemAt(row)->partNumber;
        return parts;
    }
    QStringList stored(const QString &column) const
    {
        return TestDatabase::column(file, QStringLiteral("SELECT %1 FROM item ORDER BY part_no").arg(column));
    }
    // Puts the keyboard on an item's row, as the arrows do.
    void selectRow(const QString &part)
    {
        library->tv_items->setFocus();
        library->tv_items->setCurrentIndex(library->model()->index(library->model()->rowOf(part), 0));
    }
    QString selectedCode() const
    {
        runtime::TreeItem item;
        window->tv_1->getItem(window->tv_1->findItem(runtime::TreeNavigation::Current, 0), item);
        return item.data.toString();
    }
};

inline library::Item item(const QString &part, const QString &name, const QString &code)
{
    library::Item it;
    it.partNumber = part;
    it.name = name;
    it.code = code;
    return it;
}

// Acts on the next modal dialog of type D once it is shown (exec() runs its own loop).
template<class D>
void whenShown(std::function<void(D *)> act)
{
    QTimer::singleShot(0, qApp, [act] {
        D *dialog = nullptr;
        if (QTest::qWaitFor([&dialog] {
                dialog = qobject_cast<D *>(QApplication::activeModalWidget());
                return dialog && QApplication::activeWindow() == dialog;
            }))
            act(dialog);
    });
}

inline void typeInto(QLineEdit *field, const QString &text)
{
    field->setFocus();
    typeText(field, text);
}

} // namespace
