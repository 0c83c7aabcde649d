#pragma once

#include "core/tariff/CodeList.h"

#include <QList>
#include <QString>

namespace tariff {

// The supervision conditions of a tariff line (监管条件), such as "4xAB": each letter or digit
// names one supervision certificate.
class SupervisionConditions
{
public:
    // The codes in the order the text gives them, each with its certificate's name; a code
    // the list does not know is kept with an empty name and known = false. A code the text
    // repeats is listed once; spaces and punctuation between codes are no codes. An empty
    // text gives an empty list.
    static QList<CodeEntry> parse(const QString &text, const CodeList &certificates);
};

} // namespace tariff
