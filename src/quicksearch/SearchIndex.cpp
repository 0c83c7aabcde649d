#include "quicksearch/SearchIndex.h"

#include "quicksearch/IcuTransliterator.h"
#include "quicksearch/Pinyin.h"
#include "quicksearch/QueryText.h"
#include "quicksearch/Ranking.h"

#include <QHash>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quicksearch {

namespace {

// Distinct folded texts, the rows that have each, and for every character the texts holding
// it. Many rows share a text (names like 其他, the same declaration elements), so matching
// works on texts and only the result is spread over rows.
struct TextTable {
    std::vector<QString> texts;
    std::vector<std::vector<int>> rows;
    QHash<char16_t, std::vector<int>> postings; // ascending text ids

    int add(const QString &folded, int row, QHash<QString, int> *ids)
    {
        auto it = ids->constFind(folded);
        if (it == ids->constEnd()) {
            it = ids->insert(folded, int(texts.size()));
            texts.push_back(folded);
            rows.emplace_back();
        }
        rows[size_t(it.value())].push_back(row);
        return it.value();
    }

    void index()
    {
        std::vector<char16_t> units;
        for (size_t id = 0; id < texts.size(); ++id) {
            units.assign(reinterpret_cast<const char16_t *>(texts[id].utf16()),
                         reinterpret_cast<const char16_t *>(texts[id].utf16()) + texts[id].size());
            std::sort(units.begin(), units.end());
            units.erase(std::unique(units.begin(), units.end()), units.end());
            for (char16_t unit : units)
                postings[unit].push_back(int(id));
        }
    }

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

// One Chinese character of a name with its syllable's place in the name's pinyin strings.
struct Syllable {
    uint16_t pinyinAt = 0;
    uint16_t initialAt = 0;
    uint16_t start = 0;
    uint16_t length = 0;  // the character's QString units
    uint16_t letters = 0; // the syllable's letters
};

// The pinyin of a name: its syllables joined, and their initials; a blank where a run of
// Chinese characters ends, so that no match reaches across other characters.
struct NamePinyin {
    std::string full;
    std::string initials;
    std::vector<Syllable> syllables;
};

// A place in one name's pinyin string where a syllable begins.
struct Suffix {
    uint32_t name = 0;
    uint16_t at = 0;
};

// The first eight letters of a suffix as one number that sorts as they do, so that sorting
// rarely needs to look at the strings.
uint64_t packedPrefix(std::string_view text)
{
    uint64_t key = 0;
    for (size_t i = 0; i < 8; ++i)
        key = (key << 8) | (i < text.size() ? uint8_t(text[i]) : 0);
    return key;
}

constexpr int kMaxIndexedLength = 0xFFFF;
constexpr int kCoverageScale = 10000;

// A word of the input, prepared once per search.
struct QueryWord {
    QString text;       // folded
    bool ascii = false; // read as pinyin and English; otherwise contained in the name
    std::string latin;  // the pinyin to look for: the word when it is only letters a-z
};

bool isLatinLetters(const QString &word)
{
    return !word.isEmpty() && std::all_of(word.cbegin(), word.cend(), [](QChar c) {
        return c.unicode() >= u'a' && c.unicode() <= u'z';
    });
}

} // namespace

struct SearchIndex::Data {
    QList<IndexRow> rows;
    std::vector<int> codeOrder; // row -> place in code order
    std::vector<int> byCode;    // rows in code order
    std::vector<QString> unchosenCodes; // sorted

    TextTable names;
    std::vector<NamePinyin> pinyin; // by name id
    std::vector<Suffix> fullSuffixes;
    std::vector<Suffix> initialSuffixes;
    // The distinct ASCII words (runs of letters and digits) of the names, sorted, and the
    // names holding each.
    std::vector<QString> vocabulary;
    std::vector<std::vector<int>> vocabularyNames;
    TextTable elements;
    TextTable notes;
    std::vector<int> rowName;     // row -> name text id
    std::vector<int> rowElements; // row -> elements text id, -1 without
    std::vector<int> rowNotes;

    std::unique_ptr<IcuTransliterator> simplified;

