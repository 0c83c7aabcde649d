#pragma once

#include "core/edition/EditionLine.h"
#include "core/edition/ReadError.h"

#include <QString>


namespace edition {

// Reads a customs edition: a file of the shape of db/cn_hscode_2026.csv and, optionally, one
// of the shape of db/cn_chapters_2026.csv, with the checks db/make_db.py makes on them, in
// its order, so that the first problem either finds is the same one. One difference: a line
// whose chapter the chapters file lacks is not refused; that chapter keeps the name it has,
// or comes in without one (an edition may bring a chapter before its name is published).
class CustomsEditionReader
{
public:
    // The columns read; the others are listed as extra.
    static QStringList lineColumns();
    static QStringList chapterColumns();

    // Fills *file. False with *error naming the file, the line and the problem. Progress
    // (which may cancel) is called as the files are read, from a worker thread if need be.
    static bool read(const QString &linesPath, const QString &chaptersPath, EditionFile *file, ReadError *error,
                     const Progress &progress = {});

    // A rate such as 13% (what vat_rate must be, and each part of export_rebate_rate).
    static bool isPercent(const QString &text, double *value = nullptr);
};

} // namespace edition
