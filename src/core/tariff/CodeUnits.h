#pragma once

#include <QString>
#include <QStringList>

namespace tariff {

// The characters of a coded field one by one, as whole characters: a character outside the
// Basic Multilingual Plane (an emoji, say) stays one, never two halves.
QStringList codeUnitsOf(const QString &text);

// True for what stands between codes rather than being one: spaces and punctuation
// ('.', ',', '、', full-width forms alike).
bool isCodeSeparator(const QString &character);

} // namespace tariff
