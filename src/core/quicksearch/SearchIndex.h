#pragma once

#include "core/quicksearch/Answer.h"
#include "core/quicksearch/IndexRow.h"
#include "core/runtime/ColumnStore.h"

#include <QList>
#include <QString>

#include <memory>

namespace quicksearch {

struct Lexicon;

// The rows of both code lists, indexed once for search as you type: codes in code order,
// names by character (Chinese), by pinyin syllable and initial (sorted suffixes), by English
// word prefix; declaration elements and notes by character. Immutable once built: search()
// may run on several threads at once, and copies share the data.
class SearchIndex
{
public:
    // An empty index: every search answers nothing.
    SearchIndex();
    ~SearchIndex();
    SearchIndex(const SearchIndex &);
    SearchIndex &operator=(const SearchIndex &);
    SearchIndex(SearchIndex &&) noexcept;
    SearchIndex &operator=(SearchIndex &&) noexcept;

    // unchosenRows: rows of the chapters the trees do not load; only asked whether a code
    // the user typed lives there (their names are never searched).
    // With a lexicon, a Chinese input is also cut into words, its everyday names are searched
    // as the tariff's terms, its sound is matched against the names' pinyin, and the names
    // that name the goods rank before those of their parts (SearchIndexWords.cpp); without
    // one, names match the input's words as they are typed.
    // kept: the stores whose texts the rows refer to instead of copying them (see
    // CommodityTreeBuilder::entries); the index keeps them as long as it lives.
    static SearchIndex build(QList<IndexRow> rows, QList<IndexRow> unchosenRows,
                             std::shared_ptr<const Lexicon> lexicon = {}, QList<runtime::ColumnStore> kept = {});

    // The matches of the input in both lists, best first (at most `limit`), with how many
    // there are in all and a notice on a code that does not exist or is not loaded.
    Answer search(const QString &input, int limit = 200) const;

    // A row as given to build(), but for its declaration elements (kept only folded, for the
    // search), its texts the row's own; an empty row for an index out of range.
    IndexRow row(int index) const;
    int rowCount() const;
    // The lexicon given to build(); null without one.
    std::shared_ptr<const Lexicon> lexicon() const;

    struct Data;

private:
    explicit SearchIndex(std::shared_ptr<const Data> data);
    std::shared_ptr<const Data> m_data;
};

} // namespace quicksearch
