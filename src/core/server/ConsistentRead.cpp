#include "core/server/ConsistentRead.h"

#include "core/runtime/Transaction.h"
#include "core/server/ServerConnection.h"

namespace server {

ConsistentRead::ConsistentRead(runtime::Transaction *sqlca)
    : m_sqlca(sqlca)
{
    if (!sqlca || !sqlca->isConnected() || sqlca->autoCommit || !ServerConnection::isServer(sqlca->dbmsName()))
        return;
    // The isolation level must be the first statement of its transaction: whatever reading
    // left open ends first. A statement keeps the transaction open for the reads that follow.
    sqlca->commit();
    m_active = sqlca->execute(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ")) == 0;
    if (!m_active)
        sqlca->rollback();
}

ConsistentRead::~ConsistentRead()
{
    if (m_active && m_sqlca->isConnected())
        m_sqlca->commit();
}

} // namespace server
