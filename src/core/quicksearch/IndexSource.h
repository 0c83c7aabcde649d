#pragma once

#include "core/quicksearch/SearchIndex.h"

namespace runtime {
class TreeModel;
class Transaction;
}

namespace quicksearch {

// Copies what the search index is built from, on the user-interface thread: the codes and
// names of both trees (the chosen chapters), the declaration elements of the customs lines
// and the user's notes from the database, and the codes of the chapters not chosen (only
// for telling the user where a code is). The index's worker gets copies and never touches
// the trees or the connection.
class IndexSource
{
public:
    struct Input {
        QList<IndexRow> rows;
        QList<IndexRow> unchosenRows;
    };

    // Tables that are missing (an old database) leave their fields empty.
    static Input collect(const runtime::TreeModel &customs, const runtime::TreeModel &foreignTrade,
                         runtime::Transaction *sqlca);
};

} // namespace quicksearch
