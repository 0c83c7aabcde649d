#pragma once

#include "core/quicksearch/IcuTransliterator.h"

#include <QHash>
#include <QList>
#include <QString>

namespace quicksearch {

// The pinyin of Chinese names: ICU's Han-Latin reading of each character, without tone marks,
// through a cache of the characters seen, with a small table of word readings where ICU's one
// reading per character is wrong for the words of the code lists (乐器 is yueqi, not leqi).
// Not thread-safe (the cache); the index uses one while it is built.
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

    Pinyin();

    // False when ICU lacks its transliteration data: then no character has a syllable.
    bool isValid() const { return m_hanLatin.isValid(); }

    // ICU's syllable of one Chinese character; empty for any other character.
    QString syllableOf(char32_t c);

    // Reads every Chinese character of the texts not yet in the cache in one call of ICU,
    // each on its own line: a call per character costs ICU's setup each time.
    void learn(const QList<QString> &texts);

    // The readings of a text's Chinese characters in order (others are left out), with the
    // table's readings in place of ICU's.
    QList<Reading> readingsOf(const QString &text);

    // The table's reading of a word, syllables separated by blanks ("yue qi"); empty when the
    // table does not know the word.
    static QString tableReading(const QString &word);

private:
    IcuTransliterator m_hanLatin;
    QHash<char32_t, QString> m_cache;
};

} // namespace quicksearch
