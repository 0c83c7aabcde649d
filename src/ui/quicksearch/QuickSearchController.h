#pragma once

#include "core/quicksearch/IndexSource.h"
#include "core/quicksearch/SearchIndex.h"

#include "core/quicksearch/ResultModel.h"

#include <QFutureWatcher>
#include <QObject>

#include <functional>
#include <memory>

class QuickSearchField;
class QuickSearchPopup;
class QMainWindow;
namespace catalog {
class Navigation;
}

namespace quicksearch {
class IndexTaking;
class ResultModel;
}

// Puts the search field into the main window's menu bar and runs it: builds the index in a
// worker from rows copied here whenever the trees are built or a note changes, answers each
// keystroke, shows the recent codes in an empty field, and goes to the chosen code in its
// tree. Everything it finds comes from the index; the window only offers goToCode().
class QuickSearchController : public QObject
{
    Q_OBJECT
public:
    static QuickSearchController *install(QMainWindow *window);
    static QuickSearchController *of(const QObject *window);

    QuickSearchField *field = nullptr;
    // The list and code of each result of a search, in their order; none while the field is
    // empty (it then lists the recent codes, which are no result of a search).
    QList<QPair<QString, QString>> resultCodes() const;
    QuickSearchPopup *popup = nullptr;
    quicksearch::ResultModel *results = nullptr;

    bool isIndexReady() const { return m_index != nullptr; }

    // Rows found elsewhere for a text (the company's items), shown as their own group above
    // the tariff's lines; choosing one emits itemChosen instead of going to a tree.
    using ItemRows = std::function<QList<quicksearch::ResultModel::Entry>(const QString &text)>;
    void setItemRows(ItemRows rows) { m_itemRows = std::move(rows); }

public slots:
    // Ctrl+F: the keyboard goes to the field, its text selected for typing over.
    void focusField();
    // The trees or the notes changed: a new index is built in the background.
    void rebuild();

signals:
    void indexReady();
    // A note on a code the current edition no longer has was chosen: there is no tree item to
    // go to, so whoever shows notes shows this one.
    void removedCodeChosen(const QString &list, const QString &code);
    // A row of the items' group was chosen: its customs code.
    void itemChosen(const QString &code);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit QuickSearchController(QMainWindow *window);
    void answer();
    void showRecent();
    void choose(int row);
    void leave();
    void indexBuilt();
    void startBuilding(quicksearch::IndexSource::Taken taken);
    // Tells the user, once, what of the search dictionaries could not be read.
    void reportLexicon();
    void announceCurrent(int row);

    using IndexPointer = std::shared_ptr<const quicksearch::SearchIndex>;
    QMainWindow *m_window;
    catalog::Navigation *m_navigation; // the window's trees
    IndexPointer m_index;
    QFutureWatcher<IndexPointer> m_building;
    quicksearch::IndexTaking *m_taking = nullptr; // while the rows are being taken
    bool m_rebuildWanted = false;
    ItemRows m_itemRows;
};
