#pragma once

#include "core/duty/Rate.h"
#include "core/duty/TaxFigure.h"

#include <QStringList>

namespace tariff {
struct TariffRecord;
}

namespace duty {

// Export duty of one 10-digit line, and the VAT rebate at the rate the user picks.
class ExportTaxCalculator
{
public:
    explicit ExportTaxCalculator(const tariff::TariffRecord &line);

    // 出口关税 = 离岸价格 ÷ (1 + rate) × rate, with the provisional export rate where the line
    // has one. A line without an export rate pays none.
    TaxFigure duty(const Decimal &fobValue) const;
    // The rebate rates the line lists ("9%,13%" gives two), as written.
    QStringList rebateRates() const { return m_rebateTexts; }
    // 出口退税 = purchase amount without VAT × the chosen rate (an index into rebateRates()).
    TaxFigure rebate(const Decimal &purchaseValue, int rateIndex) const;

private:
    Rate m_export;
    Rate m_provisionalExport;
    QStringList m_rebateTexts;
    QList<Rate> m_rebates;
};

} // namespace duty
