#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace runtime {
class Transaction;
}

namespace library {

// The customs code of an item as typed ("8471.30.90", "8471 3000 90", "84713090"), checked
// against the current customs list, loaded chapters or not.
struct ItemCode {
    QString code;    // the 10-digit code; empty when refused
    QString problem; // why it was refused
    QList<QPair<QString, QString>> candidates; // for an 8-digit code with several lines: code, name

    // Dots, blanks and dashes removed, full-width digits made plain.
    static QString normalized(const QString &typed);
    // A 10-digit code that exists is taken; an 8-digit code with exactly one 10-digit line
    // under it is completed to that line; anything else is refused.
    static ItemCode resolve(runtime::Transaction *sqlca, const QString &typed);
};

} // namespace library
