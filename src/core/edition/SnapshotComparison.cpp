#include "core/edition/SnapshotComparison.h"

namespace edition {

namespace {

// Codes added, removed and renamed between two code → name tables.
void compareNames(const QHash<QString, QString> &before, const QHash<QString, QString> &after, CodeList list,
                  const QSet<QString> &noted, EditionComparison *c)
{
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const auto old = before.constFind(it.key());
        const bool isNoted = noted.contains(it.key());
        if (old == before.cend())
            c->changes.append({it.key(), ChangeKind::Added, -1, QString(), it.value(), isNoted, list});
        else if (old.value() != it.value())
            c->changes.append({it.key(), ChangeKind::Renamed, int(Field::Name), old.value(), it.value(), isNoted, list});
    }
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()))
            c->changes.append({it.key(), ChangeKind::Removed, -1, it.value(), QString(), noted.contains(it.key()), list});
    }
}

} // namespace

EditionComparison SnapshotComparison::compare(const DatabaseSnapshot &before, const DatabaseSnapshot &after)
{
    EditionComparison c;
    for (auto it = after.lines.cbegin(); it != after.lines.cend(); ++it) {
        const auto old = before.lines.constFind(it.key());
        const bool noted = after.notedCodes.contains(it.key());
        if (old == before.lines.cend()) {
            c.added.append(it.key());
            c.changes.append({it.key(), ChangeKind::Added, -1, QString(), fieldOf(it.value(), Field::Name), noted});
            continue;
        }
        bool any = false;
        for (int f = 0; f < kFieldCount; ++f) {
            if (old.value()[size_t(f)] == it.value()[size_t(f)])
                continue;
            any = true;
            c.changes.append({it.key(), kindOf(Field(f)), f, old.value()[size_t(f)], it.value()[size_t(f)], noted});
        }
        if (any)
            c.changed.append(it.key());
    }
    for (auto it = before.lines.cbegin(); it != before.lines.cend(); ++it) {
        if (after.lines.contains(it.key()))
            continue;
        c.removed.append(it.key());
        if (after.notedCodes.contains(it.key()))
            c.removedWithNotes.append(it.key());
        c.changes.append({it.key(), ChangeKind::Removed, -1, fieldOf(it.value(), Field::Name), QString(),
                          after.notedCodes.contains(it.key())});
    }
    const bool linesChanged = !c.changes.isEmpty();
    for (auto it = after.chapterNames.cbegin(); it != after.chapterNames.cend(); ++it) {
        if (!before.chapterNames.contains(it.key()))
            c.newChapters.append(it.key());
    }
    if (!linesChanged) {
        // The foreign-trade list's edition: its codes, and the customs headings and subheadings.
        c.list = CodeList::ForeignTrade;
        compareNames(before.headingNames, after.headingNames, CodeList::Customs, after.notedCodes, &c);
        compareNames(before.tradeNames, after.tradeNames, CodeList::ForeignTrade, after.tradeNotedCodes, &c);
        for (auto it = after.tradeMachinery.cbegin(); it != after.tradeMachinery.cend(); ++it) {
            const auto old = before.tradeMachinery.constFind(it.key());
            if (old != before.tradeMachinery.cend() && old.value() != it.value())
                c.changes.append({it.key(), ChangeKind::Machinery, -1, old.value(), it.value(),
                                  after.tradeNotedCodes.contains(it.key()), CodeList::ForeignTrade});
        }
    }
    c.finish();
    return c;
}

} // namespace edition
