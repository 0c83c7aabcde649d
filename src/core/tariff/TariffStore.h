#pragma once

#include "core/tariff/TariffRecord.h"

#include <QHash>
#include <QString>
#include <QVector>

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
    // The columns of a record (list_hscode h, and tariff_line t joined when withLine), in the
    // order readRecord reads them; nameExpression is what stands for the name (h.name).
    static QString recordColumns(const QString &nameExpression, bool withLine);
    static constexpr int kBaseColumnCount = 11;
    static constexpr int kLineColumnCount = 6;
    // A record from a row of those columns; without the line its line fields are missing.
    static TariffRecord readRecord(const QVector<QVariant> &row, bool withLine);

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
