#pragma once

#include <QList>
#include <QString>

namespace quicksearch {

// The pinyin of Chinese names: each character's reading from the pinyin table (ICU's Han-Latin
// reading, without tone marks), with a small table of word readings where that one reading per
// character is wrong for the words of the code lists (乐器 is yueqi, not leqi).
class Pinyin
{
public:
    struct Reading {
        int start = 0;    // position of the character in the text, in QString units
        int length = 1;   // 2 for a character outside the BMP
        QString syllable; // lower-case ASCII letters
        bool operator==(const Reading &other) const
        {
            return start == other.start && length == other.length && syllable == other.syllable;
        }
    };

    // The syllable of one Chinese character; empty for any other character.
    static QString syllableOf(char32_t c);

    // The readings of a text's Chinese characters in order (others are left out), with the
    // word table's readings in place of the characters' own.
    static QList<Reading> readingsOf(const QString &text);

    // The table's reading of a word, syllables separated by blanks ("yue qi"); empty when the
    // table does not know the word.
    static QString tableReading(const QString &word);
};

} // namespace quicksearch
