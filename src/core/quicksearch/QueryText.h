#pragma once

#include <QString>
#include <QStringList>

namespace quicksearch {

// What the user typed, made comparable with the index: compatibility forms folded (NFKC, so
// full-width "０１０１" and "ＡＢ" are ASCII), lower case, cut at kMaxLength characters so a huge
// paste costs nothing, split at blanks into a code part and words.
class QueryText
{
public:
    // Longer input is cut here: no name is longer, and a search stays cheap.
    static constexpr int kMaxLength = 200;

    static QueryText parse(const QString &input);

    // The digits of the input's code groups ("0101.21", "0101 21 00 10", "8471-30"), joined;
    // empty when the input has none.
    const QString &code() const { return m_code; }
    // The other blank-separated words, folded, without punctuation at their ends. A word of
    // ASCII characters is also split at punctuation inside it ("non-alloy" gives two words).
    const QStringList &words() const { return m_words; }
    bool isEmpty() const { return m_code.isEmpty() && m_words.isEmpty(); }

    // Folds one character as the index compares names: a compatibility character that stands
    // for a single one ("Ａ", "（") becomes it, then lower case. Never changes the length, so
    // a position in the folded text is one in the original.
    static QChar foldChar(QChar c);
    static QString fold(const QString &text);
    // Whether every character of the text is ASCII.
    static bool isAscii(QStringView text);

private:
    QString m_code;
    QStringList m_words;
};

} // namespace quicksearch
