#include "quicksearch/Lexicon.h"

#include "quicksearch/QueryText.h"

#include <QDir>

namespace quicksearch {

namespace {
// An everyday name counts as a common word: the cut keeps it whole.
constexpr int kEverydayNameCount = 5000;

void join(Lexicon *lexicon)
{
    for (const QString &name : lexicon->everyday.names()) {
        if (!QueryText::isAscii(name))
            lexicon->words.add(name, kEverydayNameCount);
    }
}
} // namespace

std::shared_ptr<const Lexicon> Lexicon::load(const QString &folder)
{
    auto lexicon = std::make_shared<Lexicon>();
    const QDir dir(folder);
    QStringList *problems = &lexicon->problems;
    lexicon->words = WordList::fromLines(DictionaryFile::read(dir.filePath(wordsFile()), problems), wordsFile(),
                                         problems);
    lexicon->everyday = EverydayNames::fromLines(
        DictionaryFile::read(dir.filePath(everydayNamesFile()), problems), everydayNamesFile(), problems);
    join(lexicon.get());
    return lexicon;
}

std::shared_ptr<const Lexicon> Lexicon::make(const QList<DictionaryLine> &words,
                                             const QList<DictionaryLine> &everyday)
{
    auto lexicon = std::make_shared<Lexicon>();
    lexicon->words = WordList::fromLines(words, wordsFile(), &lexicon->problems);
    lexicon->everyday = EverydayNames::fromLines(everyday, everydayNamesFile(), &lexicon->problems);
    join(lexicon.get());
    return lexicon;
}

} // namespace quicksearch