    // --- building
    void indexCodes(const QList<IndexRow> &unchosen);
    void indexNames(const QList<QString> &folded);
    void indexPinyin(Pinyin &reader, int id);
    void indexWords(int id, QHash<QString, int> *wordIds);

    // --- searching
    std::pair<size_t, size_t> codeRange(const QString &prefix) const;
    QString codeNotice(const QString &digits, std::vector<RankedMatch> *matches) const;
    QList<QueryWord> prepare(const QStringList &words) const;
    std::vector<int> nameCandidates(const QueryWord &word) const;
    bool matchName(int id, const QList<QueryWord> &words, const QString &joined, const QString &spaced,
                   std::vector<Span> *spans, MatchKind *kind) const;
    bool matchAscii(int id, const QueryWord &word, std::vector<Span> *spans, bool *byPinyin) const;
    RankedMatch ranked(int row, MatchKind kind, int coverage) const
    {
        return {row, kind, coverage, int(rows[row].code.size()), codeOrder[size_t(row)]};
    }
};

namespace {

std::string_view suffixText(const std::string &text, uint16_t at, size_t length)
{
    return std::string_view(text).substr(at, length);
}

// The suffixes beginning with `prefix`.
template <typename Text>
std::pair<std::vector<Suffix>::const_iterator, std::vector<Suffix>::const_iterator>
suffixRange(const std::vector<Suffix> &suffixes, const std::string &prefix, Text textOf)
{
    const size_t n = prefix.size();
    const std::string_view key(prefix);
    const auto lower = std::lower_bound(suffixes.cbegin(), suffixes.cend(), key,
                                        [&](const Suffix &s, std::string_view k) {
                                            return suffixText(textOf(s), s.at, n) < k;
                                        });
    const auto upper = std::upper_bound(lower, suffixes.cend(), key, [&](std::string_view k, const Suffix &s) {
        return k < suffixText(textOf(s), s.at, n);
    });
    return {lower, upper};
}

// Sorted, distinct spans, joined where they touch or overlap.
void mergeSpans(std::vector<Span> *spans)
{
    std::sort(spans->begin(), spans->end(), [](const Span &a, const Span &b) { return a.start < b.start; });
    size_t out = 0;
    for (const Span &span : *spans) {
        if (out > 0 && span.start <= (*spans)[out - 1].start + (*spans)[out - 1].length) {
            Span &last = (*spans)[out - 1];
            last.length = std::max(last.start + last.length, span.start + span.length) - last.start;
        } else {
            (*spans)[out++] = span;
        }
    }
    spans->resize(out);
}

int coverageOf(const std::vector<Span> &spans, int nameLength)
{
    if (nameLength <= 0)
        return 0;
    int marked = 0;
    for (const Span &span : spans)
        marked += span.length;
    return int(qint64(std::min(marked, nameLength)) * kCoverageScale / nameLength);
}

} // namespace

void SearchIndex::Data::indexCodes(const QList<IndexRow> &unchosen)
{
    byCode.resize(size_t(rows.size()));
    for (size_t i = 0; i < byCode.size(); ++i)
        byCode[i] = int(i);
    // Codes are compared unit by unit, as the search's lower_bound does; no locale, no case.
    const auto codeOf = [this](int r) {
        return std::u16string_view(reinterpret_cast<const char16_t *>(rows[r].code.utf16()),
                                   size_t(rows[r].code.size()));
    };
    std::sort(byCode.begin(), byCode.end(), [&](int a, int b) {
        const int order = codeOf(a).compare(codeOf(b));
        if (order != 0)
            return order < 0;
        if (rows[a].list != rows[b].list)
            return rows[a].list == CodeList::Customs;
        return a < b;
    });
    codeOrder.resize(byCode.size());
    for (size_t i = 0; i < byCode.size(); ++i)
        codeOrder[size_t(byCode[i])] = int(i);
    for (const IndexRow &row : unchosen)
        unchosenCodes.push_back(row.code);
    std::sort(unchosenCodes.begin(), unchosenCodes.end());
    unchosenCodes.erase(std::unique(unchosenCodes.begin(), unchosenCodes.end()), unchosenCodes.end());
}

void SearchIndex::Data::indexPinyin(Pinyin &reader, int id)
{
    const QString &name = names.texts[size_t(id)];
    NamePinyin &entry = pinyin[size_t(id)];
    int previousEnd = -1;
    for (const Pinyin::Reading &reading : reader.readingsOf(name)) {
        if (reading.start + reading.length > kMaxIndexedLength)
            break;
        if (previousEnd >= 0 && reading.start != previousEnd) {
            entry.full.push_back(' ');
            entry.initials.push_back(' ');
        }
        if (entry.full.size() + size_t(reading.syllable.size()) > size_t(kMaxIndexedLength))
            break;
        Syllable syllable;
        syllable.pinyinAt = uint16_t(entry.full.size());
        syllable.initialAt = uint16_t(entry.initials.size());
        syllable.start = uint16_t(reading.start);
        syllable.length = uint16_t(reading.length);
        syllable.letters = uint16_t(reading.syllable.size());
        for (QChar letter : reading.syllable)
            entry.full.push_back(char(letter.unicode()));
        entry.initials.push_back(char(reading.syllable.front().unicode()));
        entry.syllables.push_back(syllable);
        fullSuffixes.push_back({uint32_t(id), syllable.pinyinAt});
        initialSuffixes.push_back({uint32_t(id), syllable.initialAt});
        previousEnd = reading.start + reading.length;
    }
}

void SearchIndex::Data::indexWords(int id, QHash<QString, int> *wordIds)
{
    const QString &name = names.texts[size_t(id)];
    const int length = std::min(int(name.size()), kMaxIndexedLength);
    int start = -1;
    for (int i = 0; i <= length; ++i) {
        const bool inside = i < length && name[i].unicode() < 0x80 && name[i].isLetterOrNumber();
        if (inside && start < 0) {
            start = i;
        } else if (!inside && start >= 0) {
            const QString word = name.mid(start, i - start);
            auto it = wordIds->constFind(word);
            if (it == wordIds->constEnd()) {
                it = wordIds->insert(word, int(vocabulary.size()));
                vocabulary.push_back(word);
                vocabularyNames.emplace_back();
            }
            std::vector<int> &ids = vocabularyNames[size_t(it.value())];
            if (ids.empty() || ids.back() != id)
                ids.push_back(id);
            start = -1;
        }
    }
}

void SearchIndex::Data::indexNames(const QList<QString> &folded)
{
    QHash<QString, int> nameIds;
    rowName.resize(size_t(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        rowName[size_t(r)] = names.add(folded[r], r, &nameIds);
    names.index();

    Pinyin reader;
    reader.learn(QList<QString>(names.texts.cbegin(), names.texts.cend()));
    QHash<QString, int> wordIds;
    pinyin.resize(names.texts.size());
    for (size_t id = 0; id < names.texts.size(); ++id) {
        indexPinyin(reader, int(id));
        indexWords(int(id), &wordIds);
    }
    const auto sortSuffixes = [](std::vector<Suffix> *suffixes, auto textOf) {
        struct Keyed {
            uint64_t key;
            Suffix suffix;
        };
        std::vector<Keyed> keyed;
        keyed.reserve(suffixes->size());
        for (const Suffix &suffix : *suffixes)
            keyed.push_back({packedPrefix(std::string_view(textOf(suffix)).substr(suffix.at)), suffix});
        std::sort(keyed.begin(), keyed.end(), [&](const Keyed &a, const Keyed &b) {
            if (a.key != b.key)
                return a.key < b.key;
            return std::string_view(textOf(a.suffix)).substr(a.suffix.at)
                   < std::string_view(textOf(b.suffix)).substr(b.suffix.at);
        });
        for (size_t i = 0; i < keyed.size(); ++i)
            (*suffixes)[i] = keyed[i].suffix;
    };
    sortSuffixes(&fullSuffixes, [this](const Suffix &s) -> const std::string & { return pinyin[s.name].full; });
    sortSuffixes(&initialSuffixes,
                 [this](const Suffix &s) -> const std::string & { return pinyin[s.name].initials; });
    std::vector<int> order(vocabulary.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::sort(order.begin(), order.end(), [this](int a, int b) { return vocabulary[a] < vocabulary[b]; });
    std::vector<QString> sortedWords;
    std::vector<std::vector<int>> sortedNames;
    for (int i : order) {
        sortedWords.push_back(std::move(vocabulary[size_t(i)]));
        sortedNames.push_back(std::move(vocabularyNames[size_t(i)]));
    }
    vocabulary = std::move(sortedWords);
    vocabularyNames = std::move(sortedNames);
}

SearchIndex::SearchIndex() = default;
SearchIndex::~SearchIndex() = default;
SearchIndex::SearchIndex(const SearchIndex &) = default;
SearchIndex &SearchIndex::operator=(const SearchIndex &) = default;
SearchIndex::SearchIndex(SearchIndex &&) noexcept = default;
SearchIndex &SearchIndex::operator=(SearchIndex &&) noexcept = default;
SearchIndex::SearchIndex(std::shared_ptr<const Data> data) : m_data(std::move(data)) {}

SearchIndex SearchIndex::build(QList<IndexRow> rows, QList<IndexRow> unchosenRows)
{
    auto data = std::make_shared<Data>();
    data->rows = std::move(rows);
    data->indexCodes(unchosenRows);

    QList<QString> folded;
    folded.reserve(data->rows.size());
    QHash<QString, int> elementIds, noteIds;
    data->rowElements.assign(size_t(data->rows.size()), -1);
    data->rowNotes.assign(size_t(data->rows.size()), -1);
    for (int r = 0; r < data->rows.size(); ++r) {
        const IndexRow &row = data->rows[r];
        folded.append(QueryText::fold(row.name));
        if (!row.declarationElements.isEmpty())
            data->rowElements[size_t(r)] =
                data->elements.add(QueryText::fold(row.declarationElements), r, &elementIds);
        if (!row.notes.isEmpty())
            data->rowNotes[size_t(r)] = data->notes.add(QueryText::fold(row.notes), r, &noteIds);
    }
    data->indexNames(folded);
    data->elements.index();
    data->notes.index();
    data->simplified = std::make_unique<IcuTransliterator>(QStringLiteral("Traditional-Simplified"));
    return SearchIndex(std::move(data));
}

const IndexRow &SearchIndex::row(int index) const
{
    static const IndexRow kNone;
    if (!m_data || index < 0 || index >= m_data->rows.size())
        return kNone;
    return m_data->rows[index];
}

int SearchIndex::rowCount() const
{
    return m_data ? int(m_data->rows.size()) : 0;
}

std::pair<size_t, size_t> SearchIndex::Data::codeRange(const QString &prefix) const
{
    const auto lower = std::lower_bound(byCode.cbegin(), byCode.cend(), prefix,
                                        [this](int r, const QString &p) { return rows[r].code < p; });
    auto upper = lower;
    while (upper != byCode.cend() && rows[*upper].code.startsWith(prefix))
        ++upper;
    return {size_t(lower - byCode.cbegin()), size_t(upper - byCode.cbegin())};
}

QString SearchIndex::Data::codeNotice(const QString &digits, std::vector<RankedMatch> *matches) const
{
    const auto unchosen = std::lower_bound(unchosenCodes.cbegin(), unchosenCodes.cend(), digits);
    if (unchosen != unchosenCodes.cend() && unchosen->startsWith(digits))
        return QStringLiteral("%1 在未选择的章节中").arg(digits);
    for (qsizetype length = digits.size() - 1; length > 0; --length) {
        const QString prefix = digits.left(length);
        auto [lower, upper] = codeRange(prefix);
        int first = -1;
        for (size_t i = lower; i < upper && rows[byCode[i]].code == prefix; ++i) {
            if (first < 0)
                first = byCode[i];
            matches->push_back(ranked(byCode[i], MatchKind::NearestCode, 0));
        }
        if (first >= 0)
            return QStringLiteral("%1 不存在，最接近: [%2] %3").arg(digits, prefix, rows[first].name);
    }
    return QStringLiteral("%1 不存在").arg(digits);
}

QList<QueryWord> SearchIndex::Data::prepare(const QStringList &queryWords) const
{
    QList<QueryWord> prepared;
    for (const QString &word : queryWords) {
        QueryWord q;
        q.text = word;
        q.ascii = QueryText::isAscii(word);
        if (q.ascii) {
            if (isLatinLetters(word))
                q.latin = word.toStdString();
        } else {
            // A character no text has may be a traditional one: try its simplified form.
            const bool known = std::all_of(word.cbegin(), word.cend(), [this](QChar c) {
                return names.posting(c) || elements.posting(c) || notes.posting(c);
            });
            if (!known && simplified)
                q.text = QueryText::fold(simplified->transliterate(word));
        }
        prepared.append(q);
    }
    return prepared;
}

std::vector<int> SearchIndex::Data::nameCandidates(const QueryWord &word) const
{
    std::vector<int> ids;
    if (!word.ascii) {
        if (const std::vector<int> *list = names.rarest(word.text))
            ids = *list;
        return ids;
    }
    if (!word.latin.empty()) {
        const auto full = suffixRange(fullSuffixes, word.latin,
                                      [this](const Suffix &s) -> const std::string & { return pinyin[s.name].full; });
        for (auto it = full.first; it != full.second; ++it)
            ids.push_back(int(it->name));
        const auto initials = suffixRange(
            initialSuffixes, word.latin,
            [this](const Suffix &s) -> const std::string & { return pinyin[s.name].initials; });
        for (auto it = initials.first; it != initials.second; ++it)
            ids.push_back(int(it->name));
    }
    auto it = std::lower_bound(vocabulary.cbegin(), vocabulary.cend(), word.text);
    for (; it != vocabulary.cend() && it->startsWith(word.text); ++it) {
        const std::vector<int> &holding = vocabularyNames[size_t(it - vocabulary.cbegin())];
        ids.insert(ids.end(), holding.cbegin(), holding.cend());
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

bool SearchIndex::Data::matchAscii(int id, const QueryWord &word, std::vector<Span> *spans, bool *byPinyin) const
{
    int bestCovered = 0;
    Span best;
    bool bestPinyin = false;
    const NamePinyin &py = pinyin[size_t(id)];
    const size_t n = word.latin.size();
    if (n > 0) {
        for (size_t i = 0; i < py.syllables.size(); ++i) {
            const Syllable &first = py.syllables[i];
            size_t last = i;
            if (py.full.compare(first.pinyinAt, n, word.latin) == 0) {
                // The syllables the letters reach into; the last one may be partial.
                while (last + 1 < py.syllables.size() && py.syllables[last + 1].pinyinAt < first.pinyinAt + n)
                    ++last;
            } else if (py.initials.compare(first.initialAt, n, word.latin) == 0) {
                last = i + n - 1;
            } else {
                continue;
            }
            const int end = py.syllables[last].start + py.syllables[last].length;
            if (end - first.start > bestCovered) {
                bestCovered = end - first.start;
                best = {first.start, end - first.start};
                bestPinyin = true;
            }
        }
    }
    const QString &name = names.texts[size_t(id)];
    const int length = int(word.text.size());
    for (int i = 0; i + length <= name.size(); ++i) {
        // Only where an ASCII word begins: not after a letter or digit.
        if (i > 0 && name[i - 1].unicode() < 0x80 && name[i - 1].isLetterOrNumber())
            continue;
        if (QStringView(name).mid(i, length) == word.text) {
            if (length > bestCovered) {
                bestCovered = length;
                best = {i, length};
                bestPinyin = false;
            }
            break;
        }
    }
    if (bestCovered == 0)
        return false;
    spans->push_back(best);
    *byPinyin = *byPinyin || bestPinyin;
    return true;
}

bool SearchIndex::Data::matchName(int id, const QList<QueryWord> &queryWords, const QString &joined,
                                  const QString &spaced, std::vector<Span> *spans, MatchKind *kind) const
{
    spans->clear();
    const QString &name = names.texts[size_t(id)];
    bool chinese = false;
    bool byPinyin = false;
    for (const QueryWord &word : queryWords) {
        if (word.ascii) {
            if (!matchAscii(id, word, spans, &byPinyin))
                return false;
            continue;
        }
        const qsizetype at = name.indexOf(word.text);
        if (at < 0)
            return false;
        spans->push_back({int(at), int(word.text.size())});
        chinese = true;
    }
    mergeSpans(spans);
    if (chinese) {
        if (name == joined || name == spaced)
            *kind = MatchKind::NameEqual;
        else if (!queryWords.front().ascii && name.startsWith(queryWords.front().text))
            *kind = MatchKind::NameStart;
        else
            *kind = MatchKind::NameWords;
    } else {
        *kind = byPinyin ? MatchKind::Pinyin : MatchKind::English;
    }
    return true;
}

Answer SearchIndex::search(const QString &input, int limit) const
{
    Answer answer;
    if (!m_data)
        return answer;
    const Data &d = *m_data;
    const QueryText query = QueryText::parse(input);
    if (query.isEmpty())
        return answer;

    std::vector<RankedMatch> matches;
    const QString &code = query.code();
    size_t lower = 0, upper = d.byCode.size();
    if (!code.isEmpty()) {
        std::tie(lower, upper) = d.codeRange(code);
        if (lower == upper)
            answer.notice = d.codeNotice(code, &matches);
    }

    QList<QueryWord> words;
    QString joined, spaced;
    if (query.words().isEmpty()) {
        for (size_t i = lower; i < upper; ++i) {
            const int r = d.byCode[i];
            matches.push_back(
                d.ranked(r, d.rows[r].code == code ? MatchKind::ExactCode : MatchKind::CodePrefix, 0));
        }
    } else if (lower < upper) {
        words = d.prepare(query.words());
        QStringList texts;
        for (const QueryWord &w : words)
            texts.append(w.text);
        joined = texts.join(QString());
        spaced = texts.join(u' ');
        const auto inCode = [&](int r) { return code.isEmpty() || d.rows[r].code.startsWith(code); };
        std::vector<uint8_t> matched(d.rows.size(), 0);

        // Names: the candidates every word's index gives, then each checked whole.
        std::vector<int> candidates;
        for (qsizetype i = 0; i < words.size(); ++i) {
            std::vector<int> ids = d.nameCandidates(words[i]);
            if (i == 0) {
                candidates = std::move(ids);
            } else {
                std::vector<int> both;
                std::set_intersection(candidates.cbegin(), candidates.cend(), ids.cbegin(), ids.cend(),
                                      std::back_inserter(both));
                candidates = std::move(both);
            }
            if (candidates.empty())
                break;
        }
        std::vector<Span> spans;
        for (int id : candidates) {
            MatchKind kind;
            if (!d.matchName(id, words, joined, spaced, &spans, &kind))
                continue;
            const int coverage = coverageOf(spans, int(d.names.texts[size_t(id)].size()));
            for (int r : d.names.rows[size_t(id)]) {
                if (inCode(r)) {
                    matches.push_back(d.ranked(r, kind, coverage));
                    matched[size_t(r)] = 1;
                }
            }
        }
        // Declaration elements, then notes, for the rows whose names did not match.
        const auto addHolding = [&](const TextTable &table, MatchKind kind) {
            for (int id : table.holdingAll(texts)) {
                for (int r : table.rows[size_t(id)]) {
                    if (!matched[size_t(r)] && inCode(r)) {
                        matches.push_back(d.ranked(r, kind, 0));
                        matched[size_t(r)] = 1;
                    }
                }
            }
        };
        addHolding(d.elements, MatchKind::DeclarationElements);
        addHolding(d.notes, MatchKind::Notes);
    }

    answer.total = int(matches.size());
    const int placed = rankHits(matches, limit);
    answer.hits.reserve(placed);
    std::vector<Span> spans;
    for (int i = 0; i < placed; ++i) {
        const RankedMatch &m = matches[size_t(i)];
        Hit hit{m.row, m.kind, {}};
        // The spans are found again for the few rows shown, not kept for every match.
        const int rank = rankOf(m.kind);
        MatchKind kind;
        if (rank >= rankOf(MatchKind::NameEqual) && rank <= rankOf(MatchKind::NameWords)
            && d.matchName(d.rowName[size_t(m.row)], words, joined, spaced, &spans, &kind)) {
            for (const Span &span : spans)
                hit.nameSpans.append(span);
        }
        answer.hits.append(hit);
    }
    return answer;
}

} // namespace quicksearch
