#include "core/duty/ExportTaxCalculator.h"

#include "core/duty/RateReader.h"
#include "core/tariff/TariffRecord.h"

#include <QRegularExpression>

namespace duty {

namespace {


bool isPercentOnly(const Rate &r)
{
    return r.state == Rate::State::Plain && !r.term.hasSpecific;
}

} // namespace

ExportTaxCalculator::ExportTaxCalculator(const tariff::TariffRecord &line)
    : m_export(RateReader::read(line.exportTaxRate))
    , m_provisionalExport(RateReader::read(line.exportProvisionalRate))
{
    const QString rebates = line.exportRebate.normalized(QString::NormalizationForm_KC);
    for (const QString &part : rebates.split(QRegularExpression(QStringLiteral("[,;、]")),
                                             Qt::SkipEmptyParts)) {
        m_rebateTexts << part.trimmed();
        m_rebates << RateReader::read(part);
    }
}

TaxFigure ExportTaxCalculator::duty(const Decimal &fob) const
{
    TaxFigure f;
    f.name = QStringLiteral("出口关税");
    const Rate &rate = m_provisionalExport.state == Rate::State::Absent ? m_export
                                                                        : m_provisionalExport;
    f.rateText = rate.text;
    if (rate.state == Rate::State::Absent) {
        f.computed = true;
        f.formula = QStringLiteral("税则未列出口税率，不征出口关税");
        return f;
    }
    if (!isPercentOnly(rate)) {
        f.problem = QStringLiteral("无法自动计算：%1").arg(rate.text);
        return f;
    }
    const Decimal r = rate.term.adValorem;
    f.computed = true;
    f.amount = (fob / (Decimal::fromInt(1) + r) * r).roundedToFen();
    f.belowCollection = notCollected(f.amount);
    f.formula = QStringLiteral("%1 ÷ (1 + %2) × %2 = %3")
                    .arg(yuan(fob), r.toPercentString(), yuan(f.amount));
    return f;
}

TaxFigure ExportTaxCalculator::rebate(const Decimal &purchase, int rateIndex) const
{
    TaxFigure f;
    f.name = QStringLiteral("出口退税");
    if (rateIndex < 0 || rateIndex >= m_rebates.size()) {
        f.problem = m_rebates.isEmpty() ? QStringLiteral("无法自动计算：税则未列退税率")
                                        : QStringLiteral("请选择退税率");
        return f;
    }
    const Rate &rate = m_rebates[rateIndex];
    f.rateText = rate.text;
    if (!isPercentOnly(rate)) {
        f.problem = QStringLiteral("无法自动计算：%1").arg(rate.text);
        return f;
    }
    f.computed = true;
    f.amount = (purchase * rate.term.adValorem).roundedToFen();
    f.formula = QStringLiteral("%1 × %2 = %3")
                    .arg(yuan(purchase), rate.term.adValorem.toPercentString(), yuan(f.amount));
    return f;
}

} // namespace duty
