#include "core/edition/HeadingUnits.h"

namespace edition {

void HeadingUnits::add(const QString &code, const QString &unit)
{
    for (int n : {4, 6}) {
        const QString prefix = code.left(n);
        if (m_mixed.contains(prefix))
            continue;
        const auto it = m_units.constFind(prefix);
        if (it == m_units.cend())
            m_units.insert(prefix, unit);
        else if (it.value() != unit) {
            m_units.remove(prefix);
            m_mixed.insert(prefix);
        }
    }
}

QHash<QString, QString> HeadingUnits::of(const QVector<EditionLine> &lines)
{
    HeadingUnits units;
    for (const EditionLine &line : lines)
        units.add(line.code, fieldOf(line.fields, Field::Unit1));
    return units.m_units;
}

QHash<QString, QString> HeadingUnits::of(const QHash<QString, LineFields> &lines)
{
    HeadingUnits units;
    for (auto it = lines.cbegin(); it != lines.cend(); ++it)
        units.add(it.key(), fieldOf(it.value(), Field::Unit1));
    return units.m_units;
}

} // namespace edition
