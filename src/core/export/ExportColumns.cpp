#include "core/export/ExportColumns.h"

#include "core/tariff/TariffField.h"

#include <QStringList>

#include <optional>

namespace kivexport::ExportColumns {

namespace {

// A column of a tariff field takes the heading the declarant's sheet captions the field with.
struct ColumnInfo {
    Column column;
    const char *key; // in the profile: a renamed heading keeps the choice
    std::optional<tariff::TariffField> field;
    const char *heading; // of a column that is no tariff field
};

using tariff::TariffField;
const ColumnInfo kColumns[] = {
    {Column::List, "list", {}, "目录"},
    {Column::Code, "code", {}, "商品编码"},
    {Column::Level, "level", {}, "层级"},
    {Column::Name, "name", {}, "商品名称"},
    {Column::Parent, "parent", {}, "上级编码"},
    {Column::Unit1, "unit1", TariffField::Unit1, nullptr},
    {Column::Unit2, "unit2", TariffField::Unit2, nullptr},
    {Column::MfnRate, "mfn", TariffField::MfnRate, nullptr},
    {Column::ProvisionalRate, "provisional", TariffField::ProvisionalRate, nullptr},
    {Column::GeneralRate, "general", TariffField::GeneralRate, nullptr},
    {Column::VatRate, "vat", TariffField::VatRate, nullptr},
    {Column::ConsumptionTax, "consumption", TariffField::ConsumptionTax, nullptr},
    {Column::ExportRebate, "rebate", TariffField::ExportRebate, nullptr},
    {Column::ExportTaxRate, "exporttax", TariffField::ExportTaxRate, nullptr},
    {Column::ExportProvisionalRate, "exportprovisional", TariffField::ExportProvisionalRate, nullptr},
    {Column::Supervision, "supervision", TariffField::Supervision, nullptr},
    {Column::Inspection, "inspection", TariffField::Inspection, nullptr},
    {Column::DeclarationElements, "elements", TariffField::DeclarationElements, nullptr},
    {Column::Note, "note", {}, "备注"},
};

const ColumnInfo &info(Column column)
{
    return kColumns[int(column)];
}

} // namespace

QList<Column> all()
{
    QList<Column> columns;
    for (const ColumnInfo &c : kColumns)
        columns.append(c.column);
    return columns;
}

QList<Column> defaults()
{
    return {Column::List,    Column::Code,    Column::Level,  Column::Name,
            Column::Unit1,   Column::MfnRate, Column::VatRate, Column::ExportRebate};
}

QString key(Column column)
{
    return QString::fromLatin1(info(column).key);
}

QString heading(Column column)
{
    const ColumnInfo &c = info(column);
    return c.field ? tariff::fieldLabel(*c.field) : QString::fromUtf8(c.heading);
}

QString toKeys(const QList<Column> &columns)
{
    QStringList keys;
    for (Column c : all())
        if (columns.contains(c))
            keys.append(key(c));
    return keys.join(QLatin1Char(','));
}

QList<Column> fromKeys(const QString &keys)
{
    QStringList wanted;
    for (const QString &k : keys.split(QLatin1Char(','), Qt::SkipEmptyParts))
        wanted.append(k.trimmed().toLower());
    QList<Column> columns;
    for (Column c : all())
        if (wanted.contains(key(c)))
            columns.append(c);
    return columns.isEmpty() ? defaults() : columns;
}

QString levelOf(const QString &code)
{
    switch (code.size()) {
    case 2: return QStringLiteral("章");
    case 4: return QStringLiteral("品目");
    case 6: return QStringLiteral("子目");
    case 8: return QStringLiteral("八位编码");
    case 10: return QStringLiteral("十位编码");
    default: return QString();
    }
}

QString text(const ExportRecord &r, Column column)
{
    switch (column) {
    case Column::List: return r.list == QLatin1String("jmw") ? QStringLiteral("外经贸") : QStringLiteral("海关");
    case Column::Code: return r.code;
    case Column::Level: return levelOf(r.code);
    case Column::Name: return r.name;
    case Column::Parent: return r.parent;
    case Column::Unit1: return r.unit1;
    case Column::Unit2: return r.unit2;
    case Column::MfnRate: return r.mfnRate;
    case Column::ProvisionalRate: return r.provisionalRate;
    case Column::GeneralRate: return r.generalRate;
    case Column::VatRate: return r.vatRate;
    case Column::ConsumptionTax: return r.consumptionTax;
    case Column::ExportRebate: return r.exportRebate;
    case Column::ExportTaxRate: return r.exportTaxRate;
    case Column::ExportProvisionalRate: return r.exportProvisionalRate;
    case Column::Supervision: return r.supervision;
    case Column::Inspection: return r.inspection;
    case Column::DeclarationElements: return r.declarationElements;
    case Column::Note: return r.note;
    }
    return QString();
}

} // namespace kivexport::ExportColumns
