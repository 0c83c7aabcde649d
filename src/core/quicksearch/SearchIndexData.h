#pragma once

// What a SearchIndex holds, shared by the files that build it (SearchIndexBuild.cpp), match
// names against an input (SearchIndexMatch.cpp) and search (SearchIndex.cpp). Private to them.

#include "core/quicksearch/Lexicon.h"
#include "core/quicksearch/Ranking.h"
#include "core/quicksearch/SearchIndex.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quicksearch {

namespace searchindex {

constexpr int kMaxIndexedLength = 0xFFFF;
constexpr int kCoverageScale = 10000;

// Distinct folded texts, the rows that have each, and for every character the texts holding
// it. Many rows share a text (names like 其他, the same declaration elements), so matching
// works on texts and only the result is spread over rows.
struct TextTable {
    std::vector<QString> texts;
    QHash<char16_t, std::vector<int>> postings; // ascending text ids

    // The rows having a text, in the order they were added: every text's rows lie one after
    // another in rowList (made by index()), most texts having one row.
    struct Rows {
        const int *first = nullptr;
        const int *last = nullptr;
        const int *begin() const { return first; }
        const int *end() const { return last; }
    };
    Rows rowsOf(size_t id) const { return {rowList.data() + rowStarts[id], rowList.data() + rowStarts[id + 1]}; }
    std::vector<int> rowList;
    std::vector<uint32_t> rowStarts;        // texts + 1
    std::vector<std::pair<int, int>> added; // text id and row, until index()

    // The text's id, new or known; `ids` maps the texts added so far to theirs.
    int add(const QString &folded, int row, QHash<QString, int> *ids);
    // Fills the postings once every text is added.
    void index();

    const std::vector<int> *posting(QChar c) const
    {
        const auto it = postings.constFind(c.unicode());
        return it == postings.constEnd() ? nullptr : &it.value();
    }

    // The shortest posting among the word's characters; null when one of them is in no text.
    const std::vector<int> *rarest(const QString &word) const
    {
        const std::vector<int> *best = nullptr;
        for (QChar c : word) {
            const std::vector<int> *list = posting(c);
            if (!list)
                return nullptr;
            if (!best || list->size() < best->size())
                best = list;
        }
        return best;
    }

    // The texts holding every word, ascending.
    std::vector<int> holdingAll(const QStringList &words) const
    {
        const std::vector<int> *candidates = nullptr;
        for (const QString &word : words) {
            const std::vector<int> *list = rarest(word);
            if (!list)
                return {};
            if (!candidates || list->size() < candidates->size())
                candidates = list;
        }
        std::vector<int> found;
        if (!candidates)
            return found;
        for (int id : *candidates) {
            const QString &text = texts[size_t(id)];
            if (std::all_of(words.cbegin(), words.cend(), [&](const QString &w) { return text.contains(w); }))
                found.push_back(id);
        }
        return found;
    }
};

// One Chinese character of a name with its syllable's place in the name's pinyin strings. Its
// letters reach to the next syllable's place (or the end of the run); the character takes two
// QString units where a surrogate pair begins (characterEnd).
struct Syllable {
    uint16_t pinyinAt = 0;
    uint16_t initialAt = 0;
    uint16_t start = 0;
};

// Where the character beginning at `start` in `name` ends.
inline int characterEnd(const QString &name, int start)
{
    return start + (start + 1 < name.size() && name[start].isHighSurrogate() && name[start + 1].isLowSurrogate() ? 2 : 1);
}

// The pinyin of a name: its syllables joined, and their initials; a blank where a run of
// Chinese characters ends, so that no match reaches across other characters. Seen in the
// index's pinyin arenas (PinyinTable).
struct NamePinyin {
    std::string_view full;
    std::string_view initials;
    struct Syllables {
        const Syllable *first = nullptr;
        size_t count = 0;
        size_t size() const { return count; }
        const Syllable &operator[](size_t i) const { return first[i]; }
        const Syllable *cbegin() const { return first; }
        const Syllable *cend() const { return first + count; }
    } syllables;

