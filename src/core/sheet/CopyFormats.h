#pragma once

#include <QString>

namespace sheet {

// The texts a user copies from a code, as a declaration form takes them.
namespace CopyFormats {

// The code's digits only ("0101.21.00 10" gives "0101210010"); what Ctrl+C copies.
QString code(const QString &code);

// "code name", the code as code() gives it.
QString codeAndName(const QString &code, const QString &name);

// The declaration elements as the one line a declaration takes: the element names in order
// joined by "|". Empty when the text names no element.
QString elementsTemplate(const QString &declarationElements);

} // namespace CopyFormats

} // namespace sheet
