#pragma once

#include "core/tariff/TariffRecord.h"

#include <QList>
#include <QString>

namespace library {

// The fields of a tariff line an item's classification rests on, kept with the item as one
// text, so that a later edition's changes to them can be told field by field.
class ItemBasis
{
public:
    struct Change {
        QString field; // "名称", "最惠国税率", "申报要素" …
        QString before;
        QString after;
        QString text() const;
    };

    static QString of(const tariff::TariffRecord &line);
    // What differs between a kept basis and the line now; empty when nothing does. A basis
    // kept before a field existed counts that field as unchanged.
    static QList<Change> changes(const QString &basis, const tariff::TariffRecord &now);
};

} // namespace library
