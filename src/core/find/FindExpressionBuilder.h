#pragma once

#include <QString>

namespace kiv {

// Builds the find expressions of the find dialog from what the user typed.
//
// Literals are escaped for the data view's expression language ("'" as "~'", "~" as "~~"),
// so a quote in the input is matched as typed instead of breaking the expression. "%" and
// "_" are left alone: in a match by parts they keep their wildcard meaning.
class FindExpressionBuilder
{
public:
    // The body of a quoted literal (without the quotes).
    static QString escapeLiteral(const QString &text);

    // column= 'input'   (the blank after "=" is part of the system's expression text)
    static QString exact(const QString &column, const QString &input);

    // The input is a list of "+"-separated terms; each term becomes a like-test on
    // '%term%' and the tests are joined by "And". A "+" that stands first in the remaining
    // input ends the splitting and stays in the last term as an ordinary character; a
    // trailing "+" leaves an empty last term. blankBeforeEveryTerm: the code searches put a
    // blank before every term, the name search only before the last one.
    static QString byParts(const QString &column, const QString &input, bool blankBeforeEveryTerm);

    // The expression of a name search: column "Name"; matchKind "C" exact, otherwise by parts.
    static QString nameSearch(const QString &input, const QString &matchKind);
    // The expression of a code search in the column "Code" (customs) or "jmw_code".
    static QString codeSearch(const QString &column, const QString &input, const QString &matchKind);

    // column='code' without the blank: the exact look-up of one row by its code.
    static QString codeEquals(const QString &column, const QString &code);
};

} // namespace kiv
