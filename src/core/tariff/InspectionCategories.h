#pragma once

#include "core/tariff/CodeList.h"

#include <QList>
#include <QString>

namespace tariff {

// The inspection and quarantine categories of a line (检验检疫类别), such as "M.P/Q.S".
class InspectionCategories
{
public:
    enum class Direction { Import, Export, Unknown };

    struct Split {
        QList<CodeEntry> imports; // checks on entry
        QList<CodeEntry> exports; // checks on exit
    };

    // Each letter goes to the side its own category belongs to (L, M, P, R, V are import
    // checks; N, Q, S, W export checks), whatever side of the '/' it stands on: the source
    // writes "M" and "N" without a slash, and "M/N" or "MN" mean the same. A letter of no
    // known direction is kept on the side of the '/' it stands on (import before it, export
    // after it, import when there is no '/'), with known = false when the list does not know
    // it. '.', spaces and other punctuation separate letters; order is kept, a letter the
    // text repeats is listed once.
    static Split split(const QString &text, const CodeList &categories);

    // The side a category's letter belongs to; Unknown for any other letter.
    static Direction directionOf(const QString &code);
};

} // namespace tariff
