#include "core/sheet/SheetContent.h"

#include "core/tariff/DeclarationElements.h"
#include "core/tariff/InspectionCategories.h"
#include "core/tariff/SupervisionConditions.h"
#include "core/tariff/TariffField.h"

namespace sheet {

namespace {

QString orNone(const QString &value)
{
    const QString trimmed = value.trimmed();
    return trimmed.isEmpty() ? SheetContent::none() : trimmed;
}

QString entryText(const tariff::CodeEntry &entry)
{
    return entry.code + QLatin1Char(' ') + (entry.known ? entry.name : QStringLiteral("(未知)"));
}

// One row per code, or a single "无" row when the field names none.
QList<SheetContent::Row> entryRows(const QList<tariff::CodeEntry> &entries, const QString &emptyCaption)
{
    QList<SheetContent::Row> rows;
    for (const tariff::CodeEntry &entry : entries)
        rows.append({entry.code, entry.known ? entry.name : QStringLiteral("(未知)")});
    if (rows.isEmpty())
        rows.append({emptyCaption, SheetContent::none()});
    return rows;
}

QString entriesLine(const QList<tariff::CodeEntry> &entries)
{
    QStringList parts;
    for (const tariff::CodeEntry &entry : entries)
        parts.append(entryText(entry));
    return parts.isEmpty() ? SheetContent::none() : parts.join(QStringLiteral("；"));
}

// The caption of a record field as the sheet names it, for the note on missing fields.
QString captionOfField(const QString &field)
{
    static const QHash<QString, QString> captions{
        {QStringLiteral("provisionalRate"), QStringLiteral("暂定税率")},
        {QStringLiteral("generalRate"), QStringLiteral("普通税率")},
        {QStringLiteral("exportTaxRate"), QStringLiteral("出口税率")},
        {QStringLiteral("exportProvisionalRate"), QStringLiteral("出口暂定税率")},
        {QStringLiteral("supervisionConditions"), QStringLiteral("监管条件")},
        {QStringLiteral("declarationElements"), QStringLiteral("申报要素")},
        {QStringLiteral("supervisionCertificates"), QStringLiteral("监管证件名称")},
        {QStringLiteral("inspectionCategories"), QStringLiteral("检验检疫类别名称")},
    };
    return captions.value(field, field);
}

} // namespace

SheetContent SheetContent::forTariffLine(const tariff::TariffRecord &r, const tariff::CodeList &certificates,
                                         const tariff::CodeList &categories)
{
    SheetContent s;
    s.list = QStringLiteral("hs");
    s.code = r.code;
    s.name = r.name;
    s.isTariffLine = true;
    s.record = r;
    s.groups.append({QStringLiteral("商品"),
                     {{QStringLiteral("商品编码"), orNone(r.code)}, {QStringLiteral("商品名称"), orNone(r.name)}}});
    using tariff::TariffField;
    const auto row = [&r](TariffField f) { return Row{tariff::fieldLabel(f), orNone(tariff::fieldValue(r, f))}; };
    s.groups.append({QStringLiteral("进口税率"),
                     {row(TariffField::MfnRate), row(TariffField::ProvisionalRate), row(TariffField::GeneralRate),
                      row(TariffField::VatRate), row(TariffField::ConsumptionTax)}});
    s.groups.append({QStringLiteral("出口"),
                     {row(TariffField::ExportTaxRate), row(TariffField::ExportProvisionalRate),
                      row(TariffField::ExportRebate)}});
    s.groups.append({QStringLiteral("单位"), {row(TariffField::Unit1), row(TariffField::Unit2)}});
    s.groups.append({QStringLiteral("监管条件"),
                     entryRows(tariff::SupervisionConditions::parse(r.supervisionConditions, certificates),
                               QStringLiteral("监管条件"))});
    const auto inspection = tariff::InspectionCategories::split(r.inspectionCategory, categories);
    s.groups.append({QStringLiteral("检验检疫"),
                     {{QStringLiteral("进口"), entriesLine(inspection.imports)},
                      {QStringLiteral("出口"), entriesLine(inspection.exports)}}});
    s.elements = tariff::DeclarationElements::parse(r.declarationElements);
    Group elements{QStringLiteral("申报要素"), {}};
    for (int i = 0; i < s.elements.size(); ++i)
        elements.rows.append({QString::number(i + 1), s.elements.at(i)});
    if (elements.rows.isEmpty())
        elements.rows.append({QStringLiteral("申报要素"), none()});
    s.groups.append(elements);
    if (!r.opUser.isEmpty() || !r.opDate.isEmpty())
        s.groups.append({QStringLiteral("数据来源"),
                         {{QStringLiteral("版本"), orNone(r.opUser)}, {QStringLiteral("日期"), orNone(r.opDate)}}});
    QStringList missing;
    for (const QString &field : r.missingFields)
        missing.append(captionOfField(field));
    if (certificates.isEmpty())
        missing.append(captionOfField(QStringLiteral("supervisionCertificates")));
    if (categories.isEmpty())
        missing.append(captionOfField(QStringLiteral("inspectionCategories")));
    if (!missing.isEmpty())
        s.missingNote = QStringLiteral("本数据库缺少以下内容，显示为“无”或“(未知)”：") + missing.join(QStringLiteral("、"));
    return s;
}

SheetContent SheetContent::forCode(const QString &list, const QString &code, const QString &name,
                                   const QList<PathStep> &path, int codesBelow, int linesBelow)
{
    SheetContent s;
    s.list = list;
    s.code = code;
    s.name = name;
    s.groups.append({QStringLiteral("商品"),
                     {{QStringLiteral("编码"), orNone(code)}, {QStringLiteral("名称"), orNone(name)}}});
    Group steps{QStringLiteral("编码路径"), {}};
    for (const PathStep &step : path)
        steps.rows.append({step.code, orNone(step.name)});
    if (steps.rows.isEmpty())
        steps.rows.append({QStringLiteral("上级"), none()});
    s.groups.append(steps);
    Group below{QStringLiteral("下级"), {{QStringLiteral("下级编码"), QString::number(codesBelow)}}};
    if (list == QLatin1String("hs"))
        below.rows.append({QStringLiteral("十位商品编码"), QString::number(linesBelow)});
    s.groups.append(below);
    return s;
}

SheetContent SheetContent::forRemovedCode(const QString &list, const QString &code, const PathStep &nearest)
{
    SheetContent s;
    s.list = list;
    s.code = code;
    s.name = removedMark();
    s.groups.append({QStringLiteral("商品"),
                     {{QStringLiteral("编码"), orNone(code)},
                      {QStringLiteral("状态"), QStringLiteral("当前版本中已无此编码，您的备注仍保留")}}});
    s.groups.append({QStringLiteral("最接近的现有编码"),
                     {nearest.code.isEmpty() ? Row{QStringLiteral("编码"), none()}
                                             : Row{nearest.code, orNone(nearest.name)}}});
    return s;
}

QString SheetContent::toText() const
{
    QStringList lines;
    for (const Group &group : groups) {
        lines.append(QLatin1Char('[') + group.title + QLatin1Char(']'));
        for (const Row &row : group.rows)
            lines.append(row.caption + QStringLiteral(": ") + row.value);
    }
    if (!missingNote.isEmpty())
        lines.append(missingNote);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace sheet
