#include "app/LibraryFeature.h"

#include "core/library/Item.h"
#include "core/library/ItemStore.h"
#include "core/session/globals.h"
#include "core/tariff/ElementValuesStore.h"
#include "ui/library/w_library.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/quicksearch/QuickSearchController.h"
#include "ui/runtime/MessageBox.h"
#include "ui/sheet/ElementsPanel.h"
#include "ui/sheet/w_sheet.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>

namespace {

// The grid layout below `layout` that holds `widget`; null when none does.
QGridLayout *gridHolding(QLayout *layout, QWidget *widget)
{
    if (!layout)
        return nullptr;
    if (auto *grid = qobject_cast<QGridLayout *>(layout); grid && grid->indexOf(widget) >= 0)
        return grid;
    for (int i = 0; i < layout->count(); ++i)
        if (QGridLayout *found = gridHolding(layout->itemAt(i)->layout(), widget))
            return found;
    return nullptr;
}

} // namespace

LibraryFeature *LibraryFeature::install(w_kiv *window)
{
    // Once per window: the composition installs it, and a caller that asks again gets that one.
    if (auto *installed = window->findChild<LibraryFeature *>(QStringLiteral("libraryFeature"),
                                                            Qt::FindDirectChildrenOnly))
        return installed;
    return new LibraryFeature(window);
}

LibraryFeature::LibraryFeature(w_kiv *window)
    : QObject(window)
    , m_window(window)
{
    setObjectName(QStringLiteral("libraryFeature"));
    addMenuItem();
    connectSearch();
    if (w_sheet *sheet = w_sheet::openInstance())
        addSheetButton(sheet);
    qApp->installEventFilter(this);
}

void LibraryFeature::addMenuItem()
{
    m_library = new QAction(QStringLiteral("商品归类库[&L]...\tCtrl+L"), this);
    m_library->setObjectName(QStringLiteral("m_library"));
    m_library->setStatusTip(QStringLiteral("本公司商品的料号、品名、编码和申报要素，导入新版税则后列出待复核的商品"));
    m_library->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    m_library->setShortcutContext(Qt::WindowShortcut);
    m_window->addAction(m_library);
    connect(m_library, &QAction::triggered, this, &LibraryFeature::open);
    // In the 工具 drop-down after 打印: the commands on codes end there.
    auto *tools = m_window->findChild<QMenu *>(QStringLiteral("m_tools"));
    if (!tools)
        return;
    const QList<QAction *> items = tools->actions();
    const auto *print = m_window->findChild<QAction *>(QStringLiteral("m_print"));
    const qsizetype at = items.indexOf(const_cast<QAction *>(print));
    tools->insertAction(at >= 0 && at + 1 < items.size() ? items.at(at + 1) : nullptr, m_library);
}

void LibraryFeature::connectSearch()
{
    QuickSearchController *search = QuickSearchController::of(m_window);
    if (!search)
        return;
    constexpr int kShownItems = 20;
    search->setItemRows([this](const QString &text) {
        if (m_searchStale) {
            library::ItemStore store(sqlca);
            m_search.setItems(store.listed()); // the columns the search needs, read fast
            m_searchStale = !store.lastError().isEmpty(); // tried again at the next search
        }
        QList<quicksearch::ResultModel::Entry> rows;
        for (const library::ItemSearch::Hit &hit : m_search.find(text, kShownItems)) {
            QString name = hit.partNumber + QStringLiteral("  ") + hit.name;
            if (!hit.model.isEmpty())
                name += QStringLiteral("  ") + hit.model;
            rows.append({quicksearch::CodeList::Customs, hit.code, name, {}, false, {}, hit.partNumber});
        }
        return rows;
    });
    connect(search, &QuickSearchController::itemChosen, this, &LibraryFeature::goToCode);
    connect(m_window, &w_kiv::treesBuilt, this, &LibraryFeature::itemsChanged);
}

void LibraryFeature::open()
{
    if (!m_window)
        return;
    const bool made = !ui::w_library::openInstance();
    ui::w_library *library =
        ui::w_library::openFor(sqlca, [this](const QString &code) { goToCode(code); }, m_window);
    if (made)
        connect(library, &ui::w_library::itemsChanged, this, &LibraryFeature::itemsChanged);
}

void LibraryFeature::goToCode(const QString &code)
{
    if (!m_window)
        return;
    const bool inTree = m_window->goToCode(QStringLiteral("hs"), code);
    w_sheet *sheet = w_sheet::openInstance();
    if (!sheet || !sheet->isVisible()) {
        // Through the window's own command, so the sheet is wired as when the user opens it.
        if (auto *open = m_window->findChild<QAction *>(QStringLiteral("m_sheet")))
            open->trigger();
        sheet = w_sheet::openInstance();
    }
    if (inTree || !sheet)
        return;
    if (!sheet->showUnloadedCode(code))
        runtime::messageBox(QStringLiteral("商品归类库"),
                            QStringLiteral("编码 %1 不在当前的海关商品编码表中，请编辑商品，改用新的编码。").arg(code),
                            runtime::MessageIcon::Exclamation);
}

void LibraryFeature::addFromSheet(w_sheet *sheet)
{
    if (!m_window || !sheet)
        return;
    if (!sheet->content() || !sheet->content()->isTariffLine) {
        runtime::messageBox(QStringLiteral("商品归类库"), QStringLiteral("请先在树中选择一个十位海关编码。"),
                            runtime::MessageIcon::Exclamation, runtime::MessageButtons::Ok, 1, sheet);
        return;
    }
    library::Item start;
    start.code = sheet->content()->code;
    // The values being typed on the elements page, else those kept when they were last copied.
    const bool typing = sheet->tab_pages->currentIndex() == sheet->tab_pages->count() - 1;
    const QStringList values =
        typing ? sheet->ep_elements->values() : tariff::ElementValuesStore(sqlca).values(start.code);
    if (std::any_of(values.cbegin(), values.cend(), [](const QString &v) { return !v.isEmpty(); }))
        start.elementValues = values.join(u'|');
    open();
    if (ui::w_library *library = ui::w_library::openInstance())
        library->addItem(start);
}

void LibraryFeature::addSheetButton(w_sheet *sheet)
{
    if (sheet->findChild<QPushButton *>(QStringLiteral("cb_addtolibrary")))
        return;
    auto *button = new QPushButton(QStringLiteral("加入归类库(&L)"), sheet);
    button->setObjectName(QStringLiteral("cb_addtolibrary"));
    button->setAutoDefault(false);
    button->setToolTip(QStringLiteral("以此编码和填写的申报要素新增一个本公司商品"));
    button->setAccessibleDescription(button->toolTip());
    if (QGridLayout *copies = gridHolding(sheet->layout(), sheet->cb_copyall))
        copies->addWidget(button, copies->rowCount(), 0, 1, 2);
    connect(button, &QPushButton::clicked, this, [this, sheet] { addFromSheet(sheet); });
}

bool LibraryFeature::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show)
        if (auto *sheet = qobject_cast<w_sheet *>(watched))
            addSheetButton(sheet);
    return false;
}
