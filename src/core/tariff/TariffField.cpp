#include "core/tariff/TariffField.h"

namespace tariff {

namespace {
struct FieldInfo {
    const char16_t *label;
    const char *column;
    QString TariffRecord::*member;
};

const FieldInfo kFields[kTariffFieldCount] = {
    {u"名称", "name_cn", &TariffRecord::name},
    {u"第一法定单位", "unit1", &TariffRecord::unit1},
    {u"第二法定单位", "unit2", &TariffRecord::unit2},
    {u"最惠国税率", "mfn_rate", &TariffRecord::mfnRate},
    {u"暂定税率", "provisional_rate", &TariffRecord::provisionalRate},
    {u"普通税率", "general_rate", &TariffRecord::generalRate},
    {u"增值税率", "vat_rate", &TariffRecord::vatRate},
    {u"消费税率", "consumption_tax", &TariffRecord::consumptionTax},
    {u"出口退税率", "export_rebate_rate", &TariffRecord::exportRebate},
    {u"出口税率", "export_tax_rate", &TariffRecord::exportTaxRate},
    {u"出口暂定税率", "export_provisional_rate", &TariffRecord::exportProvisionalRate},
    {u"监管条件", "supervision_conditions", &TariffRecord::supervisionConditions},
    {u"检验检疫类别", "inspection_category", &TariffRecord::inspectionCategory},
    {u"申报要素", "declaration_elements", &TariffRecord::declarationElements},
};
} // namespace

QString fieldLabel(TariffField field)
{
    return QString::fromUtf16(kFields[int(field)].label);
}

QString sourceColumn(TariffField field)
{
    return QString::fromLatin1(kFields[int(field)].column);
}

const QString &fieldValue(const TariffRecord &record, TariffField field)
{
    return record.*kFields[int(field)].member;
}

} // namespace tariff
