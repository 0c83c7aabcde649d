#pragma once

#include "core/edition/DatabaseSnapshot.h"
#include "core/edition/EditionComparison.h"
#include "core/edition/EditionLine.h"
#include "core/edition/SqlWriter.h"

namespace edition {

// The statements of a customs edition: its 10-digit lines into list_hscode and tariff_line,
// chapter names and counts from its chapters file, a new chapter selected. Every 10-digit
// line and chapter row gets op_user = the edition and op_date = its date. The units of
// headings and subheadings follow the lines under them, as db/README.md says (in both lists).
class CustomsEditionWriter
{
public:
    static void write(SqlWriter &w, const EditionFile &file, const DatabaseSnapshot &snapshot,
                      const EditionComparison &comparison, const QString &edition, const QString &date);
};

} // namespace edition
