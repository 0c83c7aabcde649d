#include "core/library/ItemBasis.h"

#include "core/tariff/TariffField.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace library {

namespace {

// The tariff fields an item's basis keeps, under the keys it stores them by.
struct Field {
    const char *key;
    tariff::TariffField field;
};

const Field kFields[] = {
    {"name", tariff::TariffField::Name},
    {"unit1", tariff::TariffField::Unit1},
    {"unit2", tariff::TariffField::Unit2},
    {"mfn", tariff::TariffField::MfnRate},
    {"provisional", tariff::TariffField::ProvisionalRate},
    {"general", tariff::TariffField::GeneralRate},
    {"vat", tariff::TariffField::VatRate},
    {"consumption", tariff::TariffField::ConsumptionTax},
    {"rebate", tariff::TariffField::ExportRebate},
    {"export", tariff::TariffField::ExportTaxRate},
    {"exportProvisional", tariff::TariffField::ExportProvisionalRate},
    {"supervision", tariff::TariffField::Supervision},
    {"inspection", tariff::TariffField::Inspection},
    {"elements", tariff::TariffField::DeclarationElements},
};

} // namespace

QString ItemBasis::Change::text() const
{
    const auto shown = [](const QString &v) { return v.isEmpty() ? QStringLiteral("（空）") : v; };
    return QStringLiteral("%1: %2 → %3").arg(field, shown(before), shown(after));
}

QString ItemBasis::of(const tariff::TariffRecord &line)
{
    QJsonObject o;
    for (const Field &f : kFields)
        o.insert(QLatin1String(f.key), tariff::fieldValue(line, f.field).trimmed());
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

QList<ItemBasis::Change> ItemBasis::changes(const QString &basis, const tariff::TariffRecord &now)
{
    QList<Change> changes;
    const QJsonObject kept = QJsonDocument::fromJson(basis.toUtf8()).object();
    for (const Field &f : kFields) {
        const QString key = QLatin1String(f.key);
        if (!kept.contains(key))
            continue;
        const QString before = kept.value(key).toString();
        const QString after = tariff::fieldValue(now, f.field).trimmed();
        if (before != after)
            changes.append({tariff::fieldLabel(f.field), before, after});
    }
    return changes;
}

} // namespace library
