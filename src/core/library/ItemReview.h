#pragma once

#include "core/library/Item.h"
#include "core/tariff/TariffRecord.h"

#include <QHash>
#include <QList>
#include <QString>

namespace runtime {
class Transaction;
}

namespace library {

// Compares every item with the current customs list after an edition (or when asked): a
// removed code (with the codes now nearest to it), a changed name, rates, units, supervision
// conditions, inspection categories or declaration elements. Items with changes form the
// worklist 待复核 until a user marks each reviewed.
class ItemReview
{
public:
    struct Outcome {
        bool ok = false;
        int checked = 0;
        int needReview = 0; // items on the worklist after the check
        QString error;
    };

    // Checks every item and writes what changed, in one transaction.
    static Outcome checkAll(runtime::Transaction *sqlca);
    // After a new edition: checks every item and says how many need review (empty when the
    // library has no items).
    static QString afterEdition(runtime::Transaction *sqlca);

    // The review text of one item against the lines now: empty when nothing changed.
    static QString changesOf(const Item &item, const QHash<QString, tariff::TariffRecord> &lines);
    // For a removed code: the lines now under the same 8-digit, 6-digit or 4-digit code, the
    // longest shared prefix first, at most `limit`.
    static QStringList candidates(const QString &removedCode, const QHash<QString, tariff::TariffRecord> &lines,
                                  int limit = 5);
};

} // namespace library
