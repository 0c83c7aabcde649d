#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace runtime {
class Transaction;
}

namespace edition {

// Work other features do once a new edition is in the database (the item library checks its
// items against it), registered at start so that the edition knows nothing of them.
class AfterApply
{
public:
    // A hook returns a line for the user (empty: nothing to say).
    using Hook = std::function<QString(runtime::Transaction *sqlca)>;
    static void add(Hook hook);
    // Runs every hook, in the order added; the lines they return, empty ones left out.
    static QStringList run(runtime::Transaction *sqlca);
};

} // namespace edition
