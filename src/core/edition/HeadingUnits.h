#pragma once

#include "core/edition/EditionLine.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>

namespace edition {

// The unit db/README.md gives a heading or subheading (of either list): the first statutory
// unit shared by every 10-digit line under it; none when the lines differ.
class HeadingUnits
{
public:
    static QHash<QString, QString> of(const QVector<EditionLine> &lines);
    static QHash<QString, QString> of(const QHash<QString, LineFields> &lines);

private:
    void add(const QString &code, const QString &unit);

    QHash<QString, QString> m_units;
    QSet<QString> m_mixed;
};

} // namespace edition
