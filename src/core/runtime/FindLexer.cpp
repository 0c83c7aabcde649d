#include "core/runtime/FindLexer.h"

namespace runtime {

namespace {
bool isNameStart(QChar c)
{
    return (c.unicode() < 128 && c.isLetter()) || c == u'_';
}

bool isNamePart(QChar c)
{
    return (c.unicode() < 128 && c.isLetterOrNumber()) || c == u'_' || c == u'#' || c == u'$';
}
} // namespace

FindToken FindLexer::next()
{
    while (m_i < m_s.size() && m_s.at(m_i).isSpace())
        ++m_i;
    FindToken t;
    t.pos = m_i;
    if (m_i >= m_s.size())
        return t;
    const QChar c = m_s.at(m_i);
    if (c == u'\'' || c == u'"')
        return quoted(c);
    if (c.isDigit() || (c == u'.' && m_i + 1 < m_s.size() && m_s.at(m_i + 1).isDigit()))
        return number();
    if (isNameStart(c)) {
        const qsizetype start = m_i;
        while (m_i < m_s.size() && isNamePart(m_s.at(m_i)))
            ++m_i;
        t.kind = FindToken::Name;
        t.text = m_s.mid(start, m_i - start);
        return t;
    }
    ++m_i;
    t.kind = FindToken::Op;
    switch (c.unicode()) {
    case u'(':
        t.kind = FindToken::LParen;
        return t;
    case u')':
        t.kind = FindToken::RParen;
        return t;
    case u'=':
    case u'-':
    case u'+':
        t.text = c;
        return t;
    case u'<':
        t.text = QStringLiteral("<");
        if (m_i < m_s.size() && (m_s.at(m_i) == u'>' || m_s.at(m_i) == u'='))
            t.text += m_s.at(m_i++);
        return t;
    case u'>':
        t.text = QStringLiteral(">");
        if (m_i < m_s.size() && m_s.at(m_i) == u'=')
            t.text += m_s.at(m_i++);
        return t;
    default:
        t.kind = FindToken::Error;
        t.text = QStringLiteral("unexpected character '%1' at %2").arg(c).arg(t.pos + 1);
        return t;
    }
}

FindToken FindLexer::quoted(QChar quote)
{
    FindToken t;
    t.pos = m_i;
    ++m_i;
    QString value;
    while (m_i < m_s.size()) {
        const QChar c = m_s.at(m_i++);
        if (c == quote) {
            t.kind = FindToken::Text;
            t.text = value;
            return t;
        }
        if (c == u'~') {
            if (m_i >= m_s.size())
                break;
            const QChar e = m_s.at(m_i++);
            switch (e.unicode()) {
            case u't': value += u'\t'; break;
            case u'n': value += u'\n'; break;
            case u'r': value += u'\r'; break;
            default: value += e; break; // ~' ~" ~~ and any other character stand for themselves
            }
            continue;
        }
        value += c;
    }
    t.kind = FindToken::Error;
    t.text = QStringLiteral("unterminated text starting at %1").arg(t.pos + 1);
    return t;
}

FindToken FindLexer::number()
{
    FindToken t;
    t.pos = m_i;
    const qsizetype start = m_i;
    while (m_i < m_s.size() && m_s.at(m_i).isDigit())
        ++m_i;
    if (m_i < m_s.size() && m_s.at(m_i) == u'.') {
        ++m_i;
        while (m_i < m_s.size() && m_s.at(m_i).isDigit())
            ++m_i;
    }
    if (m_i < m_s.size() && (m_s.at(m_i) == u'e' || m_s.at(m_i) == u'E')) {
        qsizetype j = m_i + 1;
        if (j < m_s.size() && (m_s.at(j) == u'+' || m_s.at(j) == u'-'))
            ++j;
        if (j < m_s.size() && m_s.at(j).isDigit()) {
            m_i = j;
            while (m_i < m_s.size() && m_s.at(m_i).isDigit())
                ++m_i;
        }
    }
    bool ok = false;
    // A number glued to letters ("12abc") or a second point is no number.
    if (!(m_i < m_s.size() && (isNamePart(m_s.at(m_i)) || m_s.at(m_i) == u'.')))
        t.number = m_s.mid(start, m_i - start).toDouble(&ok);
    t.kind = ok ? FindToken::Number : FindToken::Error;
    if (!ok)
        t.text = QStringLiteral("bad number at %1").arg(start + 1);
    return t;
}

} // namespace runtime
