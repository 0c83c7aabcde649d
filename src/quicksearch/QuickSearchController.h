#pragma once

#include "quicksearch/SearchIndex.h"

#include <QFutureWatcher>
#include <QObject>

#include <memory>

class QuickSearchField;
class QuickSearchPopup;
class w_kiv;

namespace quicksearch {
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
    static QuickSearchController *install(w_kiv *window);
    static QuickSearchController *of(const w_kiv *window);

    QuickSearchField *field = nullptr;
    QuickSearchPopup *popup = nullptr;
    quicksearch::ResultModel *results = nullptr;

    bool isIndexReady() const { return m_index != nullptr; }

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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit QuickSearchController(w_kiv *window);
    void answer();
    void showRecent();
    void choose(int row);
    void leave();
    void indexBuilt();
    // Tells the user, once, what of the search dictionaries could not be read.
    void reportLexicon();
    void announceCurrent(int row);

    using IndexPointer = std::shared_ptr<const quicksearch::SearchIndex>;
    w_kiv *m_window;
    IndexPointer m_index;
    QFutureWatcher<IndexPointer> m_building;
    bool m_rebuildWanted = false;
};
