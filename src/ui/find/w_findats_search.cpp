// The searches of the find dialog: building the expression from the input, finding the rows,
// selecting their tree items and listing them, and picking a listed entry.
#include "ui/find/w_findats.h"

#include "core/find/FindExpressionBuilder.h"
#include "core/find/ListPrefixIndex.h"
#include "core/quicksearch/RecentCodes.h"
#include "core/runtime/DataView.h"
#include "core/runtime/TreeModel.h"
#include "core/session/globals.h"
#include "ui/runtime/MessageBox.h"
#include "ui/tree/TreeWindow.h"
#include "ui/tree/u_tv.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>

#include <vector>

namespace {

const QString kHintTitle = QStringLiteral(":-)查找提示");
// Where a result entry keeps the code of its tree item.
constexpr int kCodeRole = Qt::UserRole;

} // namespace

void w_findats::reportResult(int result)
{
    if (result == -1)
        runtime::messageBox(QStringLiteral("Warning :"), QStringLiteral("Search HG K-I-V Occured Error!!"),
                            runtime::MessageIcon::Information, runtime::MessageButtons::Ok, 1, this);
    else if (result == -2)
        runtime::messageBox(QStringLiteral("Warning :"), QStringLiteral("Search JMW K-I-V Occured Error!!"),
                            runtime::MessageIcon::Information, runtime::MessageButtons::Ok, 1, this);
}

int w_findats::wf_supper_search(const QString &as_pt)
{
    TreeWindow *main = TreeWindow::main();
    if (!main)
        return 1;
    const bool byCode = is_type == QLatin1String("N");
    auto search = [&](QLineEdit *field, u_tv *tree, runtime::DataView *view) {
        return byCode ? wf_search_code(field, tree, view, is_find, as_pt)
                      : wf_search_name(field, tree, view, is_find, as_pt);
    };
    // "H" searches the customs list, "J" the foreign-trade list, anything else both.
    const bool customs = is_tree != QLatin1String("J");
    const bool foreign = is_tree != QLatin1String("H");
    if (customs && search(sle_1, main->tree(QStringLiteral("hs")), main->rows(QStringLiteral("hs"))) == -1)
        return -1;
    if (foreign && search(sle_3, main->tree(QStringLiteral("jmw")), main->rows(QStringLiteral("jmw"))) == -1)
        return -2;
    return 1;
}

int w_findats::wf_search_name(QLineEdit *as_sle, u_tv *as_tv, runtime::DataView *as_dw, const QString &as_type,
                              const QString &as_pt)
{
    // The name always comes from the name field; as_sle only names the list's code field.
    Q_UNUSED(as_sle);
    const QString ls_name = sle_2->text();
    if (ls_name.isEmpty()) {
        emptyInput(sle_2, QStringLiteral("您需要录入商品名称!"));
        return -1;
    }
    return searchList(kiv::FindExpressionBuilder::nameSearch(ls_name, as_type), as_tv, as_dw, as_pt);
}

int w_findats::wf_search_code(QLineEdit *as_sle, u_tv *as_tv, runtime::DataView *as_dw, const QString &as_type,
                              const QString &as_pt)
{
    const QString ls_code = as_sle ? as_sle->text() : QString();
    if (ls_code.isEmpty()) {
        emptyInput(as_sle, QStringLiteral("您需要录入商品代码!"));
        return -1;
    }
    const QString column = as_sle == sle_1 ? QStringLiteral("Code") : QStringLiteral("jmw_code");
    return searchList(kiv::FindExpressionBuilder::codeSearch(column, ls_code, as_type), as_tv, as_dw, as_pt);
}

void w_findats::emptyInput(QLineEdit *field, const QString &hint)
{
    runtime::messageBox(kHintTitle, hint, runtime::MessageIcon::Exclamation, runtime::MessageButtons::Ok, 1, this);
    if (field)
        field->setFocus();
}

