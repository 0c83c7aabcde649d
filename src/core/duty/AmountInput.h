#pragma once

#include "core/duty/Decimal.h"

#include <QString>

namespace duty {

// What the user typed into a value, quantity or exchange-rate field, read as a number:
// full-width digits, blanks and thousands separators ("1,234.50") are accepted; a negative
// number, a figure over 10^15 or anything else is refused with a sentence saying why.
struct AmountInput {
    bool ok = false;
    bool empty = false;
    Decimal value;
    QString problem;

    static AmountInput read(const QString &text);
};

} // namespace duty
