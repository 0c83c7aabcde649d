#pragma once

#include <string_view>

namespace quicksearch {

// The pinyin syllable of each Chinese character, without tones (ü as u), as ICU's Han-Latin
// reading gives it: a table the build makes (tools/make_pinyin_table.cpp), read-only data of the
// program, so that reading names needs no transliterator at run time.
class PinyinTable
{
public:
    // Lower-case ASCII letters; empty for a character without a reading or not Chinese.
    static std::string_view syllableOf(char32_t c);
};

} // namespace quicksearch