int w_findats::searchList(const QString &ls_where, u_tv *as_tv, runtime::DataView *as_dw, const QString &as_pt)
{
    if (as_tv && as_dw) {
        if (cbx_2->isChecked()) {
            listAllMatches(ls_where, as_tv, as_dw);
        } else {
            // One match, from the view's current row: the row of the item selected last,
            // whoever selected it. Rows outside the view are passed on as they are.
            long ll_find = 1;
            long ll_end = as_dw->rowCount();
            if (as_pt == QLatin1String("UP")) {
                ll_find = as_dw->currentRow() - 1;
                ll_end = 1;
            } else if (as_pt != QLatin1String("ROOT")) {
                ll_find = as_dw->currentRow() + 1;
            }
            const long row = as_dw->find(ls_where, ll_find, ll_end);
            if (row >= 1) {
                runtime::TreeItem ltr_temp;
                takeFoundRow(row, as_tv, as_dw, ltr_temp);
            }
        }
    }
    if (lb_1->count() == 0)
        runtime::messageBox(kHintTitle, QStringLiteral("I'm Sorry,I Can't Help you!"),
                            runtime::MessageIcon::Information, runtime::MessageButtons::Ok, 1, this);
    return 1;
}

void w_findats::listAllMatches(const QString &ls_where, u_tv *as_tv, runtime::DataView *as_dw)
{
    // The matching rows are found first, then taken one by one. Taking a row selects its
    // item, and the main window answers with a find of its own on the same view, which
    // would make the view parse this search's expression again for every next match.
    // Selecting changes no row, so the rows and their order are those that finding again
    // after each selection gives.
    std::vector<long> rows;
    const long ll_end = as_dw->rowCount();
    long row = as_dw->find(ls_where, 1, ll_end);
    while (row >= 1) {
        rows.push_back(row);
        row = row + 1 <= ll_end ? as_dw->find(ls_where, row + 1, ll_end) : 0;
    }
    if (rows.empty())
        return;

    // The tree does not redraw while its items are selected in turn: each selection is still
    // announced (the main window moves the detail panel every time), but the tree lays
    // itself out once, with the last match selected and its branch opened, instead of once
    // for every match.
    const bool redraw = as_tv->redraw();
    if (redraw)
        as_tv->setRedraw(false);
    runtime::TreeItem ltr_temp; // kept from row to row: a row without a tree item reuses it
    for (long found : rows)
        takeFoundRow(found, as_tv, as_dw, ltr_temp);
    if (redraw)
        as_tv->setRedraw(true);
}

void w_findats::takeFoundRow(long row, u_tv *as_tv, runtime::DataView *as_dw, runtime::TreeItem &ltr_temp)
{
    // The row's tree item; a row without one (handle 0) reads nothing and selects nothing.
    const long ll_temp = static_cast<long>(as_dw->itemNumber(row, QStringLiteral("handle")));
    as_tv->getItem(ll_temp, ltr_temp);
    as_tv->selectItem(ll_temp);

    TreeWindow *main = TreeWindow::main();
    const QString prefix = main && as_dw == main->rows(QStringLiteral("hs")) ? kCustomsPrefix : kForeignPrefix;
    const QString ls_value = prefix + ltr_temp.label;
    if (!m_entries->anyBeginsWith(ls_value)) {
        // The code goes with the entry, set before the entry joins the list.
        auto *entry = new QListWidgetItem(ls_value);
        if (ltr_temp.data.isValid())
            entry->setData(kCodeRole, ltr_temp.data.toString());
        lb_1->addItem(entry);
    }
    if (main)
        main->showPanel(as_dw, cbx_1->isChecked());
}

void w_findats::lb_1_selectionchanged(int index)
{
    if (index < 0 || index >= lb_1->count())
        return;
    TreeWindow *main = TreeWindow::main();
    if (!main)
        return;
    // The entry's prefix names its list; its own code names its row. Names repeat within a
    // list, so the name would lead to the first row of that name instead.
    const QListWidgetItem *entry = lb_1->item(index);
    const bool customs = entry->text().startsWith(kCustomsPrefix);
    runtime::DataView *view = main->rows(customs ? QStringLiteral("hs") : QStringLiteral("jmw"));
    const QVariant code = entry->data(kCodeRole);
    if (code.isValid()) {
        const QString column = customs ? QStringLiteral("code") : QStringLiteral("jmw_code");
        const long row = view->find(kiv::FindExpressionBuilder::codeEquals(column, code.toString()), 1,
                                    view->rowCount());
        if (row >= 1)
            view->scrollToRow(row);
        // The search field's empty list offers the codes the user last went to, from here too.
        quicksearch::RecentCodes recent = quicksearch::RecentCodes::load(gs_docname);
        recent.add(customs ? quicksearch::CodeList::Customs : quicksearch::CodeList::ForeignTrade, code.toString());
        recent.save(gs_docname);
    }
    main->showPanel(view, cbx_1->isChecked());
}
