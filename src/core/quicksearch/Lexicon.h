#pragma once

#include "core/quicksearch/EverydayNames.h"
#include "core/quicksearch/WordList.h"

#include <memory>

namespace quicksearch {

// What the search field knows of words beyond the names: a general word list for cutting
// inputs into words, and the everyday names of goods. Read once from the program's folder (its
// working folder, else the executable's);
// what could not be read is in `problems` (the file and line named), and the search works
// with the rest, or with neither.
struct Lexicon {
    static QString wordsFile() { return QStringLiteral("words.txt"); }
    static QString everydayNamesFile() { return QStringLiteral("everyday_names.txt"); }

    WordList words;
    EverydayNames everyday;
    QStringList problems;

    // Reads both files from the first of the folders that has each; the everyday names join
    // the word list.
    static std::shared_ptr<const Lexicon> load(const QStringList &folders);
    static std::shared_ptr<const Lexicon> load(const QString &folder) { return load(QStringList{folder}); }
    // Made from lines already read (tests, benchmarks).
    static std::shared_ptr<const Lexicon> make(const QList<DictionaryLine> &words,
                                               const QList<DictionaryLine> &everyday);
};

} // namespace quicksearch
