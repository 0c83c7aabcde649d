#pragma once

#include "core/settings/Setting.h"

#include "core/quicksearch/IndexRow.h"

#include <QList>
#include <QString>

namespace quicksearch {

// The codes the user last went to from the search field, newest first, each once. Kept in
// the profile file in a section of their own, so they survive a restart.
class RecentCodes
{
public:
    struct Entry {
        CodeList list = CodeList::Customs;
        QString code;
        bool operator==(const Entry &other) const { return list == other.list && code == other.code; }
    };

    static constexpr int kMaxCount = 20;
    // Where the profile keeps them: one key, "hs:0101210010,jmw:0101", newest first.
    static QString profileSection() { return QString::fromLatin1(settings::kRecentCodes.section); }
    static QString profileKey() { return QString::fromLatin1(settings::kRecentCodes.key); }

    RecentCodes() = default;

    // The codes the profile file holds; entries it cannot read are left out.
    static RecentCodes load(const QString &profileFile);
    // Writes the list into the profile file, every other line left as it was. 1 or -1.
    int save(const QString &profileFile) const;

    // Puts a code first, taking it out of where it was; the oldest beyond kMaxCount goes.
    // An empty code, or one with characters a code never has, is ignored.
    void add(CodeList list, const QString &code);
    void clear() { m_entries.clear(); }

    // A copy (shared, cheap), so a loop over load(...).entries() is safe.
    QList<Entry> entries() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }

private:
    QList<Entry> m_entries;
};

} // namespace quicksearch
