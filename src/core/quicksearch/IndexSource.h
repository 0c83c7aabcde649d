#pragma once

#include "core/quicksearch/SearchIndex.h"
#include "core/runtime/ColumnStore.h"

#include <QHash>
#include <QSet>
#include <QVariant>
#include <QVector>

#include <utility>

namespace runtime {
class DataView;
class Transaction;
}

namespace quicksearch {

// What the search index is built from: the codes and names of both lists as their trees hold
// them (the chosen chapters), the declaration elements of the customs lines and the user's
// notes, and the codes of the chapters not chosen (only for telling the user where a code is).
// The user-interface thread only takes: the lists' rows as they are (shared, not copied) and
// what the database alone holds, through the program's connection; the worker assembles the
// rows of the index from that and never touches the views or the connection.
class IndexSource
{
public:
    struct Input {
        QList<IndexRow> rows;
        QList<IndexRow> unchosenRows;
        // The lists' rows, whose codes and names `rows` refer to: build the index with them.
        QList<runtime::ColumnStore> kept;
    };

    struct ListRows {
        runtime::ColumnStore rows;
        int codeColumn = -1; // 0-based
        int nameColumn = -1;
    };

    struct Taken {
        ListRows customs;
        ListRows foreignTrade;
        QHash<QString, QString> elements;                       // customs code -> elements
        QSet<QString> distinctElements; // each elements text once: the codes that have it share it
        QHash<QString, QString> notes;                          // list:code -> note and keywords
        QHash<QString, std::pair<CodeList, QString>> notedCodes; // list:code -> list and code
        QHash<QString, QString> chineseNames;                   // of headings and subheadings
        // Rows of the chapters not chosen: list, code (trimmed), name.
        QList<std::pair<CodeList, std::pair<QString, QString>>> unchosen;
        bool listsRead = false;
    };

    // On the user-interface thread, in short steps (see IndexTaking): the lists' rows (shared,
    // no database) and then the notes and names of headings first, then the declaration
    // elements a page at a time, then each list's rows outside the chosen chapters a range of
    // codes at a time (each true while more are left; *after is the last code read, empty at
    // the start). Tables that are missing (an old database) leave their fields empty.
    static Taken begin(const runtime::DataView &customs, const runtime::DataView &foreignTrade);
    static void takeNotesAndNames(runtime::Transaction *sqlca, Taken *taken);
    static bool takeElements(runtime::Transaction *sqlca, Taken *taken, QString *after);
    static bool takeUnchosen(runtime::Transaction *sqlca, Taken *taken, CodeList list, QString *after);
    // On any thread.
    static Input assemble(const Taken &taken);
};

} // namespace quicksearch
