#pragma once

#include <QHash>
#include <QString>

namespace runtime {
class Transaction;
}

namespace library {

// The names of the customs list's codes (every chapter, loaded or not), read in one query: the
// library lists each item's code with its tariff name.
class TariffNames
{
public:
    // code -> name; empty with *error when the list cannot be read.
    static QHash<QString, QString> read(runtime::Transaction *sqlca, QString *error);
};

} // namespace library
