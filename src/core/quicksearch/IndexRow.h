#pragma once

#include "core/tariff/ListKind.h"

#include <QString>

#include <optional>

namespace quicksearch {

// The two code lists the field searches at once.
using CodeList = tariff::ListKind;

// The key a list has in the database and the profile: "hs" or "jmw".
QString codeListKey(CodeList list);
// The list's name as the user sees it: 海关 or 外经贸.
QString codeListLabel(CodeList list);
// The list of a key ("hs", "jmw", any case); nullopt for anything else.
std::optional<CodeList> codeListFromKey(const QString &key);

// One code as the trees hold it, taken from the lists' rows so that the index never touches a
// widget. Inside the index, a code and a name may refer to the rows it keeps (not copied).
struct IndexRow {
    CodeList list = CodeList::Customs;
    QString code;
    QString name;
    QString declarationElements; // empty for rows without
    QString notes;               // the user's note and keywords, joined; may be empty
    // A note whose code the current edition no longer has: found by its note only (no name).
    bool removed = false;
};

// How the search marks a note on a code the current edition no longer has.
inline QString removedCodeMark() { return QStringLiteral("（当前版本中已无此编码）"); }

} // namespace quicksearch
