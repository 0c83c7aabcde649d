#pragma once

#include "core/duty/ImportTaxCalculator.h"

#include <QList>
#include <QString>

namespace duty {

// The results of the calculator as plain text, one tax a line with its formula below it: what
// the sheet shows and what 复制结果 copies.
class TaxReport
{
public:
    // Import taxes; `leaveOutUncollected` says whether the total leaves out the taxes of 50
    // yuan or less.
    static QString importText(const ImportTaxes &taxes, bool leaveOutUncollected);
    // Export duty and rebate (either may be left out: a figure without a name).
    static QString exportText(const QList<TaxFigure> &figures);
    // One tax: "关税（9%）: 90.00 元" and the formula, the unit assumed and the collection note.
    static QString figureText(const TaxFigure &figure);
};

} // namespace duty
