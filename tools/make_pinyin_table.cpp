// Writes the pinyin of every Chinese character as a C++ table, from ICU's Han-Latin reading,
// for core/quicksearch/PinyinTable.cpp. The program then needs no ICU transliterator to read the
// names: building one takes its rules into a cache ICU never gives back (megabytes of heap), and
// its data into memory besides. Run by the build: make_pinyin_table OUTPUT
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/uscript.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// The table's direct part; the rest of the Chinese characters are listed with their codes.
constexpr UChar32 kDirectFirst = 0x3400;
constexpr UChar32 kDirectLast = 0x9FFF;

// Latin-ASCII has taken the tones off: the first run of ASCII letters, in lower case. ICU leaves
// a character it cannot read as it is, which has none.
std::string syllableIn(const icu::UnicodeString &latin)
{
    std::string syllable;
    for (int32_t i = 0; i < latin.length(); ++i) {
        const UChar c = latin.charAt(i);
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (letter)
            syllable.push_back(char(c >= u'a' ? c : c - u'A' + u'a'));
        else if (!syllable.empty())
            break;
    }
    return syllable;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pinyin_table OUTPUT\n");
        return 2;
    }
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> hanLatin(
        icu::Transliterator::createInstance("Han-Latin; Latin-ASCII", UTRANS_FORWARD, status));
    if (U_FAILURE(status) || !hanLatin) {
        std::fprintf(stderr, "make_pinyin_table: ICU has no Han-Latin transliteration (%s)\n", u_errorName(status));
        return 1;
    }

    // Every Chinese character, one per line, read in one call: a call per character costs ICU's
    // setup each time.
    std::vector<UChar32> characters;
    icu::UnicodeString batch;
    for (UChar32 c = 0x2E80; c <= 0x3FFFF; ++c) {
        UErrorCode scriptStatus = U_ZERO_ERROR;
        if (uscript_getScript(c, &scriptStatus) != USCRIPT_HAN || U_FAILURE(scriptStatus))
            continue;
        characters.push_back(c);
        batch.append(c).append(UChar(u'\n'));
    }
    hanLatin->transliterate(batch);

    std::vector<std::string> lines;
    int32_t lineStart = 0;
    for (int32_t i = 0; i < batch.length(); ++i) {
        if (batch.charAt(i) == u'\n') {
            lines.push_back(syllableIn(icu::UnicodeString(batch, lineStart, i - lineStart)));
            lineStart = i + 1;
        }
    }
    if (lines.size() != characters.size()) {
        std::fprintf(stderr, "make_pinyin_table: %zu readings for %zu characters\n", lines.size(), characters.size());
        return 1;
    }

    // Syllables numbered from 1 in alphabetical order; 0 is "no reading".
    std::map<std::string, int> syllableIds;
    for (const std::string &syllable : lines)
        if (!syllable.empty())
            syllableIds.emplace(syllable, 0);
    int next = 1;
    for (auto &[syllable, id] : syllableIds)
        id = next++;

    std::vector<int> direct(size_t(kDirectLast - kDirectFirst + 1), 0);
    std::vector<std::pair<UChar32, int>> others;
    for (size_t i = 0; i < characters.size(); ++i) {
        if (lines[i].empty())
            continue;
        const int id = syllableIds.at(lines[i]);
        if (characters[i] >= kDirectFirst && characters[i] <= kDirectLast)
            direct[size_t(characters[i] - kDirectFirst)] = id;
        else
            others.emplace_back(characters[i], id);
    }

    std::FILE *out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "// Made by tools/make_pinyin_table.cpp from ICU %s's Han-Latin reading. Do not edit.\n",
                 U_ICU_VERSION);
    std::fprintf(out, "constexpr char32_t kDirectFirst = 0x%X;\nconstexpr char32_t kDirectLast = 0x%X;\n",
                 unsigned(kDirectFirst), unsigned(kDirectLast));
    std::fprintf(out, "constexpr const char *kSyllables[] = {\"\"");
    int column = 0;
    for (const auto &[syllable, id] : syllableIds)
        std::fprintf(out, ",%s\"%s\"", ++column % 16 == 0 ? "\n" : "", syllable.c_str());
    std::fprintf(out, "};\n");
    std::fprintf(out, "constexpr uint16_t kDirect[] = {");
    for (size_t i = 0; i < direct.size(); ++i)
        std::fprintf(out, "%s%d,", i % 32 == 0 ? "\n" : "", direct[i]);
    std::fprintf(out, "};\n");
    std::fprintf(out, "struct OtherReading { char32_t character; uint16_t syllable; };\n");
    std::fprintf(out, "constexpr OtherReading kOthers[] = {");
    for (size_t i = 0; i < others.size(); ++i)
        std::fprintf(out, "%s{0x%X,%d},", i % 8 == 0 ? "\n" : "", unsigned(others[i].first), others[i].second);
    std::fprintf(out, "};\n");
    if (std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
