#pragma once

#include "core/edition/EditionComparison.h"

#include <QString>
#include <QVector>

namespace edition {

// The texts of an import's changes: the summary the preview and `--import` show, and the
// list of changes as text or CSV for the user to keep.
class ChangeReport
{
public:
    // A few lines: the counts of each kind (of each list for a foreign-trade edition), removed
    // codes with notes, new chapters without a name, the columns not read.
    static QString summary(const EditionComparison &comparison);

    // One cell of the list: the field's name, or the kind for a whole line or chapter.
    static QString fieldText(const Change &change);
    static QString noteText(const Change &change);

    // The list as CSV (UTF-8 with a byte-order mark, so Excel shows the Chinese) and as text
    // (one change per line, tab-separated).
    static QByteArray toCsv(const QVector<Change> &changes);
    static QByteArray toText(const QVector<Change> &changes);

private:
    // A foreign-trade edition's summary: the counts of both lists it changes.
    static QString tradeSummary(const EditionComparison &comparison);
};

} // namespace edition
