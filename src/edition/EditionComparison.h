#pragma once

#include "edition/DatabaseSnapshot.h"
#include "edition/EditionLine.h"

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
};

// What an edition changes in the customs list, computed without touching the database.
class EditionComparison
{
public:
    static EditionComparison compare(const EditionFile &file, const DatabaseSnapshot &snapshot);

    QVector<Change> changes;      // by code, then kind and field
    QStringList added;            // codes, in code order
    QStringList removed;
    QStringList changed;          // codes with at least one field changed
    QStringList removedWithNotes; // removed codes whose note stays behind
    QStringList newChapters;      // chapters the database has no row for
    QStringList unnamedChapters;  // of those, the ones without a name in the chapters file
    QStringList extraColumns;     // the file's columns that are not read

    // How many codes a kind touches (a code counts once per kind).
    int count(ChangeKind kind) const { return m_counts[size_t(kind)]; }
    bool isEmpty() const { return changes.isEmpty(); }

    // The name a chapter without one shows in the trees.
    static QString unknownChapterName() { return QStringLiteral("*未知名称"); }

private:
    std::array<int, kChangeKindCount> m_counts{};
};

} // namespace edition
