#include "core/tariff/CodeUnits.h"

namespace tariff {

QStringList codeUnitsOf(const QString &text)
{
    QStringList characters;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size()
                          && text.at(i + 1).isLowSurrogate();
        characters.append(text.mid(i, pair ? 2 : 1));
        if (pair)
            ++i;
    }
    return characters;
}

bool isCodeSeparator(const QString &character)
{
    if (character.isEmpty())
        return true;
    const char32_t c = character.toUcs4().value(0);
    return QChar::isSpace(c) || QChar::isPunct(c);
}

} // namespace tariff
