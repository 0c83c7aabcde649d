#pragma once

#include "core/edition/EditionLine.h"
#include "core/edition/EditionStamp.h"

#include <QString>

namespace edition {

// What the user is told around 应用 and 恢复上一版本: the warning before an older edition
// goes in, and what changed once it went in or was taken back.
class EditionMessages
{
public:
    static QString title() { return QStringLiteral("导入商品编码表"); }

    // The question before applying a file whose edition is older than the list's.
    static QString olderQuestion(CodeList list, const EditionStamp &file, const EditionStamp &current);
    // After 应用: the file, the list's edition before → after, and the preview's summary.
    static QString applied(const QString &fileName, CodeList list, const EditionStamp &before,
                           const EditionStamp &after, const QString &summary);
    // After 恢复上一版本: the edition before → after of each list whose edition changed (of
    // `list` when none did), and the summary of what changed.
    static QString restored(CodeList list, const EditionStamp &customsBefore, const EditionStamp &customsAfter,
                            const EditionStamp &tradeBefore, const EditionStamp &tradeAfter, const QString &summary);
    // "海关商品编码表：CN2026 → CN2027"
    static QString editionLine(CodeList list, const EditionStamp &before, const EditionStamp &after);
};

} // namespace edition
