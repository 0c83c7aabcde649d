#include "core/quicksearch/RecentCodes.h"

#include "core/settings/Setting.h"

#include <QStringList>

namespace quicksearch {

namespace {

// Codes are letters and digits; anything else would break the stored list apart.
bool isCode(const QString &code)
{
    if (code.isEmpty() || code.size() > 16)
        return false;
    for (QChar c : code) {
        if (c.unicode() >= 0x80 || !c.isLetterOrNumber())
            return false;
    }
    return true;
}

} // namespace

RecentCodes RecentCodes::load(const QString &profileFile)
{
    RecentCodes recent;
    const QString stored = settings::Settings::value(profileFile, settings::kRecentCodes);
    const QStringList items = stored.split(u',', Qt::SkipEmptyParts);
    // Stored newest first; adding the oldest first rebuilds the same order without repeats.
    for (auto it = items.crbegin(); it != items.crend(); ++it) {
        const QString item = it->trimmed();
        const qsizetype colon = item.indexOf(u':');
        if (colon < 0)
            continue;
        if (const std::optional<CodeList> list = codeListFromKey(item.left(colon)))
            recent.add(*list, item.mid(colon + 1).trimmed());
    }
    return recent;
}

int RecentCodes::save(const QString &profileFile) const
{
    QStringList items;
    for (const Entry &entry : m_entries)
        items.append(codeListKey(entry.list) + u':' + entry.code);
    return settings::Settings::setValue(profileFile, settings::kRecentCodes, items.join(u','));
}

void RecentCodes::add(CodeList list, const QString &code)
{
    if (!isCode(code))
        return;
    const Entry entry{list, code};
    m_entries.removeAll(entry);
    m_entries.prepend(entry);
    while (m_entries.size() > kMaxCount)
        m_entries.removeLast();
}

} // namespace quicksearch
