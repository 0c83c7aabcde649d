#pragma once

#include "core/export/ExportRecord.h"
#include "core/tariff/CodeList.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace runtime {
class Transaction;
}

namespace kivexport {

// Reads the records of an export from the database: a code with everything below it, the
// codes of a result list, or a whole list. Each read is one query (result lists in batches),
// so a whole list of 19,000 rows costs about as much as loading the tree.
class ExportSource
{
public:
    explicit ExportSource(runtime::Transaction *sqlca);

    struct Key {
        QString list; // "hs" or "jmw"
        QString code;
        bool operator==(const Key &other) const { return list == other.list && code == other.code; }
    };

    // The code and every code of its list that begins with it, in code order.
    std::optional<QList<ExportRecord>> subtree(const QString &list, const QString &code);
    // The codes in the order given; a code no longer in its list is left out.
    std::optional<QList<ExportRecord>> codes(const QList<Key> &keys);
    // Every code of a list, in code order.
    std::optional<QList<ExportRecord>> wholeList(const QString &list);

    // The driver's text of the last failure.
    QString lastError() const { return m_lastError; }

private:
    // Rows of a list matching the condition (SQL on the list's code column, '?' for params).
    bool read(const QString &list, const QString &condition, const QVector<QVariant> &params,
              QList<ExportRecord> *records);
    bool prepare();
    const QSet<QString> &parentCodes(const QString &list);
    QString parentOf(const QString &list, const QString &code);

    runtime::Transaction *m_sqlca;
    QString m_lastError;
    bool m_prepared = false;
    bool m_hasLine = false;
    bool m_hasNotes = false;
    bool m_hasChineseNames = false;
    tariff::CodeList m_certificates;
    tariff::CodeList m_categories;
    QHash<QString, QSet<QString>> m_parents; // per list: the codes that can stand above others
};

} // namespace kivexport
