#include "core/edition/LineColumns.h"

#include "core/edition/CustomsEditionReader.h"

#include <QRegularExpression>

#include <cmath>

namespace edition {

namespace {

QVariant text(const LineFields &fields, Field f)
{
    const QString &value = fieldOf(fields, f);
    return value.isEmpty() ? QVariant() : QVariant(value);
}

QVariant percentNumber(const QString &text)
{
    double value = 0;
    return CustomsEditionReader::isPercent(text, &value) ? LineColumns::number(value) : QVariant();
}

// The consumption tax as (ad valorem %, specific yuan per unit); conditional texts give
// neither, their whole text is kept beside.
std::pair<QVariant, QVariant> consumptionTax(const QString &tax)
{
    static const QRegularExpression specific(QStringLiteral("^\\s*(\\d+(?:\\.\\d+)?)\\s*元/\\S+\\s*$"));
    static const QRegularExpression both(
        QStringLiteral("^\\s*(\\d+(?:\\.\\d+)?)\\s*%\\s*\\+\\s*(\\d+(?:\\.\\d+)?)\\s*元/\\S+\\s*$"));
    const QVariant percent = percentNumber(tax);
    if (percent.isValid())
        return {percent, QVariant()};
    QRegularExpressionMatch m = specific.match(tax);
    if (m.hasMatch())
        return {QVariant(), LineColumns::number(m.capturedView(1).toDouble())};
    m = both.match(tax);
    if (m.hasMatch())
        return {LineColumns::number(m.capturedView(1).toDouble()), LineColumns::number(m.capturedView(2).toDouble())};
    return {};
}

} // namespace

QVariant LineColumns::number(double value)
{
    if (std::floor(value) == value && std::fabs(value) < 1e15)
        return QVariant(qlonglong(value));
    return QVariant(value);
}

QStringList LineColumns::hscodeColumns()
{
    return {QStringLiteral("zhcmcode"), QStringLiteral("cpcode"),   QStringLiteral("name"),
            QStringLiteral("unit"),     QStringLiteral("dwflag"),   QStringLiteral("sz"),
            QStringLiteral("jksl"),     QStringLiteral("zssl_set"), QStringLiteral("zssl_set1"),
            QStringLiteral("clde"),     QStringLiteral("cjdl"),     QStringLiteral("tsl"),
            QStringLiteral("tsl_ym"),   QStringLiteral("tsl_new"),  QStringLiteral("splb"),
            QStringLiteral("tsflag"),   QStringLiteral("note"),     QStringLiteral("op_user"),
            QStringLiteral("op_date")};
}

QVector<QVariant> LineColumns::hscodeValues(const EditionLine &line, const QString &edition, const QString &date)
{
    const LineFields &f = line.fields;
    const QString &unit1 = fieldOf(f, Field::Unit1);
    const QString &unit2 = fieldOf(f, Field::Unit2);
    const auto [adValorem, specific] = consumptionTax(fieldOf(f, Field::ConsumptionTax));
    QVariant highest, lowest, tsflag;
    const QString &rebate = fieldOf(f, Field::ExportRebate);
    if (!rebate.isEmpty()) {
        double hi = -1, lo = 0;
        for (const QString &part : rebate.split(u',')) {
            double v = 0;
            CustomsEditionReader::isPercent(part, &v);
            lo = hi < 0 ? v : std::min(lo, v);
            hi = std::max(hi, v);
        }
        highest = number(hi);
        lowest = number(lo);
        tsflag = hi > 0 ? QStringLiteral("Y") : QStringLiteral("N");
    }
    return {line.code.left(8),
            line.code.left(6),
            fieldOf(f, Field::Name),
            text(f, Field::Unit1),
            unit1.isEmpty() ? QVariant() : QVariant(qlonglong(unit2.isEmpty() ? 1 : 2)),
            text(f, Field::MfnRate),
            percentNumber(fieldOf(f, Field::MfnRate)),
            text(f, Field::VatRate),
            text(f, Field::ConsumptionTax),
            specific,
            adValorem,
            highest,
            text(f, Field::ExportRebate),
            lowest,
            text(f, Field::Inspection),
            tsflag,
            text(f, Field::Unit2),
            edition,
            date};
}

QStringList LineColumns::tariffLineColumns()
{
    return {QStringLiteral("code"),
            QStringLiteral("provisional_rate"),
            QStringLiteral("general_rate"),
            QStringLiteral("export_tax_rate"),
            QStringLiteral("export_provisional_rate"),
            QStringLiteral("supervision_conditions"),
            QStringLiteral("declaration_elements")};
}

QVector<QVariant> LineColumns::tariffLineValues(const EditionLine &line)
{
    const LineFields &f = line.fields;
    return {line.code,
            text(f, Field::ProvisionalRate),
            text(f, Field::GeneralRate),
            text(f, Field::ExportTaxRate),
            text(f, Field::ExportProvisionalRate),
            text(f, Field::Supervision),
            text(f, Field::DeclarationElements)};
}

} // namespace edition
