#pragma once

#include "core/quicksearch/IndexSource.h"

#include <QObject>

#include <functional>

class QTimer;

namespace quicksearch {

// Takes what the search index is built from on the user-interface thread without holding it
// up: one short step per turn of the event loop (IndexSource's steps), through the program's
// connection as it is at each step (connection() is asked each time), then hands the whole to
// done. While the connection is lent to a worker (an edition being written), it waits.
class IndexTaking : public QObject
{
public:
    using Done = std::function<void(IndexSource::Taken taken)>;
    using Connection = std::function<runtime::Transaction *()>;
    IndexTaking(const runtime::DataView &customs, const runtime::DataView &foreignTrade, Connection connection,
                Done done, QObject *parent = nullptr);

private:
    void step();

    enum class Stage { NotesAndNames, Elements, CustomsUnchosen, ForeignTradeUnchosen };
    IndexSource::Taken m_taken;
    Connection m_connection;
    Done m_done;
    Stage m_stage = Stage::NotesAndNames;
    QString m_after;
    QTimer *m_timer;
};

} // namespace quicksearch
