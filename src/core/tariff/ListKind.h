#pragma once

#include <QString>

#include <optional>

namespace tariff {

// Which of the two code lists: the customs list (table list_hscode, key "hs", code column
// "code") or the foreign-trade list (list_jmwcode, "jmw", "jmw_code"). The one type for it in
// the search, the editions and the catalog.
enum class ListKind {
    Customs,
    ForeignTrade,
};

// The key a list has in the database and the profile: "hs" or "jmw".
QString listKey(ListKind list);
// The list's name as the user sees it: 海关 or 外经贸.
QString listLabel(ListKind list);
QString listTable(ListKind list);
QString listCodeColumn(ListKind list);
// The list of a key ("hs", "jmw", any case); nullopt for anything else.
std::optional<ListKind> listFromKey(const QString &key);

} // namespace tariff
