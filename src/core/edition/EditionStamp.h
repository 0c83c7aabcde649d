#pragma once

#include "core/edition/EditionLine.h"

#include <QString>

namespace runtime {
class Transaction;
}

namespace edition {

// The edition a list holds now, as the import wrote it into op_user and op_date: the customs
// list's 10-digit lines for a customs edition, the headings and subheadings for a WCO list.
struct EditionStamp {
    QString name; // "CN2026", "HS2022"; empty when the rows carry none
    QString date; // yyyyMMdd as stored; may be empty

    // The name, or a word for none, for a message.
    QString text() const;
    // The year the name carries (HS2017 → 2017), 0 when it carries none.
    int year() const;

    // The newest stamp of a list's rows; false with *error when the query fails.
    static bool read(runtime::Transaction *sqlca, CodeList list, EditionStamp *stamp, QString *error);
    // Whether `candidate` is an older edition than `current`: by the years in their names when
    // both name one and they differ, else by their dates when both have one.
    static bool isOlder(const EditionStamp &candidate, const EditionStamp &current);
};

} // namespace edition
