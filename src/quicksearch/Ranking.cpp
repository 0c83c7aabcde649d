#include "quicksearch/Ranking.h"

#include <algorithm>

namespace quicksearch {

int rankOf(MatchKind kind)
{
    switch (kind) {
    case MatchKind::ExactCode:
        return 0;
    case MatchKind::CodePrefix:
        return 1;
    case MatchKind::NameEqual:
        return 2;
    case MatchKind::NameStart:
        return 3;
    case MatchKind::NameWords:
    case MatchKind::Pinyin:
    case MatchKind::English:
        return 4;
    case MatchKind::DeclarationElements:
        return 5;
    case MatchKind::Notes:
        return 6;
    case MatchKind::NearestCode:
        return 7;
    }
    return 8;
}

bool ranksBefore(const RankedMatch &a, const RankedMatch &b)
{
    const int rankA = rankOf(a.kind);
    const int rankB = rankOf(b.kind);
    if (rankA != rankB)
        return rankA < rankB;
    if (a.kind == MatchKind::CodePrefix && a.codeLength != b.codeLength)
        return a.codeLength < b.codeLength;
    if (a.frequency != b.frequency)
        return a.frequency > b.frequency;
    if (a.coverage != b.coverage)
        return a.coverage > b.coverage;
    if (a.codeOrder != b.codeOrder)
        return a.codeOrder < b.codeOrder;
    return a.row < b.row;
}

int rankHits(std::vector<RankedMatch> &matches, int limit)
{
    const int placed = std::clamp(limit, 0, int(matches.size()));
    std::partial_sort(matches.begin(), matches.begin() + placed, matches.end(), ranksBefore);
    return placed;
}

} // namespace quicksearch
