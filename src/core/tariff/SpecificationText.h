#pragma once

#include <QString>
#include <QStringList>

namespace tariff {

// 规格型号 as a declaration takes it: the declaration elements' values joined by "|" in the
// elements' order. An empty value stays an empty place between its bars; nothing is invented.
struct SpecificationText {
    QString text;
    QString problem; // why there is no text: a value holding "|" would shift the places

    static SpecificationText join(const QStringList &elements, const QStringList &values);
};

} // namespace tariff
