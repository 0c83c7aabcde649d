#include "ui/library/w_library.h"

#include "core/library/ItemExport.h"
#include "core/library/ItemImport.h"
#include "core/library/ItemListModel.h"
#include "core/library/ItemReview.h"
#include "core/library/ItemStore.h"
#include "core/library/TariffNames.h"
#include "core/runtime/Transaction.h"
#include "ui/library/ImportPreview.h"
#include "ui/library/ItemDialog.h"
#include "ui/runtime/MessageBox.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace ui {

namespace {
QPointer<w_library> g_open;
const QString kTitle = QStringLiteral("商品归类库");

// A window of its own: a screen reader lists it among the program's windows, not as a filler
// (a plain widget's role).
QAccessibleInterface *libraryAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("ui::w_library") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}
// The busy cursor while a long read or write blocks the window (100,000 items take seconds).
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
} // namespace

w_library *w_library::openFor(runtime::Transaction *sqlca, GoToCode goToCode, QWidget *parent)
{
    if (!g_open)
        g_open = new w_library(sqlca, std::move(goToCode), parent);
    g_open->show();
    g_open->raise();
    g_open->activateWindow();
    return g_open;
}

w_library *w_library::openInstance()
{
    return g_open;
}

w_library::w_library(runtime::Transaction *sqlca, GoToCode goToCode, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_sqlca(sqlca)
    , m_goToCode(std::move(goToCode))
    , m_model(new library::ItemListModel(this))
{
    static const bool accessibleAsWindow = (QAccessible::installFactory(libraryAccessible), true);
    Q_UNUSED(accessibleAsWindow);
    setObjectName(QStringLiteral("w_library"));
    setWindowTitle(kTitle);
    setAccessibleName(kTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    m_loading = new QTimer(this);
    m_loading->setInterval(0);
    connect(m_loading, &QTimer::timeout, this, &w_library::loadMore);
    createControls();
    reload();
    resize(1120, 560);
}

w_library::~w_library() = default;

void w_library::createControls()
{
    sle_filter = new QLineEdit;
    sle_filter->setObjectName(QStringLiteral("sle_filter"));
    sle_filter->setPlaceholderText(QStringLiteral("料号、品名、规格型号、编码或税则名称，多个词用空格分开"));
    sle_filter->setClearButtonEnabled(true);
    auto *filterLabel = new QLabel(QStringLiteral("筛选(&F)："));
    filterLabel->setBuddy(sle_filter);
    cbx_review = new QCheckBox(QStringLiteral("只看待复核(&R)"));
    cbx_review->setObjectName(QStringLiteral("cbx_review"));

    tv_items = new QTableView;
    tv_items->setObjectName(QStringLiteral("tv_items"));
    tv_items->setAccessibleName(QStringLiteral("商品列表"));
    tv_items->setModel(m_model);
    tv_items->setSortingEnabled(true);
    tv_items->sortByColumn(library::ItemListModel::PartNumber, Qt::AscendingOrder);
    tv_items->setSelectionBehavior(QAbstractItemView::SelectRows);
    tv_items->setSelectionMode(QAbstractItemView::SingleSelection);
    tv_items->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tv_items->setTabKeyNavigation(false);
    tv_items->verticalHeader()->hide();
    // Rows of one height: 100,000 rows need no measuring each.
    tv_items->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tv_items->verticalHeader()->setDefaultSectionSize(tv_items->fontMetrics().height() + 8);
    tv_items->horizontalHeader()->setStretchLastSection(true);
    tv_items->setWordWrap(false);
    for (const auto &[column, width] : {std::pair{0, 110}, {1, 160}, {2, 140}, {3, 100}, {4, 200}})
        tv_items->setColumnWidth(column, width);
    auto *listLabel = new QLabel(QStringLiteral("商品(&I)："));
    listLabel->setBuddy(tv_items);
    st_count = new QLabel;
    st_count->setObjectName(QStringLiteral("st_count"));

    const auto button = [this](const QString &text, const char *name, const QString &tip) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(tip);
        b->setAccessibleDescription(tip);
        return b;
    };
    cb_add = button(QStringLiteral("新增(&N)..."), "cb_add", QStringLiteral("新增一个商品"));
    cb_edit = button(QStringLiteral("编辑(&E)..."), "cb_edit", QStringLiteral("修改所选商品（也可双击或按 Enter）"));
    cb_delete = button(QStringLiteral("删除(&D)"), "cb_delete", QStringLiteral("删除所选商品，先询问"));
    cb_reviewed = button(QStringLiteral("标记已复核(&M)"), "cb_reviewed",
                         QStringLiteral("已核对新版税则的变化，把所选商品移出待复核"));
    cb_goto = button(QStringLiteral("转到编码(&G)"), "cb_goto", QStringLiteral("在树和申报信息窗口中显示所选商品的编码"));
    cb_check = button(QStringLiteral("重新复核(&K)"), "cb_check", QStringLiteral("把全部商品与当前税则再比较一次"));
    cb_import = button(QStringLiteral("导入(&T)..."), "cb_import", QStringLiteral("从 Excel 或 CSV 文件导入商品，先预览"));
    cb_export = button(QStringLiteral("导出(&X)..."), "cb_export", QStringLiteral("把全部商品导出为 Excel 或 CSV 文件"));

    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(sle_filter, 1);
    filterRow->addWidget(cbx_review);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {cb_add, cb_edit, cb_delete, cb_reviewed, cb_goto, cb_check, cb_import, cb_export})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *grid = new QGridLayout(this);
    grid->addLayout(filterRow, 0, 0, 1, 2);
    grid->addWidget(listLabel, 1, 0);
    grid->addWidget(tv_items, 2, 0);
    grid->addLayout(buttons, 2, 1);
    grid->addWidget(st_count, 3, 0, 1, 2);
    grid->setRowStretch(2, 1);
    sle_filter->setFocus(); // typing filters at once

    // The selected item stays selected while the filter keeps it, else the first one shown is.
    connect(sle_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        const QString kept = current() ? current()->partNumber : QString();
        m_model->setFilterText(text);
        select(kept);
    });
    connect(cbx_review, &QCheckBox::toggled, this, [this](bool on) {
        const QString kept = current() ? current()->partNumber : QString();
        m_model->setOnlyReview(on);
        select(kept);
    });
    connect(tv_items, &QAbstractItemView::doubleClicked, this, &w_library::editCurrent);
    connect(cb_add, &QPushButton::clicked, this, [this] { addItem(); });
    connect(cb_edit, &QPushButton::clicked, this, &w_library::editCurrent);
    connect(cb_delete, &QPushButton::clicked, this, &w_library::deleteCurrent);
    connect(cb_reviewed, &QPushButton::clicked, this, &w_library::markCurrentReviewed);
    connect(cb_goto, &QPushButton::clicked, this, &w_library::goToCurrent);
    connect(cb_check, &QPushButton::clicked, this, &w_library::checkAll);
    connect(cb_import, &QPushButton::clicked, this, [this] {
        if (const QString path = chooseFile(false); !path.isEmpty())
            importFile(path);
    });
    connect(cb_export, &QPushButton::clicked, this, [this] {
        if (const QString path = chooseFile(true); !path.isEmpty())
            exportTo(path);
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &w_library::updateState);
    connect(tv_items->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &w_library::updateState);
}

