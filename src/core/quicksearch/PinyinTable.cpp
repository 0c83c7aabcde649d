#include "core/quicksearch/PinyinTable.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace quicksearch {

// A namespace of its own: the table's names stay clear of the folder's other files in a unity build.
namespace pinyintable {
#include "quicksearch/PinyinTable.inc"
} // namespace pinyintable

using namespace pinyintable;

std::string_view PinyinTable::syllableOf(char32_t c)
{
    uint16_t id = 0;
    if (c >= kDirectFirst && c <= kDirectLast) {
        id = kDirect[c - kDirectFirst];
    } else {
        const auto found = std::lower_bound(std::begin(kOthers), std::end(kOthers), c,
                                            [](const OtherReading &r, char32_t key) { return r.character < key; });
        if (found != std::end(kOthers) && found->character == c)
            id = found->syllable;
    }
    return id < std::size(kSyllables) ? std::string_view(kSyllables[id]) : std::string_view();
}

} // namespace quicksearch
