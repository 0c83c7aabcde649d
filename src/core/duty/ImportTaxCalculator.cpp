#include "core/duty/ImportTaxCalculator.h"

#include "core/duty/RateReader.h"
#include "core/tariff/TariffRecord.h"

namespace duty {

namespace {

const QString kTimes = QStringLiteral(" × ");

QString unknown(const Rate &rate)
{
    if (rate.state == Rate::State::Refused)
        return QStringLiteral("无法自动计算：%1（%2）").arg(rate.text, rate.problem);
    return QStringLiteral("无法自动计算：税则未列此税率");
}

QString missingQuantity(const QString &unit)
{
    return QStringLiteral("缺少数量（%1）").arg(unit);
}

void settle(TaxFigure &f, const Decimal &exact)
{
    f.computed = true;
    f.amount = exact.roundedToFen();
    f.belowCollection = notCollected(f.amount);
}

// The term of a rate that applies to these goods: a plain rate's own, or the side of a value
// condition that the customs value of one unit falls on.
const RateTerm *applicableTerm(const Rate &rate, const ImportInput &in,
                               const QString &fallbackUnit, TaxFigure &f)
{
    if (rate.state == Rate::State::Plain)
        return &rate.term;
    const ValueCondition &c = rate.condition;
    const QString unit = c.unit.isEmpty() ? fallbackUnit : c.unit;
    if (unit.isEmpty()) {
        f.problem = QStringLiteral("无法自动计算：不知按何种单位判断“%1”").arg(rate.text);
        return nullptr;
    }
    const auto q = in.quantities.constFind(unit);
    if (q == in.quantities.cend()) {
        f.problem = missingQuantity(unit);
        return nullptr;
    }
    if (q->isZero()) {
        f.problem = QStringLiteral("数量（%1）为0，无法算出单位完税价格").arg(unit);
        return nullptr;
    }
    const Decimal perUnit = in.customsValue / *q;
    const bool low = c.thresholdIsLow ? perUnit <= c.threshold : perUnit < c.threshold;
    const RateTerm &term = low ? c.low : c.high;
    f.assumption = QStringLiteral("每%1完税价格 %2 元，%3 %4 元：适用 %5")
                       .arg(unit, perUnit.toString(2),
                            low ? (c.thresholdIsLow ? QStringLiteral("不高于")
                                                    : QStringLiteral("低于"))
                                : (c.thresholdIsLow ? QStringLiteral("高于")
                                                    : QStringLiteral("不低于")),
                            c.threshold.toPlainString(), term.text());
    return &term;
}

// The specific part of a term: quantity × amount, with its text for the formula.
bool specificPart(const RateTerm &t, const ImportInput &in, Decimal &value, QString &text,
                  TaxFigure &f)
{
    value = Decimal();
    if (!t.hasSpecific)
        return true;
    if (!t.needsQuantity()) {
        text = t.amount.toPlainString() + QStringLiteral("元/") + t.unit; // nought per unit
        return true;
    }
    const auto q = in.quantities.constFind(t.unit);
    if (q == in.quantities.cend()) {
        f.problem = missingQuantity(t.unit);
        return false;
    }
    value = *q * t.amount;
    text = q->toPlainString() + t.unit + kTimes + t.amount.toPlainString() + QStringLiteral("元/")
           + t.unit;
    return true;
}

// What duty and consumption tax share: the figure named, the rate read (or the reason there is
// none), the term that applies and its specific part. Null when there is no figure to compute.
const RateTerm *applicableSpecific(TaxFigure &f, const QString &name, const Rate &rate, const ImportInput &in,
                                   const QString &fallbackUnit, Decimal &specific, QString &specificText)
{
    f.name = name;
    f.rateText = rate.text;
    if (rate.state == Rate::State::Absent || rate.state == Rate::State::Refused) {
        f.problem = unknown(rate);
        return nullptr;
    }
    const RateTerm *term = applicableTerm(rate, in, fallbackUnit, f);
    if (!term || !specificPart(*term, in, specific, specificText, f))
        return nullptr;
    return term;
}

QString join(const QString &a, const QString &b)
{
    if (a.isEmpty())
        return b;
    return b.isEmpty() ? a : a + QStringLiteral(" + ") + b;
}

} // namespace

Decimal ImportTaxes::total(bool leaveOutUncollected) const
{
    Decimal sum;
    for (const TaxFigure *f : {&duty, &consumption, &vat}) {
        if (f->computed && !(leaveOutUncollected && f->belowCollection))
            sum = sum + f->amount;
    }
    return sum;
}

ImportTaxCalculator::ImportTaxCalculator(const tariff::TariffRecord &line)
    : m_mfn(RateReader::read(line.mfnRate))
    , m_provisional(RateReader::read(line.provisionalRate))
    , m_general(RateReader::read(line.generalRate))
    , m_consumption(RateReader::read(line.consumptionTax))
    , m_vat(RateReader::read(line.vatRate))
    , m_unit1(line.unit1)
    , m_unit2(line.unit2)
{
    // Where a condition names no unit it is judged per the first statutory unit, unless the
    // line's name says how its content is counted.
    if (line.name.contains(QStringLiteral("以体积计")))
        m_conditionUnit = QStringLiteral("升");
    else if (line.name.contains(QStringLiteral("规格为“片”或“张”")))
        m_conditionUnit = QStringLiteral("片");
    else
        m_conditionUnit = line.unit1;
}

const Rate &ImportTaxCalculator::dutyRate(Origin origin) const
{
    if (origin == Origin::General)
        return m_general;
    return m_provisional.state == Rate::State::Absent ? m_mfn : m_provisional;
}

QStringList ImportTaxCalculator::quantityUnits(Origin origin) const
{
    QStringList named;
    auto addTerm = [&named](const RateTerm &t) {
        if (t.needsQuantity())
            named << t.unit;
    };
    for (const Rate *r : {&dutyRate(origin), &m_consumption}) {
        if (r->state == Rate::State::Plain) {
            addTerm(r->term);
        } else if (r->state == Rate::State::Conditional) {
            named << (r->condition.unit.isEmpty() ? m_conditionUnit : r->condition.unit);
            addTerm(r->condition.low);
            addTerm(r->condition.high);
        }
    }
    QStringList units;
    for (const QString &u : {m_unit1, m_unit2}) {
        if (!u.isEmpty() && named.contains(u))
            units << u;
    }
    for (const QString &u : named) {
        if (!u.isEmpty() && !units.contains(u))
            units << u;
    }
    return units;
}

ImportTaxes ImportTaxCalculator::compute(const ImportInput &input) const
{
    ImportTaxes t;
    t.duty = computeDuty(input);
    t.consumption = computeConsumption(input, t.duty);
    t.vat = computeVat(input, t.duty, t.consumption);
    return t;
}

TaxFigure ImportTaxCalculator::computeDuty(const ImportInput &in) const
{
    TaxFigure f;
    Decimal specific;
    QString specificText;
    const RateTerm *term =
        applicableSpecific(f, QStringLiteral("关税"), dutyRate(in.origin), in, m_unit1, specific, specificText);
    if (!term)
        return f;
    QString adValoremText;
    Decimal adValorem;
    if (term->hasAdValorem) {
        adValorem = in.customsValue * term->adValorem;
        adValoremText = yuan(in.customsValue) + kTimes + term->adValorem.toPercentString();
    }
    settle(f, adValorem + specific);
    f.formula = join(adValoremText, specificText) + QStringLiteral(" = ") + yuan(f.amount);
    return f;
}

TaxFigure ImportTaxCalculator::computeConsumption(const ImportInput &in,
                                                  const TaxFigure &duty) const
{
    TaxFigure f;
    Decimal specific;
    QString specificText;
    const RateTerm *term = applicableSpecific(f, QStringLiteral("消费税"), m_consumption, in, m_conditionUnit,
                                              specific, specificText);
    if (!term)
        return f;
    if (!term->hasAdValorem || term->adValorem.isZero()) {
        settle(f, specific);
        f.formula = (specificText.isEmpty() ? QStringLiteral("0") : specificText)
                    + QStringLiteral(" = ") + yuan(f.amount);
        return f;
    }
    if (term->adValorem >= Decimal::fromInt(1)) {
        f.problem = QStringLiteral("无法自动计算：消费税税率“%1”不小于100%").arg(m_consumption.text);
        return f;
    }
    if (!duty.computed) {
        f.problem = QStringLiteral("无法计算：关税未算出");
        return f;
    }
    // Composite taxable price: (value + duty + specific) ÷ (1 − rate).
    const Decimal base = in.customsValue + duty.amount + specific;
    const Decimal one = Decimal::fromInt(1);
    settle(f, base / (one - term->adValorem) * term->adValorem + specific);
    QString sum = yuan(in.customsValue) + QStringLiteral(" + ") + yuan(duty.amount);
    if (!specificText.isEmpty() && !specific.isZero())
        sum += QStringLiteral(" + ") + yuan(specific);
    const QString rate = term->adValorem.toPercentString();
    f.formula = QStringLiteral("(%1) ÷ (1 − %2) × %2").arg(sum, rate);
    if (!specific.isZero())
        f.formula += QStringLiteral(" + ") + specificText;
    f.formula += QStringLiteral(" = ") + yuan(f.amount);
    return f;
}

TaxFigure ImportTaxCalculator::computeVat(const ImportInput &in, const TaxFigure &duty,
                                          const TaxFigure &consumption) const
{
    TaxFigure f;
    f.name = QStringLiteral("增值税");
    f.rateText = m_vat.text;
    if (m_vat.state != Rate::State::Plain || m_vat.term.hasSpecific) {
        f.problem = m_vat.state == Rate::State::Absent || m_vat.state == Rate::State::Refused
                        ? unknown(m_vat)
                        : QStringLiteral("无法自动计算：%1").arg(m_vat.text);
        return f;
    }
    if (!duty.computed || !consumption.computed) {
        f.problem = QStringLiteral("无法计算：%1未算出")
                        .arg(duty.computed ? consumption.name : duty.name);
        return f;
    }
    const Decimal rate = m_vat.term.adValorem;
    settle(f, (in.customsValue + duty.amount + consumption.amount) * rate);
    f.formula = QStringLiteral("(%1 + %2 + %3)%4%5 = %6")
                    .arg(yuan(in.customsValue), yuan(duty.amount), yuan(consumption.amount), kTimes,
                         rate.toPercentString(), yuan(f.amount));
    return f;
}

} // namespace duty
