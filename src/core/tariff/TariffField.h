#pragma once

#include "core/tariff/TariffRecord.h"

#include <QString>

namespace tariff {

// The fields of a 10-digit customs line beside its code, in the order the declarant's sheet and an
// edition's preview list them. The one description of them: the sheet's caption, the column of
// the tariff's source file, and the member of TariffRecord that holds each.
enum class TariffField {
    Name,
    Unit1,
    Unit2,
    MfnRate,
    ProvisionalRate,
    GeneralRate,
    VatRate,
    ConsumptionTax,
    ExportRebate,
    ExportTaxRate,
    ExportProvisionalRate,
    Supervision,
    Inspection,
    DeclarationElements,
};
inline constexpr int kTariffFieldCount = 14;

// The caption the declarant's sheet gives the field: 最惠国税率.
QString fieldLabel(TariffField field);
// The field's column in cn_hscode_*.csv: mfn_rate.
QString sourceColumn(TariffField field);
// The field's text in a record.
const QString &fieldValue(const TariffRecord &record, TariffField field);

} // namespace tariff
