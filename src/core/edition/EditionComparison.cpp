#include "core/edition/EditionComparison.h"

#include "core/edition/TradeComparison.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace edition {

EditionComparison EditionComparison::compare(const EditionFile &file, const DatabaseSnapshot &snapshot)
{
    if (file.list == CodeList::ForeignTrade)
        return TradeComparison::compare(file, snapshot);
    EditionComparison c;
    c.extraColumns = file.extraColumns;
    QSet<QString> inFile;
    inFile.reserve(file.lines.size());
    QSet<QString> chaptersOfLines;
    for (const EditionLine &line : file.lines) {
        inFile.insert(line.code);
        chaptersOfLines.insert(line.code.left(2));
        const auto old = snapshot.lines.constFind(line.code);
        const bool noted = snapshot.notedCodes.contains(line.code);
        if (old == snapshot.lines.cend()) {
            c.added.append(line.code);
            c.changes.append({line.code, ChangeKind::Added, -1, QString(), fieldOf(line.fields, Field::Name), noted});
            continue;
        }
        bool any = false;
        for (int f = 0; f < kFieldCount; ++f) {
            const QString &before = old.value()[size_t(f)];
            const QString &after = line.fields[size_t(f)];
            if (before == after)
                continue;
            any = true;
            c.changes.append({line.code, kindOf(Field(f)), f, before, after, noted});
        }
        if (any)
            c.changed.append(line.code);
    }
    for (auto it = snapshot.lines.cbegin(); it != snapshot.lines.cend(); ++it) {
        if (inFile.contains(it.key()))
            continue;
        const bool noted = snapshot.notedCodes.contains(it.key());
        c.removed.append(it.key());
        if (noted)
            c.removedWithNotes.append(it.key());
        c.changes.append({it.key(), ChangeKind::Removed, -1, fieldOf(it.value(), Field::Name), QString(), noted});
    }

    QHash<QString, QString> fileChapterNames;
    for (const EditionChapter &chapter : file.chapters)
        fileChapterNames.insert(chapter.code, chapter.name);
    QSet<QString> chapters = chaptersOfLines;
    for (const EditionChapter &chapter : file.chapters)
        chapters.insert(chapter.code);
    for (const QString &chapter : std::as_const(chapters)) {
        const auto known = snapshot.chapterNames.constFind(chapter);
        const QString name = fileChapterNames.value(chapter);
        if (known == snapshot.chapterNames.cend()) {
            c.newChapters.append(chapter);
            if (name.isEmpty())
                c.unnamedChapters.append(chapter);
            c.changes.append({chapter, ChangeKind::Chapter, -1, QString(),
                              name.isEmpty() ? unknownChapterName() : name, false});
        } else if (!name.isEmpty() && name != known.value()) {
            c.changes.append({chapter, ChangeKind::Chapter, int(Field::Name), known.value(), name, false});
        }
    }

    // The chapters file's Chinese names of headings and subheadings, against the name shown now.
    for (const EditionHeadingName &heading : file.headingNames) {
        const auto known = snapshot.chineseHeadingNames.constFind(heading.code);
        if (known != snapshot.chineseHeadingNames.cend() && known.value() == heading.name)
            continue;
        const QString before = known != snapshot.chineseHeadingNames.cend() ? known.value()
                                                                            : snapshot.headingNames.value(heading.code);
        c.changes.append({heading.code, ChangeKind::Renamed, int(Field::Name), before, heading.name,
                          snapshot.notedCodes.contains(heading.code)});
    }

    c.finish();
    return c;
}

void EditionComparison::finish()
{
    for (QStringList *list : {&added, &removed, &changed, &removedWithNotes, &tradeRemovedWithNotes, &newChapters,
                              &unnamedChapters, &linesWithoutSubheading, &linesUnderChapter, &chineseNamesToCheck,
                              &chineseNamesDropped})
        list->sort();
    std::sort(changes.begin(), changes.end(), [](const Change &a, const Change &b) {
        if (a.code != b.code)
            return a.code < b.code;
        if (a.list != b.list)
            return a.list < b.list;
        if (a.kind != b.kind)
            return a.kind < b.kind;
        return a.field < b.field;
    });
    QSet<QString> counted[2][kChangeKindCount];
    for (const Change &change : std::as_const(changes))
        counted[int(change.list)][int(change.kind)].insert(change.code);
    for (int l = 0; l < 2; ++l) {
        for (int k = 0; k < kChangeKindCount; ++k)
            m_counts[size_t(l)][size_t(k)] = int(counted[l][k].size());
    }
}

} // namespace edition
