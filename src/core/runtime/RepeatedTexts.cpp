#include "core/runtime/RepeatedTexts.h"

#include <QHash>
#include <QString>

namespace runtime {

void shareRepeatedTexts(QVector<QVector<QVariant>> &rows, const QVector<int> &columns, int maxDistinct)
{
    for (const int column : columns) {
        QHash<QString, QVariant> first; // each text as its first row holds it
        for (QVector<QVariant> &row : rows) {
            if (column >= row.size())
                continue;
            QVariant &value = row[column];
            if (value.typeId() != QMetaType::QString)
                continue;
            const QString text = value.toString();
            const auto found = first.constFind(text);
            if (found != first.cend()) {
                value = *found; // a copy of the first: the characters are shared
            } else if (first.size() < maxDistinct) {
                first.insert(text, value);
            } else {
                break; // as many texts as rows: nothing to share here
            }
        }
    }
}

} // namespace runtime