    // The letters of syllable i.
    size_t lettersOf(size_t i) const
    {
        size_t end = i + 1 < syllables.size() ? syllables[i + 1].pinyinAt : full.size();
        while (end > syllables[i].pinyinAt && full[end - 1] == ' ')
            --end;
        return end - syllables[i].pinyinAt;
    }
};

// Every name's pinyin, one name after another in three arenas: where name id's parts begin,
// and the next name's where they end (one more entry than names). In the two strings each
// name's part ends with a NUL, so that a suffix of the arena, compared with letters, stops
// at its name's end.
struct PinyinTable {
    struct Starts {
        uint32_t full = 0;
        uint32_t initials = 0;
        uint32_t syllables = 0;
    };
    std::string full;
    std::string initials;
    std::vector<Syllable> syllables;
    std::vector<Starts> starts;

    NamePinyin of(size_t id) const
    {
        const Starts &a = starts[id];
        const Starts &b = starts[id + 1];
        return {fullOf(id), initialsOf(id), {syllables.data() + a.syllables, size_t(b.syllables - a.syllables)}};
    }
    std::string_view fullOf(size_t id) const
    {
        return std::string_view(full).substr(starts[id].full, starts[id + 1].full - starts[id].full - 1);
    }
    std::string_view initialsOf(size_t id) const
    {
        return std::string_view(initials).substr(starts[id].initials, starts[id + 1].initials - starts[id].initials - 1);
    }
    // The name whose part of `full` (or `initials`) holds the place `at`.
    size_t nameAtFull(uint32_t at) const { return nameAt(at, &Starts::full); }
    size_t nameAtInitials(uint32_t at) const { return nameAt(at, &Starts::initials); }

private:
    size_t nameAt(uint32_t at, uint32_t Starts::*arena) const
    {
        const auto next = std::upper_bound(starts.cbegin(), starts.cend(), at,
                                           [arena](uint32_t a, const Starts &s) { return a < s.*arena; });
        return size_t(next - starts.cbegin() - 1);
    }
};

// A place in the pinyin arena (full or initials) where a syllable begins. There is one for
// every syllable of every name, twice (pinyin and initials); sorted by the arena's text from
// there, so that the places beginning with some letters lie together.
struct Suffix {
    uint32_t at = 0;
};

// A word of the input, prepared once per search.
struct QueryWord {
    QString text;       // folded
    bool ascii = false; // read as pinyin and English; otherwise contained in the name
    std::string latin;  // the pinyin to look for: the word when it is only letters a-z
};

// One way a name can hold a word of the input: all of `parts`; `reason` says why when the parts
// are not the word itself (an everyday name's term); `whole` is false for a word that no name
// holds and that was split into parts that names do hold.
struct Alternative {
    QStringList parts;
    QString reason;
    bool whole = true;
};

// A word the input was cut into: a name holds it when it holds one of its alternatives.
struct Term {
    QList<Alternative> alternatives;
};

// A name found through the lexicon, with what the list shows of it.
struct WordMatch {
    int name = 0;
    MatchKind kind = MatchKind::Words;
    int tier = 0;     // see SearchIndexWords.cpp
    int goods = 0;    // goodsScore() of the head word
    int spread = 0;   // characters between the matched words
    std::vector<Span> spans;
    QString reason;
};

// A weighted match's weight: its tier, then goodsScore(), then how close its words are.
int weightOf(int tier, int goods, int spread);
// The characters between the spans that are in none of them.
int spreadOf(std::vector<Span> spans);

// A row as the index keeps it: its code and name seen where they are kept (a kept store's
// arena, or ownTexts), its declaration elements folded only (elements), its notes
// folded and, for the few rows with notes, as given (givenNotes).
class KeptRow
{
public:
    KeptRow(QStringView code, QStringView name, CodeList list, bool removed)
        : m_code(code.data()), m_name(name.data()), m_nameLength(uint32_t(name.size())),
          m_codeLength(uint16_t(std::min<qsizetype>(code.size(), 0xFFFF))), m_list(uint8_t(list)), m_removed(removed)
    {
    }
    // Codes are a few digits: one longer than 65,535 characters is seen cut there.
    QStringView code() const { return QStringView(m_code, m_codeLength); }
    QStringView name() const { return QStringView(m_name, m_nameLength); }
    CodeList list() const { return CodeList(m_list); }
    bool removed() const { return m_removed; }

private:
    // A row for every code of both lists: 24 bytes, not the 40 of two views and the flags.
    const QChar *m_code;
    const QChar *m_name;
    uint32_t m_nameLength;
    uint16_t m_codeLength;
    uint8_t m_list;
    bool m_removed;
};
static_assert(sizeof(KeptRow) == 24);

} // namespace searchindex

