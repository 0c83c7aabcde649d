#include "ui/quicksearch/QuickSearchController.h"

#include "core/catalog/Catalog.h"
#include "core/catalog/Navigation.h"
#include "core/quicksearch/IndexSource.h"
#include "core/quicksearch/IndexTaking.h"
#include "core/quicksearch/Lexicon.h"
#include "core/quicksearch/RecentCodes.h"
#include "core/quicksearch/ResultModel.h"
#include "core/runtime/FreedMemory.h"
#include "core/session/globals.h"
#include "core/tariff/NoteEvents.h"
#include "ui/quicksearch/QuickSearchField.h"
#include "ui/quicksearch/QuickSearchPopup.h"
#include "ui/runtime/MessageBox.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QLocale>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace {
constexpr int kShown = 200;
constexpr int kRowCopyDelayMs = 200;

QString summaryOf(const quicksearch::Answer &answer)
{
    const QLocale numbers(QLocale::Chinese, QLocale::China);
    QString count;
    if (answer.total == 0)
        count = QStringLiteral("没有找到匹配的编码");
    else if (answer.total > answer.hits.size())
        count = QStringLiteral("共 %1 条，显示前 %2 条")
                    .arg(numbers.toString(answer.total), numbers.toString(answer.hits.size()));
    else
        count = QStringLiteral("共 %1 条").arg(numbers.toString(answer.total));
    return answer.notice.isEmpty() ? count : answer.notice + QLatin1Char('\n') + count;
}
} // namespace

QuickSearchController *QuickSearchController::install(QMainWindow *window)
{
    return new QuickSearchController(window);
}

