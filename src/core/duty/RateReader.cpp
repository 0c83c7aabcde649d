#include "core/duty/RateReader.h"

#include <QRegularExpression>

namespace duty {

namespace {

// No rate of the tariff comes near these; a text beyond them is a typing error.
const Decimal kMaxPercent = Decimal::fromInt(1000);
const Decimal kMaxAmount = Decimal::fromInt(1000000);

QString normalized(const QString &text)
{
    QString s = text.normalized(QString::NormalizationForm_KC);
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    s.replace(u'。', u'.');
    while (s.endsWith(u'.'))
        s.chop(1);
    return s;
}

// One part of a term: "9%", "0.8元/千克" or a bare "0".
bool readPart(const QString &part, RateTerm &term, QString &problem)
{
    static const QRegularExpression percent(QStringLiteral("^([0-9.]+)%$"));
    static const QRegularExpression specific(QStringLiteral("^([0-9.]+)元/(.+)$"));
    bool ok = false;
    if (const auto m = percent.match(part); m.hasMatch()) {
        const Decimal v = Decimal::parse(m.captured(1), &ok);
        if (!ok || v > kMaxPercent || term.hasAdValorem) {
            problem = QStringLiteral("无法识别的从价税率");
            return false;
        }
        term.hasAdValorem = true;
        term.adValorem = v / Decimal::fromInt(100);
        return true;
    }
    if (const auto m = specific.match(part); m.hasMatch()) {
        const Decimal v = Decimal::parse(m.captured(1), &ok);
        if (!ok || v > kMaxAmount || term.hasSpecific) {
            problem = QStringLiteral("无法识别的从量税额");
            return false;
        }
        if (!RateReader::knownUnits().contains(m.captured(2))) {
            problem = QStringLiteral("未知的计量单位“%1”").arg(m.captured(2));
            return false;
        }
        term.hasSpecific = true;
        term.amount = v;
        term.unit = m.captured(2);
        return true;
    }
    // A bare number is a rate only when it is nought: "0" and "0%" alike.
    const Decimal v = Decimal::parse(part, &ok);
    if (ok && v.isZero() && !term.hasAdValorem) {
        term.hasAdValorem = true;
        return true;
    }
    problem = QStringLiteral("无法识别的税率");
    return false;
}

bool readTerm(const QString &text, RateTerm &term, QString &problem)
{
    const QStringList parts = text.split(u'+');
    if (parts.size() > 2) {
        problem = QStringLiteral("无法识别的税率");
        return false;
    }
    for (const QString &part : parts) {
        if (!readPart(part, term, problem))
            return false;
    }
    return true;
}

enum class Comparison { AtMost, Below, AtLeast, Above };

struct Clause {
    Comparison comparison;
    Decimal threshold;
    QString unit;
    RateTerm term;
};

bool readClause(const QString &text, Clause &clause, QString &problem)
{
    // Longest words first: "不高于" before "高于", "大于等于" before "大于".
    static const struct {
        const char16_t *word;
        Comparison comparison;
    } kWords[] = {
        {u"大于等于", Comparison::AtLeast}, {u"小于等于", Comparison::AtMost},
        {u"不高于", Comparison::AtMost},    {u"不超过", Comparison::AtMost},
        {u"不大于", Comparison::AtMost},    {u"不低于", Comparison::AtLeast},
        {u"不小于", Comparison::AtLeast},   {u"高于", Comparison::Above},
        {u"超过", Comparison::Above},       {u"大于", Comparison::Above},
        {u"低于", Comparison::Below},       {u"小于", Comparison::Below},
    };
    static const QRegularExpression threshold(QStringLiteral("^([0-9.]+)元(?:/([^:]+))?:(.+)$"));
    const QString prefix = QStringLiteral("完税价");
    if (!text.startsWith(prefix)) {
        problem = QStringLiteral("无法识别的条件");
        return false;
    }
    QString rest = text.mid(prefix.size());
    if (rest.startsWith(u'格'))
        rest.remove(0, 1); // "完税价格"
    for (const auto &w : kWords) {
        const QString word = QString::fromUtf16(w.word);
        if (!rest.startsWith(word))
            continue;
        const auto m = threshold.match(rest.mid(word.size()));
        bool ok = false;
        if (!m.hasMatch() || !(clause.threshold = Decimal::parse(m.captured(1), &ok), ok)) {
            problem = QStringLiteral("无法识别的条件");
            return false;
        }
        clause.comparison = w.comparison;
        clause.unit = m.captured(2);
        if (!clause.unit.isEmpty() && !RateReader::knownUnits().contains(clause.unit)) {
            problem = QStringLiteral("未知的计量单位“%1”").arg(clause.unit);
            return false;
        }
        return readTerm(m.captured(3), clause.term, problem);
    }
    problem = QStringLiteral("无法识别的条件");
    return false;
}

bool isLowSide(Comparison c)
{
    return c == Comparison::AtMost || c == Comparison::Below;
}

bool readCondition(const QString &text, ValueCondition &condition, QString &problem)
{
    const QStringList clauses = text.split(QRegularExpression(QStringLiteral("[,;]")),
                                           Qt::SkipEmptyParts);
    if (clauses.size() != 2) {
        problem = QStringLiteral("条件不是两段");
        return false;
    }
    Clause a, b;
    if (!readClause(clauses[0], a, problem) || !readClause(clauses[1], b, problem))
        return false;
    if (isLowSide(b.comparison))
        std::swap(a, b);
    // The two sides must meet at one threshold with neither gap nor overlap.
    const bool meet = isLowSide(a.comparison) && !isLowSide(b.comparison)
                      && a.threshold == b.threshold && a.unit == b.unit
                      && ((a.comparison == Comparison::AtMost) == (b.comparison == Comparison::Above));
    if (!meet) {
        problem = QStringLiteral("条件的两段不相接");
        return false;
    }
    condition.threshold = a.threshold;
    condition.unit = a.unit;
    condition.thresholdIsLow = a.comparison == Comparison::AtMost;
    condition.low = a.term;
    condition.high = b.term;
    return true;
}

} // namespace

QString RateTerm::text() const
{
    QStringList parts;
    if (hasAdValorem)
        parts << adValorem.toPercentString();
    if (hasSpecific)
        parts << amount.toPlainString() + QStringLiteral("元/") + unit;
    return parts.join(u'+');
}

Rate RateReader::read(const QString &text)
{
    Rate rate;
    rate.text = text;
    const QString s = normalized(text);
    if (s.isEmpty())
        return rate;
    const bool conditional = s.contains(QStringLiteral("完税价"));
    const bool read = conditional ? readCondition(s, rate.condition, rate.problem)
                                  : readTerm(s, rate.term, rate.problem);
    rate.state = !read ? Rate::State::Refused
                 : conditional ? Rate::State::Conditional
                               : Rate::State::Plain;
    return rate;
}

const QStringList &RateReader::knownUnits()
{
    static const QStringList units = {
        QStringLiteral("千克"),   QStringLiteral("克"),     QStringLiteral("吨"),
        QStringLiteral("克拉"),   QStringLiteral("升"),     QStringLiteral("千升"),
        QStringLiteral("毫升"),   QStringLiteral("米"),     QStringLiteral("平方米"),
        QStringLiteral("立方米"), QStringLiteral("千瓦时"), QStringLiteral("台"),
        QStringLiteral("个"),     QStringLiteral("千个"),   QStringLiteral("百个"),
        QStringLiteral("辆"),     QStringLiteral("件"),     QStringLiteral("只"),
        QStringLiteral("套"),     QStringLiteral("条"),     QStringLiteral("张"),
        QStringLiteral("双"),     QStringLiteral("架"),     QStringLiteral("艘"),
        QStringLiteral("把"),     QStringLiteral("株"),     QStringLiteral("头"),
        QStringLiteral("支"),     QStringLiteral("千支"),   QStringLiteral("百支"),
        QStringLiteral("幅"),     QStringLiteral("片"),     QStringLiteral("副"),
        QStringLiteral("盘"),     QStringLiteral("枝"),     QStringLiteral("座"),
        QStringLiteral("块"),     QStringLiteral("千块"),   QStringLiteral("根"),
        QStringLiteral("桶"),
    };
    return units;
}

} // namespace duty
