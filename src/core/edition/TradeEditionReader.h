#pragma once

#include "core/edition/EditionLine.h"
#include "core/edition/ReadError.h"

#include <QString>
#include <QStringList>

namespace edition {

// Reads a foreign-trade edition: a file of the shape of db/harmonized-system.csv (the WCO
// nomenclature: chapters, headings, subheadings), with the checks db/make_db.py makes on it,
// in its order: Comtrade's pseudo codes left out, then per row the code (2, 4 or 6 digits,
// once), its level, its parent and its name; then every parent present; then at least one
// heading or subheading. One difference, as for the customs list: a chapter the database has
// no Chinese name for is not refused; it comes in without a name.
class TradeEditionReader
{
public:
    // The columns read; the others are listed as extra.
    static QStringList columns();
    // TOTAL, 99, 9999, 999999: totals of the trade statistics, not part of the nomenclature.
    static bool isPseudoCode(const QString &code);

    // Fills *file (list, path, tradeCodes, extraColumns). False with *error naming the file,
    // the line and the problem.
    static bool read(const QString &path, EditionFile *file, ReadError *error, const Progress &progress = {});
};

} // namespace edition
