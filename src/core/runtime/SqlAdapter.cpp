#include "core/runtime/SqlAdapter.h"

#include <QList>
#include <QPair>

namespace runtime {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$')
           || c == QLatin1Char('#') || c == QLatin1Char('@');
}

// One pass over a statement that copies everything but the parts it rewrites. Literals,
// quoted identifiers and comments are copied as they are, so nothing inside them changes.
class Adapter
{
public:
    Adapter(const QString &sql, bool dropOwners, bool rewriteLeft)
        : m_sql(sql), m_dropOwners(dropOwners), m_rewriteLeft(rewriteLeft)
    {
    }

    QString adapt(int begin, int end) const
    {
        QString out;
        out.reserve(end - begin + 16);
        int i = begin;
        while (i < end) {
            const int opaqueEnd = skipOpaque(i, end);
            if (opaqueEnd > i) {
                out += QStringView(m_sql).mid(i, opaqueEnd - i);
                i = opaqueEnd;
                continue;
            }
            if (!isWordChar(m_sql.at(i))) {
                out += m_sql.at(i++);
                continue;
            }
            int wordEnd = i;
            while (wordEnd < end && isWordChar(m_sql.at(wordEnd)))
                ++wordEnd;
            const QStringView word = QStringView(m_sql).mid(i, wordEnd - i);
            const bool afterDot = i > 0 && m_sql.at(i - 1) == QLatin1Char('.');
            if (m_dropOwners && !afterDot && wordEnd < end && m_sql.at(wordEnd) == QLatin1Char('.')
                && word.compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0) {
                i = wordEnd + 1; // the owner and its dot
                continue;
            }
            if (m_rewriteLeft && !afterDot
                && word.compare(QLatin1String("left"), Qt::CaseInsensitive) == 0) {
                int open = wordEnd;
                while (open < end && m_sql.at(open).isSpace())
                    ++open;
                QList<QPair<int, int>> args;
                const int close = open < end && m_sql.at(open) == QLatin1Char('(')
                                      ? splitArguments(open, end, &args)
                                      : -1;
                if (close > 0 && args.size() == 2) {
                    out += QLatin1String("substr(");
                    out += adapt(args[0].first, args[0].second);
                    out += QLatin1String(",1,");
                    out += adapt(args[1].first, args[1].second);
                    out += QLatin1Char(')');
                    i = close;
                    continue;
                }
            }
            out += word;
            i = wordEnd;
        }
        return out;
    }

private:
    // The end of a literal, quoted identifier or comment that starts at i; i when none does.
    int skipOpaque(int i, int end) const
    {
        const QChar c = m_sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            for (int j = i + 1; j < end; ++j) {
                if (m_sql.at(j) != c)
                    continue;
                if (j + 1 < end && m_sql.at(j + 1) == c) { // a doubled quote stays inside
                    ++j;
                    continue;
                }
                return j + 1;
            }
            return end;
        }
        const QChar next = i + 1 < end ? m_sql.at(i + 1) : QChar();
        if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            const int lineEnd = m_sql.indexOf(QLatin1Char('\n'), i);
            return lineEnd < 0 || lineEnd >= end ? end : lineEnd;
        }
        if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const int close = m_sql.indexOf(QLatin1String("*/"), i + 2);
            return close < 0 || close + 2 > end ? end : close + 2;
        }
        return i;
    }

    // Splits the argument list that opens at `open` into top-level arguments; returns the
    // position after the closing parenthesis, or -1 when it is not closed.
    int splitArguments(int open, int end, QList<QPair<int, int>> *args) const
    {
        int depth = 0;
        int start = open + 1;
        int j = open + 1;
        while (j < end) {
            const int opaqueEnd = skipOpaque(j, end);
            if (opaqueEnd > j) {
                j = opaqueEnd;
                continue;
            }
            const QChar c = m_sql.at(j);
            if (c == QLatin1Char('(')) {
                ++depth;
            } else if (c == QLatin1Char(')')) {
                if (depth == 0) {
                    args->append({start, j});
                    return j + 1;
                }
                --depth;
            } else if (c == QLatin1Char(',') && depth == 0) {
                args->append({start, j});
                start = j + 1;
            }
            ++j;
        }
        return -1;
    }

    const QString &m_sql;
    bool m_dropOwners;
    bool m_rewriteLeft;
};

} // namespace

QString adaptSql(const QString &sql, bool dropOwners, bool rewriteLeft)
{
    if (!dropOwners && !rewriteLeft)
        return sql;
    return Adapter(sql, dropOwners, rewriteLeft).adapt(0, int(sql.size()));
}

} // namespace runtime
