#include "core/runtime/LikePattern.h"

namespace runtime {

namespace {
inline bool isHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool isLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Length in UTF-16 units of the character that starts at pos.
inline qsizetype charLength(QStringView text, qsizetype pos)
{
    if (isHigh(text[pos].unicode()) && pos + 1 < text.size() && isLow(text[pos + 1].unicode()))
        return 2;
    return 1;
}
} // namespace

LikePattern::LikePattern(const QString &pattern)
{
    Segment current;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'%') {
            m_segments.append(current);
            current = Segment();
            continue;
        }
        current.text.append(c);
        if (c == u'_') {
            current.hasOne = true;
            ++current.codePoints;
        } else if (!(isLow(c.unicode()) && i > 0 && isHigh(pattern.at(i - 1).unicode()))) {
            ++current.codePoints;
        }
    }
    m_segments.append(current);
}

// The end of the segment matched at pos, or -1.
qsizetype LikePattern::matchAt(QStringView text, qsizetype pos, const Segment &segment)
{
    if (!segment.hasOne) {
        if (text.size() - pos < segment.text.size())
            return -1;
        return text.mid(pos, segment.text.size()) == segment.text ? pos + segment.text.size() : -1;
    }
    const QStringView pattern(segment.text);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pos >= text.size())
            return -1;
        if (pattern[i] == u'_') {
            pos += charLength(text, pos);
        } else {
            if (pattern[i] != text[pos])
                return -1;
            ++pos;
        }
    }
    return pos;
}

// The first start at or after pos where the segment matches, or -1; *end gets its end.
qsizetype LikePattern::findFrom(QStringView text, qsizetype pos, const Segment &segment,
                                qsizetype *end)
{
    if (!segment.hasOne) {
        const qsizetype start = text.indexOf(segment.text, pos);
        if (start >= 0)
            *end = start + segment.text.size();
        return start;
    }
    while (pos < text.size()) {
        const qsizetype e = matchAt(text, pos, segment);
        if (e >= 0) {
            *end = e;
            return pos;
        }
        pos += charLength(text, pos);
    }
    return -1;
}

bool LikePattern::matches(QStringView text) const
{
    const qsizetype count = m_segments.size();
    if (count == 1)
        return matchAt(text, 0, m_segments.first()) == text.size();

    qsizetype pos = matchAt(text, 0, m_segments.first());
    if (pos < 0)
        return false;
    for (qsizetype i = 1; i + 1 < count; ++i) {
        const Segment &segment = m_segments.at(i);
        if (segment.text.isEmpty())
            continue;
        qsizetype end = 0;
        if (findFrom(text, pos, segment, &end) < 0)
            return false;
        pos = end; // the leftmost match leaves the most room for the rest
    }
    const Segment &last = m_segments.last();
    if (last.text.isEmpty())
        return true;
    // The last piece has a fixed number of characters and must end the text.
    qsizetype start = text.size();
    for (qsizetype n = 0; n < last.codePoints; ++n) {
        if (start <= 0)
            return false;
        --start;
        if (start > 0 && isLow(text[start].unicode()) && isHigh(text[start - 1].unicode()))
            --start;
    }
    if (start < pos)
        return false;
    return matchAt(text, start, last) == text.size();
}

} // namespace runtime
