#pragma once

#include "core/duty/Decimal.h"

#include <QString>

namespace duty {

// One tax of a declaration line as the calculator gives it: a figure with the formula that
// made it, or the reason there is none.
struct TaxFigure {
    QString name;           // "关税", "消费税", "增值税", "出口关税", "出口退税"
    bool computed = false;
    Decimal amount;         // rounded to the fen
    QString rateText;       // the rate used, as the tariff writes it
    QString formula;        // "1000.00 × 9% = 90.00"
    QString problem;        // why there is no figure: "无法自动计算：…", "缺少数量（千克）"
    QString assumption;     // "按每千克完税价格判断条件"
    // A tax of 50 yuan or less on one declaration is not collected (0 < amount <= 50).
    bool belowCollection = false;
};

// A tax of 50 yuan or less (人民币50元以下) on one declaration is not collected; nought is
// nothing to leave out.
inline bool notCollected(const Decimal &amount)
{
    return !amount.isZero() && amount <= Decimal::fromInt(50);
}

// "1234.50": how figures of money are shown.
inline QString yuan(const Decimal &d)
{
    return d.toString(2);
}

} // namespace duty
