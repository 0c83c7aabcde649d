#include "core/edition/TradeComparison.h"

#include <QSet>

namespace edition {

QString TradeComparison::machineryFlag(const QString &section)
{
    return section == QLatin1String("XVI") || section == QLatin1String("XVII") || section == QLatin1String("XVIII")
               ? QStringLiteral("Y")
               : QStringLiteral("N");
}

EditionComparison TradeComparison::compare(const EditionFile &file, const DatabaseSnapshot &s)
{
    EditionComparison c;
    c.list = CodeList::ForeignTrade;
    c.extraColumns = file.extraColumns;
    QSet<QString> inFile;
    inFile.reserve(file.tradeCodes.size());
    for (const TradeCode &t : file.tradeCodes) {
        inFile.insert(t.code);
        const bool chapter = t.code.size() == 2;
        const bool tradeNoted = s.tradeNotedCodes.contains(t.code);
        const auto old = s.tradeNames.constFind(t.code);
        if (old == s.tradeNames.cend()) {
            if (chapter) {
                // A chapter's name is the customs list's Chinese one, not the WCO's English.
                const QString name = s.chapterNames.value(t.code);
                c.newChapters.append(t.code);
                if (name.isEmpty())
                    c.unnamedChapters.append(t.code);
                c.changes.append({t.code, ChangeKind::Chapter, -1, QString(),
                                  name.isEmpty() ? EditionComparison::unknownChapterName() : name, tradeNoted,
                                  CodeList::ForeignTrade});
            } else {
                c.changes.append({t.code, ChangeKind::Added, -1, QString(), t.name, tradeNoted, CodeList::ForeignTrade});
            }
        } else {
            if (!chapter && old.value() != t.name)
                c.changes.append(
                    {t.code, ChangeKind::Renamed, int(Field::Name), old.value(), t.name, tradeNoted, CodeList::ForeignTrade});
            const QString flag = machineryFlag(t.section);
            const QString before = s.tradeMachinery.value(t.code);
            if (before != flag)
                c.changes.append({t.code, ChangeKind::Machinery, -1, before, flag, tradeNoted, CodeList::ForeignTrade});
        }
        if (chapter) {
            // The customs list's chapters are its own; one it lacks comes in unnamed, so that
            // the new headings have their chapter in the customs tree too.
            if (!s.chapterNames.contains(t.code)) {
                if (!c.unnamedChapters.contains(t.code))
                    c.unnamedChapters.append(t.code);
                c.changes.append({t.code, ChangeKind::Chapter, -1, QString(), EditionComparison::unknownChapterName(),
                                  false, CodeList::Customs});
            }
            continue;
        }
        const bool noted = s.notedCodes.contains(t.code);
        const auto heading = s.headingNames.constFind(t.code);
        if (heading == s.headingNames.cend())
            c.changes.append({t.code, ChangeKind::Added, -1, QString(), t.name, noted, CodeList::Customs});
        else if (heading.value() != t.name) {
            c.changes.append(
                {t.code, ChangeKind::Renamed, int(Field::Name), heading.value(), t.name, noted, CodeList::Customs});
            if (s.chineseHeadingNames.contains(t.code))
                c.chineseNamesToCheck.append(t.code);
        }
    }

    for (auto it = s.tradeNames.cbegin(); it != s.tradeNames.cend(); ++it) {
        if (inFile.contains(it.key()))
            continue;
        const bool noted = s.tradeNotedCodes.contains(it.key());
        if (noted)
            c.tradeRemovedWithNotes.append(it.key());
        c.changes.append({it.key(), ChangeKind::Removed, -1, it.value(), QString(), noted, CodeList::ForeignTrade});
    }
    for (auto it = s.headingNames.cbegin(); it != s.headingNames.cend(); ++it) {
        if (inFile.contains(it.key()))
            continue;
        const bool noted = s.notedCodes.contains(it.key());
        if (noted)
            c.removedWithNotes.append(it.key());
        if (s.chineseHeadingNames.contains(it.key()))
            c.chineseNamesDropped.append(it.key());
        c.changes.append({it.key(), ChangeKind::Removed, -1, it.value(), QString(), noted, CodeList::Customs});
    }
    // The customs tariff may keep lines under a subheading the WCO drops until its own next
    // edition. The trees hang a code under its longest prefix that exists: the heading when the
    // list keeps it, else the chapter (a WCO list that drops a heading drops its subheadings).
    const auto dropped = [&](const QString &code) { return !inFile.contains(code) && s.headingNames.contains(code); };
    for (auto it = s.lines.cbegin(); it != s.lines.cend(); ++it) {
        if (dropped(it.key().left(4)))
            c.linesUnderChapter.append(it.key());
        else if (dropped(it.key().left(6)))
            c.linesWithoutSubheading.append(it.key());
    }
    c.finish();
    return c;
}

} // namespace edition
