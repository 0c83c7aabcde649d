#include "core/duty/TaxReport.h"

namespace duty {

QString TaxReport::figureText(const TaxFigure &f)
{
    QString head = f.name;
    if (!f.rateText.isEmpty())
        head += QStringLiteral("（%1）").arg(f.rateText);
    QStringList lines;
    if (!f.computed) {
        lines << head + QStringLiteral(": ") + f.problem;
        return lines.join(u'\n');
    }
    QString amount = head + QStringLiteral(": ") + yuan(f.amount) + QStringLiteral(" 元");
    if (f.belowCollection)
        amount += QStringLiteral("（50元以下，一票货物免征）");
    lines << amount;
    if (!f.assumption.isEmpty())
        lines << QStringLiteral("    ") + f.assumption;
    if (!f.formula.isEmpty())
        lines << QStringLiteral("    ") + f.formula;
    return lines.join(u'\n');
}

QString TaxReport::importText(const ImportTaxes &taxes, bool leaveOutUncollected)
{
    QStringList parts;
    for (const TaxFigure *f : {&taxes.duty, &taxes.consumption, &taxes.vat})
        parts << figureText(*f);
    QString total = QStringLiteral("合计: %1 元").arg(yuan(taxes.total(leaveOutUncollected)));
    const bool someLeftOut = leaveOutUncollected
                             && (taxes.duty.belowCollection || taxes.consumption.belowCollection
                                 || taxes.vat.belowCollection);
    if (someLeftOut)
        total += QStringLiteral("（不含50元以下免征的税额）");
    if (!taxes.complete())
        total += QStringLiteral("（不完整：有税额未算出）");
    parts << total;
    return parts.join(u'\n');
}

QString TaxReport::exportText(const QList<TaxFigure> &figures)
{
    QStringList parts;
    for (const TaxFigure &f : figures) {
        if (!f.name.isEmpty())
            parts << figureText(f);
    }
    return parts.join(u'\n');
}

} // namespace duty
