#pragma once

#include "core/tariff/TariffRecord.h"

#include <QHash>
#include <QString>

#include <optional>

namespace runtime {
class Transaction;
}

namespace tariff {

// Reads the tariff record of one code when it is asked for: list_hscode's row with the
// code's tariff_line row beside it. Nothing is read in advance, so the start-up does not
// grow with it. A database made before tariff_line existed still gives list_hscode's part;
// the record's missingFields then names the rest.
class TariffStore
{
public:
    explicit TariffStore(runtime::Transaction *sqlca);

    // The record of a code of list_hscode; nullopt when the code is not there or the
    // database cannot be read (lastError() tells which).
    std::optional<TariffRecord> record(const QString &code);

    // Every 10-digit line of list_hscode by code, in one read (for checking many items at
    // once); empty with lastError() when it cannot be read.
    QHash<QString, TariffRecord> lines();

    // True when the database has tariff_line. Asked of the catalog once, then remembered.
    bool hasExtraTables();

    // The driver's text of the last failure; empty after a read that found the code or
    // found that it is not there.
    QString lastError() const { return m_lastError; }

private:
    runtime::Transaction *m_sqlca;
    std::optional<bool> m_hasExtraTables;
    QString m_lastError;
};

} // namespace tariff
