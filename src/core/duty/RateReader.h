#pragma once

#include "core/duty/Rate.h"

#include <QStringList>

namespace duty {

// Reads the rate texts of the tariff: "9%", "0", "0.8元/千克", "20%+0.912元/升" and the
// two-sided conditions on the unit value ("完税价大于等于10000元：15%，完税价小于10000元：0。").
// Full-width characters and blanks are taken as their plain forms. Anything else, a unit it
// does not know or a condition whose two sides leave a gap or overlap, is refused.
class RateReader
{
public:
    static Rate read(const QString &text);
    // The units a specific rate or a condition may name: the statutory units of the tariff.
    static const QStringList &knownUnits();
};

} // namespace duty
