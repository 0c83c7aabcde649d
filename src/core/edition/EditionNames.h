#pragma once

#include <QString>

namespace runtime {
class Transaction;
}

namespace edition {

// The editions a customs list holds, as the user knows them: the edition of its 10-digit lines
// and that of its headings and subheadings ("CN2027 / HS2022"), each the one most of its rows
// carry (op_user).
class EditionNames
{
public:
    // An SQL expression for the editions of the rows of `table` that meet `condition`; runs on
    // the bundled file and the team database alike.
    static QString query(const QString &table, const QString &condition = QStringLiteral("1 = 1"));
    // The editions of `table` (list_hscode, or an attached copy's); empty when unreadable.
    static QString of(runtime::Transaction *sqlca, const QString &table = QStringLiteral("list_hscode"));
};

} // namespace edition
