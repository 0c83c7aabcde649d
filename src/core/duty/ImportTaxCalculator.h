#pragma once

#include "core/duty/Rate.h"
#include "core/duty/TaxFigure.h"

#include <QHash>
#include <QStringList>

namespace tariff {
struct TariffRecord;
}

namespace duty {

enum class Origin { MostFavoured, General };

struct ImportInput {
    Decimal customsValue;               // 完税价格 in yuan
    QHash<QString, Decimal> quantities; // by unit; a unit missing here was not given
    Origin origin = Origin::MostFavoured;
};

struct ImportTaxes {
    TaxFigure duty;
    TaxFigure consumption;
    TaxFigure vat;
    // The sum of the computed figures; the taxes not collected left out when asked.
    Decimal total(bool leaveOutUncollected) const;
    bool complete() const { return duty.computed && consumption.computed && vat.computed; }
};

// Import duty, consumption tax and VAT of one 10-digit line. The rate texts are read once, so
// computing again as the user types costs microseconds.
class ImportTaxCalculator
{
public:
    explicit ImportTaxCalculator(const tariff::TariffRecord &line);

    // The units whose quantities the line's rates need for this origin: the statutory units
    // first, then others in the order the rates name them.
    QStringList quantityUnits(Origin origin) const;
    ImportTaxes compute(const ImportInput &input) const;

    // The unit a condition on the unit value is judged per, where the condition names none.
    QString conditionUnit() const { return m_conditionUnit; }

private:
    const Rate &dutyRate(Origin origin) const;
    TaxFigure computeDuty(const ImportInput &input) const;
    TaxFigure computeConsumption(const ImportInput &input, const TaxFigure &duty) const;
    TaxFigure computeVat(const ImportInput &input, const TaxFigure &duty,
                         const TaxFigure &consumption) const;

    Rate m_mfn;
    Rate m_provisional;
    Rate m_general;
    Rate m_consumption;
    Rate m_vat;
    QString m_unit1;
    QString m_unit2;
    QString m_conditionUnit;
};

} // namespace duty
