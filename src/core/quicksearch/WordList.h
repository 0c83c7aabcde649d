#pragma once

#include "core/quicksearch/DictionaryFile.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace quicksearch {

// Chinese words with how often each occurs in a body of text, for cutting an input written
// without blanks into words: the most probable cut, where a piece is a known word or a single
// character. Immutable once read; safe to share between threads.
class WordList
{
public:
    // Lines "word count" (the count may be left out); a bad line is named in problems and
    // skipped.
    static WordList fromLines(const QList<DictionaryLine> &lines, const QString &fileName, QStringList *problems);

    // Adds a word (or raises its count to `count`): the everyday names are words too.
    void add(const QString &word, int count);
    // How often the word occurs; 0 for a word the list does not know.
    int count(const QString &word) const { return m_counts.value(word); }
    bool isEmpty() const { return m_counts.isEmpty(); }
    int size() const { return int(m_counts.size()); }
    QList<QString> words() const { return m_counts.keys(); }

    // The most probable cut of the text into known words and single characters, in order.
    QStringList segment(QStringView text) const;

private:
    QHash<QString, int> m_counts;
    qint64 m_total = 0;
    int m_longest = 1;
};

} // namespace quicksearch
