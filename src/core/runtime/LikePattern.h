#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

namespace runtime {

// A pattern of the find expressions' like operator, compiled once: '%' stands for any run
// of characters (also none), '_' for exactly one character. Characters are code points, so
// '_' also takes a character outside the Basic Multilingual Plane. Matching is case-sensitive.
class LikePattern
{
public:
    explicit LikePattern(const QString &pattern);

    bool matches(QStringView text) const;

private:
    struct Segment {
        QString text;         // the literal characters and '_' placeholders
        bool hasOne = false;  // holds at least one '_'
        qsizetype codePoints = 0;
    };
    static qsizetype matchAt(QStringView text, qsizetype pos, const Segment &segment);
    static qsizetype findFrom(QStringView text, qsizetype pos, const Segment &segment,
                              qsizetype *end);

    QVector<Segment> m_segments; // the pieces between the '%'; first and last may be empty
};

} // namespace runtime
