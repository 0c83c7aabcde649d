#pragma once

#include "core/edition/DatabaseSnapshot.h"
#include "core/edition/EditionComparison.h"
#include "core/edition/EditionLine.h"

#include <QString>

namespace edition {

// What a foreign-trade edition changes: list_jmwcode (chapters, headings, subheadings; names
// and m_flag) and the headings and subheadings of list_hscode, both made from the same file
// as db/README.md says. The customs chapters and 10-digit lines are not the file's and stay
// (a chapter the customs list lacks is added to it, without a name).
class TradeComparison
{
public:
    static EditionComparison compare(const EditionFile &file, const DatabaseSnapshot &snapshot);

    // list_jmwcode.m_flag of a code in a WCO section: 'Y' for XVI-XVIII (machinery and
    // electrical equipment, vehicles, instruments), else 'N'.
    static QString machineryFlag(const QString &section);
};

} // namespace edition
