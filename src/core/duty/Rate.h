#pragma once

#include "core/duty/Decimal.h"

#include <QString>

namespace duty {

// One rate without conditions: an ad valorem part, a specific part (yuan per unit), or both
// ("20%+0.912元/升").
struct RateTerm {
    bool hasAdValorem = false;
    Decimal adValorem; // a fraction: "9%" is 0.09
    bool hasSpecific = false;
    Decimal amount;    // yuan per unit
    QString unit;      // "千克", "升", "平方米"

    // A specific part that charges nothing needs no quantity ("0元/升").
    bool needsQuantity() const { return hasSpecific && !amount.isZero(); }
    QString text() const;
};

// "完税价不高于7.5元/千克：20%，完税价高于7.5元/千克：0%+1.5元/千克。": the rate depends on
// the customs value of one unit of the goods.
struct ValueCondition {
    Decimal threshold; // yuan per unit
    QString unit;      // the unit the condition names; empty: "完税价大于等于10000元"
    bool thresholdIsLow = true; // a unit value equal to the threshold takes `low`
    RateTerm low;
    RateTerm high;
};

// A rate text of the tariff as read. Absent: the field is empty. Refused: the reader cannot
// read it for sure, and the calculator says so instead of computing a figure.
struct Rate {
    enum class State { Absent, Plain, Conditional, Refused };
    State state = State::Absent;
    RateTerm term;            // Plain
    ValueCondition condition; // Conditional
    QString text;             // as the tariff writes it
    QString problem;          // why it was refused
};

} // namespace duty