namespace {
// The first page shows at once; each later one takes a few milliseconds of the event loop.
constexpr int kFirstPage = 2000;
constexpr int kNextPage = 5000;
} // namespace

void w_library::reload()
{
    m_loading->stop();
    QString error;
    m_names = library::TariffNames::read(m_sqlca, &error);
    library::ItemStore store(m_sqlca);
    const QList<library::Item> items = store.listedPage(QString(), kFirstPage);
    if (error.isEmpty())
        error = store.lastError();
    m_keep = current() ? current()->partNumber : QString();
    m_model->setItems(items, m_names);
    m_lastRead = items.isEmpty() ? QString() : items.last().partNumber;
    if (items.size() == kFirstPage && error.isEmpty())
        m_loading->start();
    select(m_keep);
    updateState();
    if (!error.isEmpty())
        sayError(QStringLiteral("无法读取商品归类库: ") + error);
}

bool w_library::isReading() const
{
    return m_loading->isActive();
}

void w_library::loadMore()
{
    // While an edition is being written the next page waits, without a turn of the timer each
    // pass of the event loop.
    constexpr int kLentRetryMs = 20;
    m_loading->setInterval(m_sqlca->isLent() ? kLentRetryMs : 0);
    if (m_sqlca->isLent())
        return;
    library::ItemStore store(m_sqlca);
    const QList<library::Item> items = store.listedPage(m_lastRead, kNextPage);
    if (!store.lastError().isEmpty()) {
        m_loading->stop();
        updateState();
        sayError(QStringLiteral("无法读取商品归类库: ") + store.lastError());
        return;
    }
    m_model->appendItems(items, m_names);
    if (!items.isEmpty())
        m_lastRead = items.last().partNumber;
    if (items.size() < kNextPage) {
        m_loading->stop();
        if (!current())
            select(m_keep);
    }
    updateState();
}

