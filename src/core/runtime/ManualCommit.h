#pragma once

#include "core/runtime/Transaction.h"

namespace runtime {

// Turns autocommit off for the life of the object (a save is one transaction) and restores
// the transaction's own setting afterwards.
class ManualCommit
{
public:
    explicit ManualCommit(Transaction *sqlca) : m_sqlca(sqlca), m_before(sqlca->autoCommit)
    {
        m_sqlca->autoCommit = false;
    }
    ~ManualCommit() { m_sqlca->autoCommit = m_before; }
    ManualCommit(const ManualCommit &) = delete;
    ManualCommit &operator=(const ManualCommit &) = delete;

private:
    Transaction *m_sqlca;
    bool m_before;
};

// Makes a table where the connected database lacks it, in a transaction of its own; false with
// *error when the catalog cannot be read or the table cannot be made.
inline bool ensureTable(Transaction *sqlca, const QString &table, const QString &createStatement, QString *error)
{
    QStringList present;
    if (sqlca->tableNames(&present) != 0) {
        *error = sqlca->sqlErrText();
        return false;
    }
    if (present.contains(table, Qt::CaseInsensitive))
        return true;
    ManualCommit manual(sqlca);
    if (sqlca->execute(sqlca->adaptSql(createStatement)) != 0 || sqlca->commit() != 0) {
        *error = sqlca->sqlErrText();
        sqlca->rollback();
        return false;
    }
    return true;
}

} // namespace runtime
