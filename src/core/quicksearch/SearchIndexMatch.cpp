// Matching one name against the words of the input: the candidate names of a word, pinyin
// and English readings of an ASCII word, and the kind of match a name makes.
#include "core/quicksearch/SearchIndexData.h"

#include "core/quicksearch/IcuTransliterator.h"

#include "core/quicksearch/QueryText.h"

#include <string_view>

namespace quicksearch {

namespace {
// Made when a search first meets a character no text has (about 12 ms), and kept for every
// index after: it holds some megabytes that most sessions never need.
const IcuTransliterator &traditionalToSimplified()
{
    static const IcuTransliterator transliterator(QStringLiteral("Traditional-Simplified"));
    return transliterator;
}
} // namespace

using searchindex::NamePinyin;
using searchindex::QueryWord;
using searchindex::Suffix;
using searchindex::Syllable;

namespace {

bool isLatinLetters(const QString &word)
{
    return !word.isEmpty() && std::all_of(word.cbegin(), word.cend(), [](QChar c) {
        return c.unicode() >= u'a' && c.unicode() <= u'z';
    });
}

// The suffixes of the arena beginning with `prefix` (letters only: none reaches past its
// name's NUL).
std::pair<std::vector<Suffix>::const_iterator, std::vector<Suffix>::const_iterator>
suffixRange(const std::vector<Suffix> &suffixes, const std::string &prefix, std::string_view arena)
{
    const size_t n = prefix.size();
    const std::string_view key(prefix);
    const auto lower = std::lower_bound(suffixes.cbegin(), suffixes.cend(), key,
                                        [&](const Suffix &s, std::string_view k) {
                                            return arena.substr(s.at, n) < k;
                                        });
    const auto upper = std::upper_bound(lower, suffixes.cend(), key, [&](std::string_view k, const Suffix &s) {
        return k < arena.substr(s.at, n);
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

} // namespace

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
            if (!known)
                q.text = QueryText::fold(traditionalToSimplified().transliterate(word));
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
        const auto full = suffixRange(fullSuffixes, word.latin, pinyin.full);
        for (auto it = full.first; it != full.second; ++it)
            ids.push_back(int(pinyin.nameAtFull(it->at)));
        const auto initials = suffixRange(initialSuffixes, word.latin, pinyin.initials);
        for (auto it = initials.first; it != initials.second; ++it)
            ids.push_back(int(pinyin.nameAtInitials(it->at)));
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
    const NamePinyin py = pinyin.of(size_t(id));
    const QString &name = names.texts[size_t(id)];
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
            const int end = searchindex::characterEnd(name, py.syllables[last].start);
            if (end - first.start > bestCovered) {
                bestCovered = end - first.start;
                best = {first.start, end - first.start};
                bestPinyin = true;
            }
        }
    }
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
                                  const QString &spaced, std::vector<Span> *spans, MatchKind *kind,
                                  std::vector<Span> *wordSpans) const
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
    if (wordSpans)
        *wordSpans = *spans; // one a word, in the words' order, before they are merged
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

} // namespace quicksearch
