#include "core/quicksearch/Lexicon.h"

#include "core/quicksearch/QueryText.h"

#include <QDir>
#include <QFileInfo>

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

std::shared_ptr<const Lexicon> Lexicon::load(const QStringList &folders)
{
    auto lexicon = std::make_shared<Lexicon>();
    const auto pathOf = [&folders](const QString &file) {
        for (const QString &folder : folders) {
            if (QFileInfo::exists(QDir(folder).filePath(file)))
                return QDir(folder).filePath(file);
        }
        return QDir(folders.value(0)).filePath(file); // missing: named as the first folder's
    };
    QStringList *problems = &lexicon->problems;
    lexicon->words = WordList::fromLines(DictionaryFile::read(pathOf(wordsFile()), problems), wordsFile(), problems);
    lexicon->everyday = EverydayNames::fromLines(DictionaryFile::read(pathOf(everydayNamesFile()), problems),
                                                 everydayNamesFile(), problems);
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
