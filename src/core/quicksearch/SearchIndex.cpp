// Searching: codes by prefix, names through SearchIndexMatch.cpp, then declaration elements
// and notes, ranked.
#include "core/quicksearch/SearchIndexData.h"

#include "core/quicksearch/GoodsRanking.h"
#include "core/quicksearch/QueryText.h"

#include <deque>

namespace quicksearch {

using searchindex::kCoverageScale;
using searchindex::QueryWord;
using searchindex::TextTable;

namespace {

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

SearchIndex::SearchIndex() = default;
SearchIndex::~SearchIndex() = default;
SearchIndex::SearchIndex(const SearchIndex &) = default;
SearchIndex &SearchIndex::operator=(const SearchIndex &) = default;
SearchIndex::SearchIndex(SearchIndex &&) noexcept = default;
SearchIndex &SearchIndex::operator=(SearchIndex &&) noexcept = default;
SearchIndex::SearchIndex(std::shared_ptr<const Data> data) : m_data(std::move(data)) {}

IndexRow SearchIndex::row(int index) const
{
    if (!m_data || index < 0 || size_t(index) >= m_data->rows.size())
        return IndexRow();
    // A code or name that refers to a kept store must not outlive the index: the caller gets
    // copies of those.
    const auto own = [](QStringView text) { return text.isNull() ? QString() : text.toString(); };
    const searchindex::KeptRow &kept = m_data->rows[size_t(index)];
    IndexRow copy;
    copy.list = kept.list();
    copy.code = own(kept.code());
    copy.name = own(kept.name());
    copy.notes = m_data->givenNotes.value(index);
    copy.removed = kept.removed();
    return copy;
}

int SearchIndex::rowCount() const
{
    return m_data ? int(m_data->rows.size()) : 0;
}

std::shared_ptr<const Lexicon> SearchIndex::lexicon() const
{
    return m_data ? m_data->lexicon : nullptr;
}

std::pair<size_t, size_t> SearchIndex::Data::codeRange(const QString &prefix) const
{
    const auto lower = std::lower_bound(byCode.cbegin(), byCode.cend(), prefix,
                                        [this](int r, const QString &p) { return rows[r].code() < p; });
    auto upper = lower;
    while (upper != byCode.cend() && rows[*upper].code().startsWith(prefix))
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
        for (size_t i = lower; i < upper && rows[byCode[i]].code() == prefix; ++i) {
            if (first < 0)
                first = byCode[i];
            matches->push_back(ranked(byCode[i], MatchKind::NearestCode, 0));
        }
        if (first >= 0)
            return QStringLiteral("%1 不存在，最接近: [%2] %3").arg(digits, prefix, rows[first].name().toString());
    }
    return QStringLiteral("%1 不存在").arg(digits);
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
    // With a lexicon: the matches found through it, and for each of their rows which one.
    std::vector<searchindex::WordMatch> found;
    QHash<int, size_t> foundOfRow;
    if (query.words().isEmpty()) {
        for (size_t i = lower; i < upper; ++i) {
            const int r = d.byCode[i];
            matches.push_back(
                d.ranked(r, d.rows[r].code() == code ? MatchKind::ExactCode : MatchKind::CodePrefix, 0));
        }
    } else if (lower < upper) {
        words = d.prepare(query.words());
        QStringList texts;
        for (const QueryWord &w : words)
            texts.append(w.text);
        joined = texts.join(QString());
        spaced = texts.join(u' ');
        const auto inCode = [&](int r) { return code.isEmpty() || d.rows[r].code().startsWith(code); };
        std::vector<uint8_t> matched(d.rows.size(), 0);
        QStringList chinese;
        for (const QueryWord &w : words) {
            if (!w.ascii)
                chinese.append(w.text);
        }
        // Beside Chinese words, an English everyday name is a word to find too ("PVC 管").
        if (d.lexicon && !chinese.isEmpty() && chinese.size() < words.size()) {
            QStringList all;
            for (const QueryWord &w : words) {
                if (!w.ascii || !d.lexicon->everyday.termsOf(w.text).isEmpty())
                    all.append(w.text);
            }
            chinese = all;
        }
        const bool weighing = d.lexicon && !chinese.isEmpty();
        const bool partsAsked = asksForParts(texts);

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
        // Each match first carries the id of its reading (the text of its name the input
        // matched, word by word), then how many names share it: the commonest reading of "hzp",
        // 化妆品, ranks before the rare 或制片. Readings are views into the names; those of
        // several words are joined into `joinedReadings`, whose elements never move.
        QHash<QStringView, int> readingIds;
        std::deque<QString> joinedReadings;
        std::vector<int> readingCounts;
        std::vector<Span> spans, wordSpans;
        QString several;
        const size_t firstName = matches.size();
        for (int id : candidates) {
            MatchKind kind;
            if (!d.matchName(id, words, joined, spaced, &spans, &kind, &wordSpans))
                continue;
            const QString &name = d.names.texts[size_t(id)];
            const size_t before = matches.size();
            const int coverage = coverageOf(spans, int(name.size()));
            int goods = weighing ? goodsScore(name, chinese.last(), partsAsked) : 0;
            // The words typed, each a word of the name (金条 is no word of 合金条): the goods come first.
            if (weighing && d.lexicon
                && std::all_of(wordSpans.cbegin(), wordSpans.cend(),
                               [&](const Span &span) { return d.onWordBoundaries(name, span); }))
                goods = typedWordsScore(goods);
            const int spread = weighing ? searchindex::spreadOf(wordSpans) : 0;
            for (int r : d.names.rowsOf(size_t(id))) {
                if (inCode(r)) {
                    matches.push_back(d.ranked(r, kind, coverage));
                    // A chapter's name lists all it holds: it names none of the goods.
                    if (weighing)
                        matches.back().weight = searchindex::weightOf(3, d.rows[r].code().size() > 2 ? goods : 0, spread);
                    matched[size_t(r)] = 1;
                }
            }
            if (matches.size() == before)
                continue;
            QStringView reading = QStringView(name).mid(wordSpans.front().start, wordSpans.front().length);
            if (wordSpans.size() > 1) {
                several.clear();
                for (const Span &span : wordSpans)
                    several.append(QStringView(name).mid(span.start, span.length)).append(u'\x1f');
                reading = several;
            }
            auto known = readingIds.constFind(reading);
            if (known == readingIds.constEnd()) {
                if (wordSpans.size() > 1)
                    reading = joinedReadings.emplace_back(several);
                known = readingIds.insert(reading, int(readingCounts.size()));
                readingCounts.push_back(0);
            }
            ++readingCounts[size_t(known.value())];
            for (size_t i = before; i < matches.size(); ++i)
                matches[i].frequency = known.value();
        }
        for (size_t i = firstName; i < matches.size(); ++i)
            matches[i].frequency = readingCounts[size_t(matches[i].frequency)];
        // Through the lexicon: the rows the input's words did not find as typed.
        if (d.lexicon) {
            // A typo of the same sound: only when no name holds the input as typed.
            if (weighing && chinese.size() == words.size() && matches.size() == firstName)
                d.matchSound(chinese.join(QString()), &found);
            QList<searchindex::Term> terms;
            if (weighing) {
                terms = d.termsOf(chinese);
                // One word held as typed: the names above are all there are.
                if (terms.size() == 1 && terms.front().alternatives.size() == 1 && chinese.size() == 1
                    && terms.front().alternatives.front().parts == QStringList{chinese.front()})
                    terms.clear();
            } else if (const QString name = texts.join(u' '); !d.lexicon->everyday.termsOf(name).isEmpty()) {
                searchindex::Term term;
                for (const QString &target : d.lexicon->everyday.termsOf(name))
                    term.alternatives.append(
                        {target.split(u' ', Qt::SkipEmptyParts), name + QStringLiteral(" → ") + target, true});
                terms.append(term);
            }
            d.matchTerms(terms, partsAsked, !found.empty(), &found);
            std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.tier > b.tier; });
            for (size_t k = 0; k < found.size(); ++k) {
                const searchindex::WordMatch &m = found[k];
                const int coverage = coverageOf(m.spans, int(d.names.texts[size_t(m.name)].size()));
                for (int r : d.names.rowsOf(size_t(m.name))) {
                    if (!matched[size_t(r)] && inCode(r)) {
                        matches.push_back(d.ranked(r, m.kind, coverage));
                        // A chapter's name lists all it holds: it names none of the goods.
                        matches.back().weight =
                            searchindex::weightOf(m.tier, d.rows[r].code().size() > 2 ? m.goods : 0, m.spread);
                        matched[size_t(r)] = 1;
                        foundOfRow.insert(r, k);
                    }
                }
            }
            // Among equal names, the heading most of them share first.
            QHash<QStringView, int> perHeading;
            for (size_t i = firstName; i < matches.size(); ++i) {
                if (matches[i].weight > 0)
                    ++perHeading[d.rows[matches[i].row].code().left(4)];
            }
            for (size_t i = firstName; i < matches.size(); ++i) {
                if (matches[i].weight > 0)
                    matches[i].frequency = perHeading.value(d.rows[matches[i].row].code().left(4));
            }
        }
        // Declaration elements, then notes, for the rows whose names did not match.
        const auto addHolding = [&](const TextTable &table, MatchKind kind, int weight) {
            for (int id : table.holdingAll(texts)) {
                for (int r : table.rowsOf(size_t(id))) {
                    if (!matched[size_t(r)] && inCode(r)) {
                        matches.push_back(d.ranked(r, kind, 0));
                        matches.back().weight = weight;
                        matched[size_t(r)] = 1;
                    }
                }
            }
        };
        addHolding(d.elements, MatchKind::DeclarationElements, 0);
        // The user's own note or keyword holding the input as typed is the user's word for the
        // goods: above names that hold only parts of the input's words or sound like it, below
        // names that hold the words themselves.
        addHolding(d.notes, MatchKind::Notes, weighing ? searchindex::weightOf(2, 999, 0) : 0);
    }

    answer.total = int(matches.size());
    const int placed = rankHits(matches, limit);
    answer.hits.reserve(placed);
    std::vector<Span> spans;
    for (int i = 0; i < placed; ++i) {
        const RankedMatch &m = matches[size_t(i)];
        Hit hit{m.row, m.kind, {}, {}};
        if (const auto lexical = foundOfRow.constFind(m.row); lexical != foundOfRow.constEnd()) {
            const searchindex::WordMatch &w = found[lexical.value()];
            std::vector<Span> merged = w.spans;
            std::sort(merged.begin(), merged.end(), [](const Span &a, const Span &b) { return a.start < b.start; });
            for (const Span &span : merged) {
                if (!hit.nameSpans.isEmpty() && span.start <= hit.nameSpans.last().start + hit.nameSpans.last().length) {
                    Span &last = hit.nameSpans.last();
                    last.length = std::max(last.start + last.length, span.start + span.length) - last.start;
                } else {
                    hit.nameSpans.append(span);
                }
            }
            hit.reason = w.reason;
            answer.hits.append(hit);
            continue;
        }
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
