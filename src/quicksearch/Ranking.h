#pragma once

#include "quicksearch/Answer.h"

#include <vector>

namespace quicksearch {

// One matching row as the ranking sees it.
struct RankedMatch {
    int row = 0;
    MatchKind kind = MatchKind::ExactCode;
    int coverage = 0;   // the marked part of the name, in ten-thousandths of its length
    int codeLength = 0; // characters of the row's code
    int codeOrder = 0;  // the row's place in code order, 海关 before 外经贸 for equal codes
};

// The rank of a kind, 0 best. NameWords, Pinyin and English share one rank: an ASCII input
// is read as pinyin and as English at once, and neither reading is the better one.
int rankOf(MatchKind kind);

// The order of the list: by rank; code prefixes shorter first (the higher levels); within a
// rank the match covering more of its name first; then code order.
bool ranksBefore(const RankedMatch &a, const RankedMatch &b);

// Puts the best `limit` matches at the front in order (the rest stay behind in any order) and
// returns how many are in front. Cheap for many matches and a small limit.
int rankHits(std::vector<RankedMatch> &matches, int limit);

} // namespace quicksearch
