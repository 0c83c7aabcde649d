#include "core/sheet/CopyFormats.h"

#include "core/tariff/DeclarationElements.h"

namespace sheet::CopyFormats {

QString code(const QString &code)
{
    QString digits;
    digits.reserve(code.size());
    for (const QChar c : code) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    }
    return digits;
}

QString codeAndName(const QString &code, const QString &name)
{
    return CopyFormats::code(code) + QLatin1Char(' ') + name.trimmed();
}

QString elementsTemplate(const QString &declarationElements)
{
    return tariff::DeclarationElements::templateLine(tariff::DeclarationElements::parse(declarationElements));
}

} // namespace sheet::CopyFormats
