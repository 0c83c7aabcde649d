// Matching through the lexicon: a Chinese input cut into words (each word a name holds, or
// split into parts that names hold), everyday names searched as the tariff's terms, the
// input's sound matched against the names' pinyin, and each such name weighed by how well it
// names the goods. A match's weight orders it among the names:
//   tier 3: the name holds the input, or all its words (or their everyday terms) as words;
//   tier 2: the name reads as the whole input (a typo of the same sound);
//   tier 1: the name holds parts of words, or only some of the words.
// Within a tier the goods come before their parts (goodsScore), then names holding the words
// closer together. A match of characters ranks above a sound-alike one only where it holds the
// input whole or its words as words of the name: 化装 inside 净化装置 is no answer to 化装品.
#include "core/quicksearch/SearchIndexData.h"

#include "core/quicksearch/GoodsRanking.h"
#include "core/quicksearch/Pinyin.h"
#include "core/quicksearch/QueryText.h"

#include <QSet>

#include <string_view>

namespace quicksearch {

using searchindex::Alternative;
using searchindex::Suffix;
using searchindex::Term;
using searchindex::WordMatch;

namespace {

// Characters on either side of a match that are cut into words to see whether it is a word.
constexpr int kWindow = 4;
// The longest word that is split into parts names hold, in characters.
constexpr int kLongestSplit = 16;
// The characters of an input word cut into words, and the words searched at most.
constexpr qsizetype kLongestInput = 24;
constexpr qsizetype kMostTerms = 8;
// Fewer names than this holding every word: the names holding most of them are added.
constexpr size_t kFewNames = 5;

bool isHan(QChar c)
{
    return c.unicode() >= 0x3400 && !c.isSurrogate() && c.isLetter();
}

// The runs of ASCII and of other characters of a word, in order.
QStringList runsOf(const QString &word)
{
    QStringList runs;
    for (qsizetype i = 0; i < word.size();) {
        const bool ascii = word[i].unicode() < 0x80;
        qsizetype end = i;
        while (end < word.size() && (word[end].unicode() < 0x80) == ascii)
            ++end;
        runs.append(word.mid(i, end - i));
        i = end;
    }
    return runs;
}

} // namespace

int searchindex::weightOf(int tier, int goods, int spread)
{
    return tier * 1000000 + std::clamp(goods, 0, 999) * 1000 + (999 - std::clamp(spread, 0, 999));
}

int searchindex::spreadOf(std::vector<Span> spans)
{
    if (spans.size() < 2)
        return 0;
    std::sort(spans.begin(), spans.end(), [](const Span &a, const Span &b) { return a.start < b.start; });
    int covered = 0, end = spans.front().start;
    for (const Span &span : spans) {
        covered += std::max(0, span.start + span.length - std::max(end, span.start));
        end = std::max(end, span.start + span.length);
    }
    return std::max(0, end - spans.front().start - covered);
}

void SearchIndex::Data::indexReadableCharacters()
{
    const auto add = [&](const QString &text) {
        for (QChar c : text) {
            if (isHan(c) && !readableCharacters.contains(c.unicode()) && !Pinyin::syllableOf(c.unicode()).isEmpty())
                readableCharacters.insert(c.unicode());
        }
    };
    for (auto it = names.postings.cbegin(); it != names.postings.cend(); ++it)
        add(QString(QChar(it.key())));
    for (const QString &word : lexicon->words.words())
        add(word);
}

bool SearchIndex::Data::holdsAnywhere(const QString &word) const
{
    const std::vector<int> *list = names.rarest(word);
    if (!list)
        return false;
    return std::any_of(list->cbegin(), list->cend(),
                       [&](int id) { return names.texts[size_t(id)].contains(word); });
}

QStringList SearchIndex::Data::splitInNames(const QString &word) const
{
    // The fewest parts that names hold; a character no name has is left out (at a cost).
    const int n = std::min(int(word.size()), kLongestSplit);
    std::vector<int> cost(size_t(n) + 1, 1 << 20), from(size_t(n) + 1, -1);
    std::vector<uint8_t> kept(size_t(n) + 1, 0);
    cost[0] = 0;
    for (int end = 1; end <= n; ++end) {
        for (int start = 0; start < end; ++start) {
            if (cost[size_t(start)] >= 1 << 20)
                continue;
            const QString part = word.mid(start, end - start);
            const bool held = part.size() == 1 ? names.posting(part.front()) != nullptr : holdsAnywhere(part);
            const int step = held ? 1 : (end - start == 1 ? 3 : 1 << 20);
            if (cost[size_t(start)] + step < cost[size_t(end)]) {
                cost[size_t(end)] = cost[size_t(start)] + step;
                from[size_t(end)] = start;
                kept[size_t(end)] = held;
            }
        }
    }
    QStringList parts;
    for (int end = n; end > 0 && from[size_t(end)] >= 0; end = from[size_t(end)]) {
        if (kept[size_t(end)])
            parts.prepend(word.mid(from[size_t(end)], end - from[size_t(end)]));
    }
    return parts;
}

QList<Term> SearchIndex::Data::termsOf(const QStringList &words) const
{
    const auto termOf = [this](const QString &word, const QStringList &everyday) {
        Term term;
        if (holdsAnywhere(word))
            term.alternatives.append({{word}, {}, true});
        for (const QString &target : everyday)
            term.alternatives.append(
                {target.split(u' ', Qt::SkipEmptyParts), word + QStringLiteral(" → ") + target, true});
        return term;
    };
    // A word no name holds becomes its parts, each a word of its own: names holding more of
    // them rank higher, and a name holding only the last (the head) is still an answer.
    QList<Term> terms;
    const auto append = [&](const QString &word, const QStringList &everyday) {
        Term term = termOf(word, everyday);
        if (!term.alternatives.isEmpty()) {
            terms.append(std::move(term));
            return;
        }
        const QStringList parts = splitInNames(word);
        // A word no name holds any of stays a term no name holds: then no name holds all the
        // input, and those holding the rest rank as holding only some of it.
        if (parts.isEmpty())
            terms.append(Term{});
        for (const QString &part : parts)
            terms.append(Term{{Alternative{{part}, {}, false}}});
    };
    for (const QString &word : words) {
        const QStringList everyday = lexicon->everyday.termsOf(word);
        if (!everyday.isEmpty()) {
            append(word, everyday);
            continue;
        }
        // Letters and digits in a Chinese word ("pvc管") are a word of their own.
        for (const QString &run : runsOf(word.right(kLongestInput))) {
            if (QueryText::isAscii(run)) {
                if (const QStringList terms = lexicon->everyday.termsOf(run); !terms.isEmpty() || holdsAnywhere(run))
                    append(run, terms);
                continue;
            }
            for (const QString &piece : lexicon->words.segment(run))
                append(piece, lexicon->everyday.termsOf(piece));
        }
    }
    // A pasted text is no name of goods: its last words (the head) are enough.
    if (terms.size() > kMostTerms)
        terms.remove(0, terms.size() - kMostTerms);
    return terms;
}

std::vector<int> SearchIndex::Data::namesOf(const Term &term) const
{
    std::vector<int> ids;
    for (const Alternative &alternative : term.alternatives) {
        const std::vector<int> holding = names.holdingAll(alternative.parts);
        std::vector<int> both;
        std::set_union(ids.cbegin(), ids.cend(), holding.cbegin(), holding.cend(), std::back_inserter(both));
        ids = std::move(both);
    }
    return ids;
}

bool SearchIndex::Data::onWordBoundaries(const QString &name, const Span &span) const
{
    const int from = std::max(0, span.start - kWindow);
    const int to = std::min(int(name.size()), span.start + span.length + kWindow);
    bool startCut = span.start == from, endCut = span.start + span.length == to;
    int at = from;
    for (const QString &piece : lexicon->words.segment(QStringView(name).mid(from, to - from))) {
        at += int(piece.size());
        startCut = startCut || at == span.start;
        endCut = endCut || at == span.start + span.length;
    }
    return startCut && endCut;
}

void SearchIndex::Data::matchTerms(const QList<Term> &terms, bool partsAsked, bool strictWords,
                                   std::vector<WordMatch> *found) const
{
    if (terms.isEmpty())
        return;
    std::vector<std::vector<int>> holding;
    for (const Term &term : terms)
        holding.push_back(namesOf(term));
    std::vector<int> candidates = holding.front();
    for (size_t i = 1; i < holding.size() && !candidates.empty(); ++i) {
        std::vector<int> both;
        std::set_intersection(candidates.cbegin(), candidates.cend(), holding[i].cbegin(), holding[i].cend(),
                              std::back_inserter(both));
        candidates = std::move(both);
    }
    // Few names hold every word (or none): also the names that hold the last word named (the
    // head of a Chinese phrase) and the most of the others, ranked below those holding all.
    const size_t holdingAll = candidates.size();
    if (holdingAll < kFewNames && holding.size() > 1) {
        int head = int(holding.size()) - 1;
        while (head >= 0 && holding[size_t(head)].empty())
            --head;
        std::vector<uint8_t> count(names.texts.size(), 0);
        for (const std::vector<int> &ids : holding)
            for (int id : ids)
                count[size_t(id)] = uint8_t(std::min(255, count[size_t(id)] + 1));
        uint8_t most = 0;
        for (int id : head < 0 ? std::vector<int>() : holding[size_t(head)])
            if (count[size_t(id)] < holding.size())
                most = std::max(most, count[size_t(id)]);
        for (int id : head < 0 ? std::vector<int>() : holding[size_t(head)])
            if (count[size_t(id)] == most)
                candidates.push_back(id);
    }
    for (size_t c = 0; c < candidates.size(); ++c) {
        const int id = candidates[c];
        const QString &name = names.texts[size_t(id)];
        WordMatch match;
        match.name = id;
        bool whole = c < holdingAll, everyday = false;
        QStringList reasons;
        QString head;
        for (const Term &term : terms) {
            const auto held = std::find_if(term.alternatives.cbegin(), term.alternatives.cend(),
                                           [&](const Alternative &a) {
                                               return std::all_of(a.parts.cbegin(), a.parts.cend(),
                                                                  [&](const QString &p) { return name.contains(p); });
                                           });
            if (held == term.alternatives.cend())
                continue;
            for (const QString &part : held->parts) {
                const Span span{int(name.indexOf(part)), int(part.size())};
                if (held->reason.isEmpty() && strictWords && whole && !onWordBoundaries(name, span))
                    whole = false;
                match.spans.push_back(span);
            }
            whole = whole && held->whole;
            if (!held->reason.isEmpty() && !reasons.contains(held->reason)) {
                reasons.append(held->reason);
                everyday = true;
            }
            head = held->parts.last();
        }
        match.kind = everyday ? MatchKind::EverydayName : MatchKind::Words;
        match.tier = whole ? 3 : 1;
        match.goods = goodsScore(name, head, partsAsked);
        if (!everyday)
            match.goods = typedWordsScore(match.goods);
        match.spread = searchindex::spreadOf(match.spans);
        match.reason = reasons.join(QStringLiteral("；"));
        found->push_back(std::move(match));
    }
}

void SearchIndex::Data::matchSound(const QString &input, std::vector<WordMatch> *found) const
{
    if (input.size() < 2 || input.size() > kLongestInput)
        return;
    std::vector<QString> wanted;
    std::string latin;
    for (QChar c : input) {
        if (!readableCharacters.contains(c.unicode()))
            return;
        const QString syllable = Pinyin::syllableOf(c.unicode());
        wanted.push_back(syllable);
        latin += syllable.toStdString();
    }
    const std::string_view arena(pinyin.full);
    const std::string_view key(latin);
    auto it = std::lower_bound(fullSuffixes.cbegin(), fullSuffixes.cend(), key,
                               [&](const Suffix &s, std::string_view k) { return arena.substr(s.at, k.size()) < k; });
    int lastName = -1;
    for (; it != fullSuffixes.cend() && arena.substr(it->at, key.size()) == key; ++it) {
        const int id = int(pinyin.nameAtFull(it->at));
        const uint32_t at = it->at - pinyin.starts[size_t(id)].full;
        const searchindex::NamePinyin py = pinyin.of(size_t(id));
        const auto first = std::find_if(py.syllables.cbegin(), py.syllables.cend(),
                                        [&](const searchindex::Syllable &s) { return s.pinyinAt == at; });
        if (first == py.syllables.cend() || size_t(py.syllables.cend() - first) < wanted.size() || id == lastName)
            continue;
        const QString &name = names.texts[size_t(id)];
        // Syllable for syllable, each on the next character.
        const size_t firstIndex = size_t(first - py.syllables.cbegin());
        bool same = true;
        for (size_t k = 0; k < wanted.size() && same; ++k) {
            const searchindex::Syllable &s = first[ptrdiff_t(k)];
            same = py.lettersOf(firstIndex + k) == size_t(wanted[k].size())
                   && (k == 0 || s.start == searchindex::characterEnd(name, first[ptrdiff_t(k - 1)].start));
        }
        if (!same)
            continue;
        const searchindex::Syllable &last = first[ptrdiff_t(wanted.size() - 1)];
        const Span span{first->start, searchindex::characterEnd(name, last.start) - first->start};
        const QString heard = name.mid(span.start, span.length);
        // 收机 inside 接收机 only sounds like 手机: a guess must be words of the name.
        if (heard == input || !onWordBoundaries(name, span))
            continue;
        lastName = id;
        WordMatch match;
        match.name = id;
        match.kind = MatchKind::SoundAlike;
        match.tier = 2;
        match.goods = goodsScore(name, heard, false);
        match.spans = {span};
        match.reason = QStringLiteral("按读音：") + heard;
        found->push_back(std::move(match));
    }
}

} // namespace quicksearch
