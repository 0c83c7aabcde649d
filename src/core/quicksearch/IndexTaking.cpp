#include "core/quicksearch/IndexTaking.h"

#include "core/runtime/Transaction.h"

#include <QTimer>

namespace quicksearch {

IndexTaking::IndexTaking(const runtime::DataView &customs, const runtime::DataView &foreignTrade,
                         Connection connection, Done done, QObject *parent)
    : QObject(parent)
    , m_taken(IndexSource::begin(customs, foreignTrade))
    , m_connection(std::move(connection))
    , m_done(std::move(done))
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &IndexTaking::step);
    m_timer->start();
}

void IndexTaking::step()
{
    // A step every turn would keep this thread busy while the worker writes.
    constexpr int kLentRetryMs = 20;
    runtime::Transaction *connection = m_connection();
    if (connection && connection->isLent()) {
        m_timer->setInterval(kLentRetryMs);
        return;
    }
    m_timer->setInterval(0);
    switch (m_stage) {
    case Stage::NotesAndNames:
        IndexSource::takeNotesAndNames(connection, &m_taken);
        m_stage = Stage::Elements;
        return;
    case Stage::Elements:
        if (!IndexSource::takeElements(connection, &m_taken, &m_after)) {
            m_stage = Stage::CustomsUnchosen;
            m_after.clear();
        }
        return;
    case Stage::CustomsUnchosen:
        if (!IndexSource::takeUnchosen(connection, &m_taken, CodeList::Customs, &m_after)) {
            m_stage = Stage::ForeignTradeUnchosen;
            m_after.clear();
        }
        return;
    case Stage::ForeignTradeUnchosen:
        if (IndexSource::takeUnchosen(connection, &m_taken, CodeList::ForeignTrade, &m_after))
            return;
        m_timer->stop();
        // The last read of the load: what the engine cached of it goes back.
        if (connection)
            connection->releaseMemory();
        m_done(std::move(m_taken)); // may delete this object
        return;
    }
}

} // namespace quicksearch
