#pragma once

#include "core/quicksearch/Answer.h"

#include <vector>

namespace quicksearch {

// One matching row as the ranking sees it.
struct RankedMatch {
    int row = 0;
    MatchKind kind = MatchKind::ExactCode;
    int coverage = 0;   // the marked part of the name, in ten-thousandths of its length
    int codeLength = 0; // characters of the row's code
    int codeOrder = 0;  // the row's place in code order, 海关 before 外经贸 for equal codes
    int frequency = 0;  // name matches: how many matching names read the input as the same text
    // Name matches of a Chinese input with a lexicon: how well the name names the goods (see
    // SearchIndexWords.cpp); 0 for every other match. Their frequency is then how many of the
    // weighted matches share the row's heading.
    int weight = 0;
};

// The rank of a kind, 0 best. NameWords, Pinyin and English share one rank: an ASCII input
// is read as pinyin and as English at once, and neither reading is the better one.
int rankOf(MatchKind kind);

// The order of the list: by rank, where weighted matches take the rank of NameEqual and order
// among themselves by weight first; code prefixes shorter first (the higher levels); then the
// commoner reading of the input first; then the match covering more of its name; then code
// order. Each step compares numbers every match carries, so the order stays strict weak.
// The frequency of a pinyin match is how many matching names hold the same Chinese text (hzp:
// 化妆品 in dozens, 或制片 in four), so the commonest reading of initials comes first. Chinese
// words and English prefixes are read as themselves, so all NameWords (or all English) matches
// of an input share one frequency and keep their order by cover, while an English reading
// mixes with the pinyin ones by the same count of names. Codes, elements and notes carry 0.
bool ranksBefore(const RankedMatch &a, const RankedMatch &b);

// Puts the best `limit` matches at the front in order (the rest stay behind in any order) and
// returns how many are in front. Cheap for many matches and a small limit.
int rankHits(std::vector<RankedMatch> &matches, int limit);

} // namespace quicksearch
