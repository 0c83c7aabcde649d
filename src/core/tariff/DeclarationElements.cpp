#include "core/tariff/DeclarationElements.h"

#include <QRegularExpression>

namespace tariff {

QStringList DeclarationElements::parse(const QString &text)
{
    const QString whole = text.trimmed();
    if (whole.isEmpty() || whole == QStringLiteral("无"))
        return {};
    static const QRegularExpression separator(
        QStringLiteral("；(?=\\s*(?:[0-9]+\\s*[:：]|[;；]|\\s*$))|;"));
    static const QRegularExpression number(QStringLiteral("^\\s*[0-9]+\\s*[:：]"));
    static const QRegularExpression trailing(QStringLiteral("[;；\\s]+$"));
    QStringList names;
    for (QString element : whole.split(separator)) {
        element.remove(number);
        element.remove(trailing);
        element = element.trimmed();
        if (!element.isEmpty())
            names.append(element);
    }
    return names;
}

QString DeclarationElements::templateLine(const QStringList &names)
{
    return names.join(QLatin1Char('|'));
}

} // namespace tariff
