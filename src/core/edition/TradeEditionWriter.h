#pragma once

#include "core/edition/DatabaseSnapshot.h"
#include "core/edition/EditionComparison.h"
#include "core/edition/EditionLine.h"
#include "core/edition/SqlWriter.h"

namespace edition {

// The statements of a foreign-trade edition, as the comparison lists them: list_jmwcode's
// chapters, headings and subheadings, and list_hscode's headings and subheadings, added,
// removed and renamed. A new code gets the unit its customs lines share (db/README.md); a
// new foreign-trade chapter is selected and named as the customs chapter; a chapter the
// customs list lacks comes into it selected and without a name. Every heading and
// subheading row of list_hscode gets op_user = the edition and op_date = its date
// (list_jmwcode has no such columns).
class TradeEditionWriter
{
public:
    static void write(SqlWriter &w, const EditionFile &file, const DatabaseSnapshot &snapshot,
                      const EditionComparison &comparison, const QString &edition, const QString &date);
};

} // namespace edition
