#pragma once

#include <QVariant>
#include <QVector>

namespace runtime {

// Makes equal texts of a column share one string: a unit, a rate or a flag repeats on thousands
// of rows, and each copy read from the database holds its own characters. Columns with more
// than `maxDistinct` different texts (codes, names) stop being looked at once they pass it.
// Values stay equal to what they were; only their memory is shared.
void shareRepeatedTexts(QVector<QVector<QVariant>> &rows, const QVector<int> &columns, int maxDistinct = 4096);

} // namespace runtime
