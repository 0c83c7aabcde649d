#include "core/tariff/SpecificationText.h"

namespace tariff {

SpecificationText SpecificationText::join(const QStringList &elements, const QStringList &values)
{
    SpecificationText s;
    QStringList places;
    for (int i = 0; i < elements.size(); ++i) {
        const QString value = values.value(i).trimmed();
        // A full-width bar reads as a separator to a person checking the declaration, too.
        if (value.contains(u'|') || value.contains(u'｜')) {
            s.problem = QStringLiteral("“%1”的值含有“|”，会使后面的申报要素错位，请删去。").arg(elements[i]);
            return s;
        }
        places << value;
    }
    s.text = places.join(u'|');
    return s;
}

} // namespace tariff
