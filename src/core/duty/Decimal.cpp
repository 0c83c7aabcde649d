#include "core/duty/Decimal.h"

namespace duty {

namespace {

constexpr __int128 pow10(int n)
{
    __int128 v = 1;
    for (int i = 0; i < n; ++i)
        v *= 10;
    return v;
}

constexpr __int128 kScale = pow10(Decimal::kPlaces);
// Parsed numbers stay far below the range, so that a product of two of them still fits.
constexpr int kMaxIntegerDigits = 16;

__int128 divideRounded(__int128 num, __int128 den)
{
    const bool negative = (num < 0) != (den < 0);
    const __int128 n = num < 0 ? -num : num;
    const __int128 d = den < 0 ? -den : den;
    __int128 q = n / d;
    if ((n % d) * 2 >= d)
        ++q;
    return negative ? -q : q;
}

QString digits(__int128 v)
{
    if (v == 0)
        return QStringLiteral("0");
    QString s;
    while (v > 0) {
        s.prepend(QChar(u'0' + int(v % 10)));
        v /= 10;
    }
    return s;
}

} // namespace

Decimal Decimal::fromInt(long long units)
{
    return raw(__int128(units) * kScale);
}

Decimal Decimal::parse(const QString &text, bool *ok)
{
    *ok = false;
    int i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    __int128 whole = 0;
    int wholeDigits = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        whole = whole * 10 + (text[i].unicode() - u'0');
        ++i;
        if (++wholeDigits > kMaxIntegerDigits)
            return {};
    }
    __int128 fraction = 0;
    int fractionDigits = 0;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
            if (fractionDigits < kPlaces) {
                fraction = fraction * 10 + (text[i].unicode() - u'0');
                ++fractionDigits;
            }
            ++i;
        }
        if (fractionDigits == 0)
            return {};
    }
    if (i != text.size() || wholeDigits + fractionDigits == 0)
        return {};
    *ok = true;
    const __int128 v = whole * kScale + fraction * pow10(kPlaces - fractionDigits);
    return raw(negative ? -v : v);
}

Decimal Decimal::operator*(const Decimal &o) const
{
    return raw(divideRounded(m_value * o.m_value, kScale));
}

Decimal Decimal::operator/(const Decimal &o) const
{
    return raw(divideRounded(m_value * kScale, o.m_value));
}

Decimal Decimal::roundedToFen() const
{
    const __int128 fen = pow10(kPlaces - 2);
    return raw(divideRounded(m_value, fen) * fen);
}

QString Decimal::toString(int places) const
{
    const __int128 unit = pow10(kPlaces - places);
    __int128 v = divideRounded(m_value, unit);
    const bool negative = v < 0;
    if (negative)
        v = -v;
    const __int128 p = pow10(places);
    QString s = digits(v / p);
    if (places > 0)
        s += u'.' + digits(v % p).rightJustified(places, u'0');
    return negative ? u'-' + s : s;
}

QString Decimal::toPlainString() const
{
    QString s = toString(kPlaces);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

QString Decimal::toPercentString() const
{
    return (*this * fromInt(100)).toPlainString() + u'%';
}

} // namespace duty
