#pragma once

#include <QString>

namespace runtime {

// One token of a find expression.
struct FindToken {
    enum Kind { End, Name, Text, Number, Op, LParen, RParen, Error } kind = End;
    QString text;       // a name, the value of a text literal, an operator or an error message
    double number = 0;
    qsizetype pos = 0;  // 0-based offset in the expression
};

// Splits a find expression into tokens: names (ASCII letters, digits, '_', '#', '$'), text
// literals in '..' or ".." with the escapes ~' ~" ~~ ~t ~n ~r, numbers, operators and
// parentheses. A text that cannot be a token gives an Error token.
class FindLexer
{
public:
    explicit FindLexer(const QString &text) : m_s(text) {}

    FindToken next();

private:
    FindToken quoted(QChar quote);
    FindToken number();

    const QString &m_s;
    qsizetype m_i = 0;
};

} // namespace runtime
