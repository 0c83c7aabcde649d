#pragma once

#include "core/runtime/Transaction.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QtConcurrent>

namespace edition {

// Runs a long piece of work (an import's writing, a restore) through a connection in a worker
// thread while the caller's windows keep painting and answering the window system. The user's
// input waits until the work is done, and the connection is lent to the worker meanwhile: a
// timer of this thread that wants it (a search index being taken, a sheet following the tree)
// waits or comes back later instead of running a statement inside the worker's transaction.
// Returns the work's result.
class BackgroundWork
{
public:
    template <typename Work>
    static auto run(runtime::Transaction *connection, Work work) -> decltype(work())
    {
        using Result = decltype(work());
        QFutureWatcher<Result> watcher;
        QEventLoop loop;
        QObject::connect(&watcher, &QFutureWatcher<Result>::finished, &loop, &QEventLoop::quit);
        connection->lend();
        watcher.setFuture(QtConcurrent::run([connection, work = std::move(work)]() mutable {
            struct GiveBack {
                runtime::Transaction *connection;
                ~GiveBack() { connection->giveBack(); }
            } giveBack{connection};
            return work();
        }));
        if (!watcher.isFinished())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        watcher.waitForFinished();
        return watcher.result();
    }
};

} // namespace edition