const library::Item *w_library::current() const
{
    return m_model->itemAt(tv_items->currentIndex().row());
}

void w_library::select(const QString &partNumber)
{
    int row = partNumber.isEmpty() ? -1 : m_model->rowOf(partNumber);
    if (row < 0 && m_model->rowCount() > 0)
        row = 0;
    if (row >= 0)
        tv_items->setCurrentIndex(m_model->index(row, 0));
    updateState();
}

void w_library::updateState()
{
    const library::Item *it = current();
    const int shown = m_model->rowCount();
    const int total = m_model->totalCount();
    const bool loading = m_loading->isActive();
    st_count->setText((loading ? QStringLiteral("正在读取… ") : QString())
                      + (shown == total
                             ? QStringLiteral("共 %1 个商品，%2 个待复核").arg(total).arg(m_model->reviewCount())
                             : QStringLiteral("共 %1 个商品，显示 %2 个，%3 个待复核")
                                   .arg(total)
                                   .arg(shown)
                                   .arg(m_model->reviewCount())));
    for (QPushButton *b : {cb_edit, cb_delete, cb_goto})
        b->setEnabled(it);
    cb_reviewed->setEnabled(it && it->needsReview());
    cb_export->setEnabled(total > 0 && !loading); // an export holds every item
}

void w_library::sayError(const QString &text)
{
    runtime::messageBox(kTitle, text, runtime::MessageIcon::Exclamation, runtime::MessageButtons::Ok, 1, this);
}

