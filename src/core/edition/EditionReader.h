#pragma once

#include "core/edition/EditionLine.h"
#include "core/edition/ReadError.h"

#include <QString>

#include <optional>

namespace edition {

// Reads an edition of either list: the customs list (db/cn_hscode_2026.csv, with an optional
// chapters file) or the foreign-trade list (db/harmonized-system.csv), told apart by the
// header when the caller does not say which.
class EditionReader
{
public:
    // The list a file holds, by its header: a foreign-trade list names hscode and no code10.
    // Anything else (no file, no header yet) counts as the customs list, whose reader then
    // names what is wrong with it.
    static CodeList detect(const QString &path);

    // Reads the file as `list`, or as detect() finds. A chapters file goes with the customs
    // list only.
    static bool read(const QString &path, const QString &chaptersPath, std::optional<CodeList> list,
                     EditionFile *file, ReadError *error, const Progress &progress = {});

    // "海关商品编码表" / "外经贸商品编码表", for the summaries.
    static QString title(CodeList list);
};

} // namespace edition
