#include "core/tariff/InspectionCategories.h"

#include "core/tariff/CodeUnits.h"

#include <algorithm>

namespace tariff {

namespace {

bool isSlash(const QString &character)
{
    return character == QLatin1String("/") || character == QStringLiteral("／");
}

void appendOnce(QList<CodeEntry> *entries, const CodeEntry &entry)
{
    const bool seen = std::any_of(entries->cbegin(), entries->cend(),
                                  [&](const CodeEntry &e) { return e.code == entry.code; });
    if (!seen)
        entries->append(entry);
}

} // namespace

InspectionCategories::Direction InspectionCategories::directionOf(const QString &code)
{
    if (code.size() != 1)
        return Direction::Unknown;
    switch (code.at(0).unicode()) {
    case 'L': // 民用商品入境验证
    case 'M': // 进口商品检验
    case 'P': // 进境动植物、动植物产品检疫
    case 'R': // 进口食品卫生监督检验
    case 'V': // 进境卫生检疫
        return Direction::Import;
    case 'N': // 出口商品检验
    case 'Q': // 出境动植物、动植物产品检疫
    case 'S': // 出口食品卫生监督检验
    case 'W': // 出境卫生检疫
        return Direction::Export;
    default:
        return Direction::Unknown;
    }
}

InspectionCategories::Split InspectionCategories::split(const QString &text, const CodeList &categories)
{
    Split result;
    bool afterSlash = false;
    for (const QString &character : codeUnitsOf(text)) {
        if (isSlash(character)) {
            afterSlash = true;
            continue;
        }
        if (isCodeSeparator(character))
            continue;
        Direction direction = directionOf(character);
        if (direction == Direction::Unknown)
            direction = afterSlash ? Direction::Export : Direction::Import;
        appendOnce(direction == Direction::Import ? &result.imports : &result.exports,
                   categories.entry(character));
    }
    return result;
}

} // namespace tariff
