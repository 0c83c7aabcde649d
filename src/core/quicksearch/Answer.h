#pragma once

#include <QList>
#include <QString>

namespace quicksearch {

// A marked part of a name, in QString units.
struct Span {
    int start = 0;
    int length = 0;
    bool operator==(const Span &other) const { return start == other.start && length == other.length; }
};

// How a row matched, best kind first as the ranking orders them (NameWords, Pinyin and English
// share one rank, ordered by how common the matched text is, then by how much of the name
// it covers; see Ranking.h).
enum class MatchKind {
    ExactCode,           // the input is the row's whole code
    CodePrefix,          // the row's code begins with the input
    NameEqual,           // the name is the input
    NameStart,           // the name begins with the input and holds its other words
    NameWords,           // the name holds every word, in any order
    Pinyin,              // the input spells the pinyin of part of the Chinese name
    English,             // every word begins a word of the name
    DeclarationElements, // the declaration elements hold every word
    Notes,               // the user's note or keywords hold every word
    NearestCode,         // the code does not exist; this is its longest existing prefix
    // With a lexicon (see Lexicon.h); ranked with the names by how well they name the goods:
    Words,               // the name holds the words the input was cut into, or their parts
    EverydayName,        // the name holds the tariff's term for an everyday name of the input
    SoundAlike,          // the name reads as the input does (化装品 → 化妆品): a guess at a typo
};

struct Hit {
    int row = 0;                    // index into the index's rows
    MatchKind kind = MatchKind::ExactCode;
    QList<Span> nameSpans;          // the matched parts of the name, ascending, not overlapping
    QString reason;                 // why a row found through the lexicon is there ("充电宝 → 锂离子蓄电池",
                                    // "按读音：化妆品"); empty for the others
};

struct Answer {
    QList<Hit> hits; // best first, at most the limit asked for
    int total = 0;   // all matches
    QString notice;  // a word on the code typed ("… 不存在，最接近: …"); empty if none
};

} // namespace quicksearch
