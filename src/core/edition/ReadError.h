#pragma once

#include <QString>

#include <functional>

namespace edition {

// Why an edition file was refused. The checks are those of db/make_db.py, so that a file the
// generator refuses is refused here at the same line (tests/edition/tst_editionreader.cpp
// feeds the same bad files to both).
enum class Problem {
    None,
    FileMissing,
    Unreadable,
    TooLarge,
    Empty,
    Binary,
    NotUtf8,
    BadCsv,
    MissingColumns,
    DuplicateColumn,
    FieldCount,
    BadCode,
    DuplicateCode,
    PrefixMismatch,
    BadLevel,        // a foreign-trade code whose level is not its length
    BadParent,       // a foreign-trade code whose parent is not its prefix, or is missing
    EmptyName,
    BadRate,
    BadChapter,
    ItemCountMismatch,
    NoLines,
    Disappeared, // removed while it was read
    Changed,     // written to while it was read
    Canceled,
    ChaptersNotUsed, // a chapters file given with a foreign-trade list
};

struct ReadError {
    Problem problem = Problem::None;
    QString file;
    int line = 0;    // 0 when the problem is the whole file's
    QString message; // in the user's words, without the file and line

    // "file:line: message", as make_db.py prints it.
    QString text() const;
};

// Called while a file is read with the share done (0..1000); answers false to cancel.
using Progress = std::function<bool(int permille)>;

} // namespace edition