bool w_library::addItem(const library::Item &start)
{
    library::Item fresh = start;
    fresh.version = 0;
    ItemDialog dialog(m_sqlca, fresh, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    m_model->putItem(dialog.result(), m_names.value(dialog.result().code));
    select(dialog.result().partNumber);
    emit itemsChanged();
    return true;
}

bool w_library::editCurrent()
{
    const library::Item *it = current();
    if (!it)
        return false;
    const QString partNumber = it->partNumber;
    // The list holds what it shows; the dialog gets the whole item as stored now.
    library::ItemStore store(m_sqlca);
    const std::optional<library::Item> whole = store.item(partNumber);
    if (!whole) {
        sayError(store.lastError().isEmpty() ? QStringLiteral("此商品已被他人删除。")
                                             : QStringLiteral("无法读取商品: ") + store.lastError());
        reload();
        return false;
    }
    ItemDialog dialog(m_sqlca, *whole, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (dialog.result().partNumber.isEmpty())
        m_model->removeItem(partNumber); // a colleague deleted it, and the user took that
    else
        m_model->putItem(dialog.result(), m_names.value(dialog.result().code));
    select(partNumber);
    emit itemsChanged();
    return true;
}

bool w_library::deleteCurrent()
{
    const library::Item *it = current();
    if (!it)
        return false;
    const library::Item doomed = *it;
    if (runtime::messageBox(kTitle, QStringLiteral("删除商品“%1 %2”？").arg(doomed.partNumber, doomed.name),
                            runtime::MessageIcon::Question, runtime::MessageButtons::YesNo, 2, this)
        != 1)
        return false;
    const int row = tv_items->currentIndex().row();
    const auto r = library::ItemStore(m_sqlca).remove(doomed.partNumber, doomed.version);
    if (!r.ok()) {
        sayError(r.message);
        if (r.status == library::ItemStore::Status::Conflict)
            reload(); // the colleague's change (or deletion) is shown
        return false;
    }
    m_model->removeItem(doomed.partNumber);
    if (const library::Item *next = m_model->itemAt(std::min(row, m_model->rowCount() - 1)))
        select(next->partNumber);
    emit itemsChanged();
    return true;
}

bool w_library::markCurrentReviewed()
{
    const library::Item *it = current();
    if (!it || !it->needsReview())
        return false;
    const QString partNumber = it->partNumber;
    const auto r = library::ItemStore(m_sqlca).markReviewed(partNumber);
    if (!r.ok()) {
        sayError(r.message);
        return false;
    }
    if (r.saved.needsReview()) // a removed code cannot be reviewed away: the item needs a new code
        sayError(QStringLiteral("此商品的编码已在新版税则中删除，请编辑商品，改用新的编码。"));
    m_model->putItem(r.saved, m_names.value(r.saved.code));
    select(partNumber);
    emit itemsChanged();
    return true;
}

void w_library::goToCurrent()
{
    if (const library::Item *it = current(); it && m_goToCode)
        m_goToCode(it->code);
}

void w_library::checkAll()
{
    const library::ItemReview::Outcome o = library::ItemReview::checkAll(m_sqlca);
    if (!o.ok) {
        sayError(QStringLiteral("商品归类库未能复核: ") + o.error);
        return;
    }
    reload();
    runtime::messageBox(kTitle, QStringLiteral("已复核 %1 个商品，%2 个待复核。").arg(o.checked).arg(o.needReview),
                        runtime::MessageIcon::Information, runtime::MessageButtons::Ok, 1, this);
}

bool w_library::importFile(const QString &path)
{
    library::ItemImport import;
    QString error;
    bool read = false;
    {
        BusyCursor busy;
        read = import.read(path, m_sqlca, &error);
    }
    if (!read) {
        sayError(error);
        return false;
    }
    ImportPreview preview(QFileInfo(path).fileName(), import, this);
    if (preview.exec() != QDialog::Accepted)
        return false;
    bool applied = false;
    {
        BusyCursor busy;
        applied = import.apply(m_sqlca, library::ItemStore(m_sqlca).userName(), &error);
    }
    if (!applied) {
        sayError(error);
        return false;
    }
    reload();
    emit itemsChanged();
    return true;
}

bool w_library::exportTo(const QString &path)
{
    library::ItemStore store(m_sqlca);
    QList<library::Item> items;
    kivexport::WriteResult written;
    {
        BusyCursor busy;
        items = store.all();
        if (store.lastError().isEmpty())
            written = library::ItemExport::write(path, items, m_names);
    }
    if (!store.lastError().isEmpty()) {
        sayError(QStringLiteral("无法读取商品归类库: ") + store.lastError());
        return false;
    }
    if (!written.ok()) {
        sayError(written.message);
        return false;
    }
    runtime::messageBox(kTitle, QStringLiteral("已导出 %1 个商品到 %2。").arg(items.size()).arg(QFileInfo(path).fileName()),
                        runtime::MessageIcon::Information, runtime::MessageButtons::Ok, 1, this);
    return true;
}

QString w_library::chooseFile(bool save)
{
    if (m_chooseFile)
        return m_chooseFile(this, save);
    const QString filter = QStringLiteral("Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv)");
    return save ? QFileDialog::getSaveFileName(this, QStringLiteral("导出商品"), QStringLiteral("商品归类库.xlsx"), filter)
                : QFileDialog::getOpenFileName(this, QStringLiteral("导入商品"), QString(),
                                               QStringLiteral("Excel 或 CSV 文件 (*.xlsx *.csv);;所有文件 (*)"));
}

void w_library::keyPressEvent(QKeyEvent *event)
{
    const bool inList = tv_items->hasFocus();
    if (inList && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        editCurrent();
        return;
    }
    if (inList && event->key() == Qt::Key_Delete) {
        deleteCurrent();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace ui
