#pragma once

#include "core/edition/DatabaseSnapshot.h"
#include "core/edition/EditionLine.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

namespace edition {

// One row of the preview's list: a code, what changed in it and from what to what.
struct Change {
    QString code;
    ChangeKind kind = ChangeKind::Added;
    int field = -1;  // a Field for the field changes, -1 for a whole line or chapter
    QString before;  // the name for a removed code
    QString after;   // the name for an added code
    bool noted = false; // the code carries a user's note
    CodeList list = CodeList::Customs; // the list the change is made in
};

// What an edition changes in the code lists, computed without touching the database. A
// customs edition changes the customs list; a foreign-trade edition (TradeComparison) the
// foreign-trade list and the headings and subheadings of the customs list.
class EditionComparison
{
public:
    static EditionComparison compare(const EditionFile &file, const DatabaseSnapshot &snapshot);

    CodeList list = CodeList::Customs; // the edition's list
    QVector<Change> changes;      // by code, then list, kind and field
    QStringList added;            // 10-digit codes of a customs edition, in code order
    QStringList removed;
    QStringList changed;          // codes with at least one field changed
    QStringList removedWithNotes; // removed customs codes whose note stays behind
    QStringList tradeRemovedWithNotes; // removed foreign-trade codes whose note stays behind
    QStringList newChapters;      // chapters the database has no row for
    QStringList unnamedChapters;  // of those, the ones without a name in the chapters file
    // 10-digit lines whose subheading a foreign-trade edition removes: they hang under their
    // heading, the longest prefix that stays, as the trees nest a code.
    QStringList linesWithoutSubheading;
    QStringList linesUnderChapter; // 10-digit lines whose heading it removes too: they hang under their chapter
    QStringList chineseNamesToCheck;   // headings a foreign-trade edition renames; their Chinese name stays
    QStringList chineseNamesDropped;   // headings a foreign-trade edition removes, with their Chinese name
    QStringList extraColumns;     // the file's columns that are not read

    // How many codes a kind touches (a code counts once per kind and list).
    int count(ChangeKind kind) const
    {
        return m_counts[size_t(CodeList::Customs)][size_t(kind)] + m_counts[size_t(CodeList::ForeignTrade)][size_t(kind)];
    }
    int count(CodeList list, ChangeKind kind) const { return m_counts[size_t(list)][size_t(kind)]; }
    bool isEmpty() const { return changes.isEmpty(); }

    // Sorts the lists and the changes and counts them, once they are all added.
    void finish();

    // The name a chapter without one shows in the trees.
    static QString unknownChapterName() { return QStringLiteral("*未知名称"); }

private:
    std::array<std::array<int, kChangeKindCount>, 2> m_counts{};
};

} // namespace edition
