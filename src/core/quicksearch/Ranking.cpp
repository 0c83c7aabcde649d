#include "core/quicksearch/Ranking.h"

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
    case MatchKind::Words:
    case MatchKind::EverydayName:
    case MatchKind::SoundAlike:
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

namespace {
int groupOf(const RankedMatch &m)
{
    return m.weight > 0 ? rankOf(MatchKind::NameEqual) : rankOf(m.kind);
}
} // namespace

bool ranksBefore(const RankedMatch &a, const RankedMatch &b)
{
    const int rankA = groupOf(a);
    const int rankB = groupOf(b);
    if (rankA != rankB)
        return rankA < rankB;
    if (a.weight != b.weight)
        return a.weight > b.weight;
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
