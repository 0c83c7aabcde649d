#pragma once

#include "core/edition/EditionLine.h"

#include <QHash>
#include <QSet>
#include <QString>

namespace runtime {
class Transaction;
}

namespace edition {

// What an edition is compared with: the customs lines now in the database, with the chapter
// rows and the units of the headings and subheadings of both lists, and the codes that carry
// a user's note. Read once, on the thread that owns the connection; the comparison may then
// run elsewhere.
struct DatabaseSnapshot {
    QHash<QString, LineFields> lines;           // 10-digit codes of list_hscode
    QHash<QString, QString> chapterNames;        // list_hscode chapter rows (null name possible)
    QSet<QString> tradeChapters;                 // list_jmwcode chapter rows
    QHash<QString, QString> headingUnits;        // list_hscode 4- and 6-digit rows: unit
    QHash<QString, QString> headingNames;        // list_hscode 4- and 6-digit rows: name
    QHash<QString, QString> tradeHeadingUnits;   // list_jmwcode 4- and 6-digit rows: unit
    QHash<QString, QString> tradeNames;          // list_jmwcode, every row: name
    QHash<QString, QString> tradeMachinery;      // list_jmwcode, every row: m_flag
    QHash<QString, int> chapterItemCounts;       // tariff_chapter
    QSet<QString> notedCodes;                    // user_note of the customs list
    QSet<QString> tradeNotedCodes;               // user_note of the foreign-trade list
    QHash<QString, QString> chineseHeadingNames; // heading_name_cn (tariff/HeadingNames.h)
    bool hasChineseHeadingNames = false;         // the database has that table

    // Reads it; false with *error (the driver's text) when a query fails.
    static bool read(runtime::Transaction *sqlca, DatabaseSnapshot *snapshot, QString *error);
};

} // namespace edition
