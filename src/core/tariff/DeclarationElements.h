#pragma once

#include <QString>
#include <QStringList>

namespace tariff {

// The declaration elements of a line (申报要素): "1:品牌类型;2:出口享惠情况;3:..." names what
// a declaration must state, in order.
class DeclarationElements
{
public:
    // The element names in the text's order, without their numbers. Elements are separated
    // by ';', or by '；' where a numbered element, another separator or the end follows (the
    // source also writes '；' inside a name: "外观（颜色；形状）"). Numbers may be missing or
    // take a full-width colon ("1：品牌类型"); empty elements (";;", a trailing ';') are
    // dropped, and so is a name's trailing separator. "无" (none) and an empty text give an
    // empty list.
    static QStringList parse(const QString &text);

    // The names as one line to fill in on a declaration: joined by '|'.
    static QString templateLine(const QStringList &names);
};

} // namespace tariff
