#include "core/tariff/SupervisionConditions.h"

#include "core/tariff/CodeUnits.h"

#include <algorithm>

namespace tariff {

QList<CodeEntry> SupervisionConditions::parse(const QString &text, const CodeList &certificates)
{
    QList<CodeEntry> entries;
    for (const QString &code : codeUnitsOf(text)) {
        if (isCodeSeparator(code))
            continue;
        const bool seen = std::any_of(entries.cbegin(), entries.cend(),
                                      [&](const CodeEntry &e) { return e.code == code; });
        if (!seen)
            entries.append(certificates.entry(code));
    }
    return entries;
}

} // namespace tariff
