#pragma once

#include <QEventLoop>
#include <QFutureWatcher>
#include <QtConcurrent>

namespace edition {

// Runs a long piece of work (an import's writing, a restore) in a worker thread while the
// caller's windows keep painting and answering the window system; the user's input waits
// until the work is done, so nothing else uses the connection meanwhile. Returns the work's
// result.
class BackgroundWork
{
public:
    template <typename Work>
    static auto run(Work work) -> decltype(work())
    {
        using Result = decltype(work());
        QFutureWatcher<Result> watcher;
        QEventLoop loop;
        QObject::connect(&watcher, &QFutureWatcher<Result>::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(QtConcurrent::run(std::move(work)));
        if (!watcher.isFinished())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        watcher.waitForFinished();
        return watcher.result();
    }
};

} // namespace edition
