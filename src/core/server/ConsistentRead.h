#pragma once

namespace runtime {
class Transaction;
}

namespace server {

// While alive, the reads of a connection to the team database share one REPEATABLE READ
// transaction: the two lists are read from the same snapshot, so an edition imported
// meanwhile is seen whole or not at all. On the bundled file (one writer, SQLite's own
// locking) it does nothing. The transaction must have no uncommitted writes.
class ConsistentRead
{
public:
    explicit ConsistentRead(runtime::Transaction *sqlca);
    ~ConsistentRead();
    ConsistentRead(const ConsistentRead &) = delete;
    ConsistentRead &operator=(const ConsistentRead &) = delete;

    bool active() const { return m_active; }

private:
    runtime::Transaction *m_sqlca;
    bool m_active = false;
};

} // namespace server
