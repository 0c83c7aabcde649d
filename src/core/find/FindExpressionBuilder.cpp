#include "core/find/FindExpressionBuilder.h"

namespace kiv {

QString FindExpressionBuilder::escapeLiteral(const QString &text)
{
    QString escaped = text;
    // Tildes first, so the tildes added for quotes are not doubled again.
    escaped.replace(QLatin1Char('~'), QStringLiteral("~~"));
    escaped.replace(QLatin1Char('\''), QStringLiteral("~'"));
    return escaped;
}

QString FindExpressionBuilder::exact(const QString &column, const QString &input)
{
    return column + QStringLiteral("= '") + escapeLiteral(input) + QLatin1Char('\'');
}

QString FindExpressionBuilder::byParts(const QString &column, const QString &input, bool blankBeforeEveryTerm)
{
    const QString open = column + QStringLiteral(" like '%");
    const QString close = QStringLiteral("%')");
    QString where;
    QString rest = input;
    for (;;) {
        const qsizetype pos = rest.indexOf(QLatin1Char('+'));
        if (pos < 1) {
            // No "+" left, or one at the very start: the rest is the last term.
            where += QStringLiteral(" (") + open + escapeLiteral(rest) + close;
            return where;
        }
        if (blankBeforeEveryTerm)
            where += QLatin1Char(' ');
        where += QLatin1Char('(') + open + escapeLiteral(rest.left(pos)) + close + QStringLiteral(" And");
        rest = rest.mid(pos + 1);
    }
}

QString FindExpressionBuilder::nameSearch(const QString &input, const QString &matchKind)
{
    const QString column = QStringLiteral("Name");
    return matchKind == QLatin1String("C") ? exact(column, input) : byParts(column, input, false);
}

QString FindExpressionBuilder::codeSearch(const QString &column, const QString &input, const QString &matchKind)
{
    return matchKind == QLatin1String("C") ? exact(column, input) : byParts(column, input, true);
}

QString FindExpressionBuilder::codeEquals(const QString &column, const QString &code)
{
    return column + QStringLiteral("='") + escapeLiteral(code) + QLatin1Char('\'');
}

} // namespace kiv
