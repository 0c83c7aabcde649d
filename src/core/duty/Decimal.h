#pragma once

#include <QString>

namespace duty {

// A decimal number with eight places after the point, exact for the sums and products the
// calculator makes: money is never carried in binary floating point. The range (about ±10^30)
// holds a customs value of 10^15 yuan multiplied by any rate.
class Decimal
{
public:
    static constexpr int kPlaces = 8;

    Decimal() = default;
    static Decimal fromInt(long long units);
    // "12", "0.912", "-3.5"; nothing else (no blanks, signs only in front). Invalid: ok = false.
    static Decimal parse(const QString &text, bool *ok);

    Decimal operator+(const Decimal &o) const { return raw(m_value + o.m_value); }
    Decimal operator-(const Decimal &o) const { return raw(m_value - o.m_value); }
    Decimal operator*(const Decimal &o) const;
    // Rounded half away from zero at the last place; o must not be zero.
    Decimal operator/(const Decimal &o) const;
    bool operator==(const Decimal &o) const { return m_value == o.m_value; }
    bool operator!=(const Decimal &o) const { return m_value != o.m_value; }
    bool operator<(const Decimal &o) const { return m_value < o.m_value; }
    bool operator<=(const Decimal &o) const { return m_value <= o.m_value; }
    bool operator>(const Decimal &o) const { return m_value > o.m_value; }
    bool operator>=(const Decimal &o) const { return m_value >= o.m_value; }

    bool isZero() const { return m_value == 0; }
    bool isNegative() const { return m_value < 0; }
    // Rounded half up (away from zero) to the fen, the smallest unit of a tax.
    Decimal roundedToFen() const;
    // "1234.50" with exactly `places` decimals (rounded half up), "-" in front when negative.
    QString toString(int places) const;
    // As few decimals as the value needs: "0.912", "15", "0.2227".
    QString toPlainString() const;
    // "9%", "0.5%": the value times 100.
    QString toPercentString() const;

private:
    static Decimal raw(__int128 v)
    {
        Decimal d;
        d.m_value = v;
        return d;
    }
    __int128 m_value = 0;
};

} // namespace duty