QuickSearchController *QuickSearchController::of(const QObject *window)
{
    return window ? window->findChild<QuickSearchController *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QuickSearchController::QuickSearchController(QMainWindow *window)
    : QObject(window)
    , m_window(window)
    , m_navigation(catalog::Navigation::of(window))
{
    setObjectName(QStringLiteral("quicksearch"));
    results = new quicksearch::ResultModel(this);
    field = new QuickSearchField(window->menuBar());
    window->menuBar()->setCornerWidget(field, Qt::TopRightCorner);
    popup = new QuickSearchPopup(results, window);

    connect(field, &QLineEdit::textChanged, this, &QuickSearchController::answer);
    connect(field, &QuickSearchField::focused, this, &QuickSearchController::answer);
    connect(field, &QuickSearchField::unfocused, popup, &QWidget::hide);
    connect(field, &QuickSearchField::moveInList, popup, &QuickSearchPopup::moveCurrent);
    connect(field, &QuickSearchField::chosen, this, [this] { choose(popup->currentRow()); });
    connect(field, &QuickSearchField::leaving, this, &QuickSearchController::leave);
    connect(popup, &QuickSearchPopup::clicked, this, &QuickSearchController::choose);
    connect(popup, &QuickSearchPopup::currentChanged, this, &QuickSearchController::announceCurrent);
    connect(&m_building, &QFutureWatcher<IndexPointer>::finished, this, &QuickSearchController::indexBuilt);
    // Once the trees are painted: copying their rows takes a moment of its own on this thread,
    // which must not delay the window's first paint (a search typed sooner waits for it).
    connect(m_navigation, &catalog::Navigation::treesBuilt, this,
            [this] { QTimer::singleShot(kRowCopyDelayMs, this, &QuickSearchController::rebuild); });
    // The search finds notes too: a changed note goes into a new index.
    connect(tariff::NoteEvents::instance(), &tariff::NoteEvents::noteChanged, this, &QuickSearchController::rebuild);
    window->installEventFilter(this);
}

QList<QPair<QString, QString>> QuickSearchController::resultCodes() const
{
    QList<QPair<QString, QString>> codes;
    if (field->text().trimmed().isEmpty())
        return codes;
    for (int row = 0; row < results->rowCount(); ++row)
        if (const quicksearch::ResultModel::Entry *e = results->entry(row); e && e->partNumber.isEmpty())
            codes.append({quicksearch::codeListKey(e->list), e->code}); // the tariff's lines, not 我的商品
    return codes;
}

void QuickSearchController::focusField()
{
    // Pressed in another window of the program (the sheet), the key brings the main window to
    // the front: what the user types next goes into the field.
    if (!m_window->isActiveWindow()) {
        m_window->raise();
        m_window->activateWindow();
    }
    field->setFocus(Qt::ShortcutFocusReason);
    field->selectAll();
}

void QuickSearchController::rebuild()
{
    if (m_building.isRunning() || m_taking) {
        m_rebuildWanted = true; // once the running build ends: its rows are out of date
        return;
    }
    m_rebuildWanted = false;
    // Taken here, on the user-interface thread, in short steps: the lists' rows (shared, not
    // copied) and what only the database holds; the worker assembles the index's rows.
    m_taking = new quicksearch::IndexTaking(*m_navigation->catalog()->customsRows(), *m_navigation->catalog()->tradeRows(),
                                            [] { return sqlca; },
                                            [this](quicksearch::IndexSource::Taken taken) {
                                                m_taking->deleteLater();
                                                m_taking = nullptr;
                                                startBuilding(std::move(taken));
                                            },
                                            this);
}

void QuickSearchController::startBuilding(quicksearch::IndexSource::Taken taken)
{
    // The dictionaries are read with the first index and kept: from the folder the program runs
    // in, else from the executable's.
    std::shared_ptr<const quicksearch::Lexicon> lexicon = m_index ? m_index->lexicon() : nullptr;
    const QStringList folders{QDir::currentPath(), QCoreApplication::applicationDirPath()};
    m_building.setFuture(QtConcurrent::run(
        [taken = std::move(taken), lexicon, folders]() mutable -> IndexPointer {
            IndexPointer index;
            {
                quicksearch::IndexSource::Input input = quicksearch::IndexSource::assemble(taken);
                taken = {};
                if (!lexicon)
                    lexicon = quicksearch::Lexicon::load(folders);
                index = std::make_shared<const quicksearch::SearchIndex>(
                    quicksearch::SearchIndex::build(std::move(input.rows), std::move(input.unchosenRows), lexicon,
                                                    std::move(input.kept)));
            }
            // The load's peak and the build's temporaries are gone by now.
            runtime::giveBackFreedMemory();
            return index;
        }));
}

void QuickSearchController::indexBuilt()
{
    const bool first = !m_index;
    m_index = m_building.result();
    if (first)
        reportLexicon();
    if (m_rebuildWanted) {
        rebuild();
    }
    if (field->hasFocus())
        answer(); // a search typed while the index was built
    emit indexReady();
}

void QuickSearchController::reportLexicon()
{
    const auto lexicon = m_index->lexicon();
    if (!lexicon || lexicon->problems.isEmpty())
        return;
    constexpr int kListed = 10;
    QStringList lines = lexicon->problems.mid(0, kListed);
    if (lexicon->problems.size() > kListed)
        lines.append(QStringLiteral("……另有 %1 处问题").arg(lexicon->problems.size() - kListed));
    lines.append(QStringLiteral("搜索仍可使用，有问题的内容已略过。"));
    runtime::messageBox(QStringLiteral("搜索词典"), lines.join(u'\n'), runtime::MessageIcon::Exclamation);
}

void QuickSearchController::answer()
{
    if (!field->hasFocus())
        return;
    const QString text = field->text();
    if (text.trimmed().isEmpty()) {
        showRecent();
        return;
    }
    QList<quicksearch::ResultModel::Entry> items = m_itemRows ? m_itemRows(text) : QList<quicksearch::ResultModel::Entry>();
    const QString itemCount = items.isEmpty() ? QString()
                                              : QStringLiteral("%1 %2 条\n")
                                                    .arg(quicksearch::ResultModel::itemGroupLabel())
                                                    .arg(items.size());
    if (!m_index) {
        results->setEntries(std::move(items));
        popup->setSummary(itemCount + QStringLiteral("正在建立搜索索引…"));
    } else {
        const quicksearch::Answer found = m_index->search(text, kShown);
        results->setAnswer(*m_index, found, std::move(items));
        popup->setSummary(itemCount + summaryOf(found));
    }
    popup->showUnder(field);
}

void QuickSearchController::showRecent()
{
    QList<quicksearch::ResultModel::Entry> entries;
    // Read each time: the find dialog adds to them too.
    for (const auto &recent : quicksearch::RecentCodes::load(gs_docname).entries()) {
        QString name;
        if (m_index) {
            const quicksearch::Answer found = m_index->search(recent.code, 3);
            for (const auto &hit : found.hits)
                if (hit.kind == quicksearch::MatchKind::ExactCode && m_index->row(hit.row).list == recent.list)
                    name = m_index->row(hit.row).name;
        }
        entries.append({recent.list, recent.code, name, {}, false, {}, {}});
    }
    results->setEntries(entries);
    if (entries.isEmpty()) {
        popup->hide();
        return;
    }
    popup->setSummary(QStringLiteral("最近查看的编码"));
    popup->showUnder(field);
}

void QuickSearchController::choose(int row)
{
    if (row < 0 && results->rowCount() > 0)
        row = 0;
    const quicksearch::ResultModel::Entry *entry = results->entry(row);
    if (!entry)
        return;
    const QString list = quicksearch::codeListKey(entry->list);
    const QString code = entry->code;
    const quicksearch::CodeList codeList = entry->list;
    const bool removed = entry->removed;
    const bool item = !entry->partNumber.isEmpty();
    popup->hide();
    if (item) {
        emit itemChosen(code);
        return;
    }
    if (removed) {
        emit removedCodeChosen(list, code);
        return;
    }
    if (m_navigation->goToCode(list, code)) {
        quicksearch::RecentCodes recent = quicksearch::RecentCodes::load(gs_docname);
        recent.add(codeList, code);
        recent.save(gs_docname);
    }
}

void QuickSearchController::leave()
{
    popup->hide();
    m_navigation->focusTree(m_navigation->selection().list);
}

void QuickSearchController::announceCurrent(int row)
{
    // The keyboard stays in the field: a screen reader hears the chosen row through it.
    const QModelIndex index = results->index(row, 0);
    field->setAccessibleDescription(index.isValid() ? index.data(Qt::AccessibleTextRole).toString() : QString());
    QAccessibleEvent event(field, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

bool QuickSearchController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && (event->type() == QEvent::Resize || event->type() == QEvent::Move)
        && popup->isVisible())
        popup->showUnder(field);
    return QObject::eventFilter(watched, event);
}