struct SearchIndex::Data {
    using TextTable = searchindex::TextTable;
    using QueryWord = searchindex::QueryWord;

    QList<runtime::ColumnStore> kept; // the stores the rows' texts may refer to
    std::vector<searchindex::KeptRow> rows;
    std::vector<QString> ownTexts; // the codes and names that no kept store holds
    QHash<int, QString> givenNotes; // row -> its notes as given, for the rows with notes
    std::vector<int> codeOrder; // row -> place in code order
    std::vector<int> byCode;    // rows in code order
    std::vector<QString> unchosenCodes; // sorted

    TextTable names;
    searchindex::PinyinTable pinyin; // by name id
    std::vector<searchindex::Suffix> fullSuffixes;
    std::vector<searchindex::Suffix> initialSuffixes;
    // The distinct ASCII words (runs of letters and digits) of the names, sorted, and the
    // names holding each.
    std::vector<QString> vocabulary;
    std::vector<std::vector<int>> vocabularyNames;
    TextTable elements;
    TextTable notes;
    std::vector<int> rowName; // row -> name text id (elements and notes are found by text, not by row)


    std::shared_ptr<const Lexicon> lexicon;
    // With a lexicon: the characters of the names and the lexicon that have a syllable.
    QSet<char16_t> readableCharacters;

    // --- building (SearchIndexBuild.cpp)
    QStringView keep(QString text);
    void indexCodes(const QList<IndexRow> &unchosen);
    void indexNames(const QList<QString> &folded);
    void indexPinyin(int id);
    void indexWords(int id, QHash<QString, int> *wordIds);
    // Gives back what the growing containers reserved beyond their contents: the index lives
    // as long as the program, unchanged.
    void squeeze();

    // --- matching names (SearchIndexMatch.cpp)
    QList<QueryWord> prepare(const QStringList &words) const;
    std::vector<int> nameCandidates(const QueryWord &word) const;
    // Whether name `id` holds every word; its marked spans and the kind of match, and when
    // asked for, the span each word matched, in the words' order.
    bool matchName(int id, const QList<QueryWord> &words, const QString &joined, const QString &spaced,
                   std::vector<Span> *spans, MatchKind *kind, std::vector<Span> *wordSpans = nullptr) const;
    bool matchAscii(int id, const QueryWord &word, std::vector<Span> *spans, bool *byPinyin) const;

    // --- the lexicon's matches (SearchIndexWords.cpp)
    void indexReadableCharacters();
    bool holdsAnywhere(const QString &word) const;
    QStringList splitInNames(const QString &word) const;
    QList<searchindex::Term> termsOf(const QStringList &words) const;
    std::vector<int> namesOf(const searchindex::Term &term) const;
    void matchTerms(const QList<searchindex::Term> &terms, bool partsAsked, bool strictWords,
                    std::vector<searchindex::WordMatch> *found) const;
    void matchSound(const QString &input, std::vector<searchindex::WordMatch> *found) const;
    bool onWordBoundaries(const QString &name, const Span &span) const;

    // --- searching (SearchIndex.cpp)
    std::pair<size_t, size_t> codeRange(const QString &prefix) const;
    QString codeNotice(const QString &digits, std::vector<RankedMatch> *matches) const;
    RankedMatch ranked(int row, MatchKind kind, int coverage, int frequency = 0) const
    {
        return {row, kind, coverage, int(rows[size_t(row)].code().size()), codeOrder[size_t(row)], frequency};
    }
};

} // namespace quicksearch
