#pragma once

#include <QString>

#include <atomic>

namespace kivexport {

// Shared between a writer in a worker thread and the window that shows its progress: the
// rows written so far and the user's wish to stop.
struct ExportProgress {
    std::atomic<qint64> done{0};
    std::atomic<bool> cancelled{false};
};

// How a write ended. A cancelled or failed write leaves no file of its own behind and the
// file that was there before untouched.
struct WriteResult {
    enum class Status { Written, Cancelled, Failed };
    Status status = Status::Failed;
    QString message; // for Failed: what to tell the user, in full sentences

    bool ok() const { return status == Status::Written; }
    static WriteResult written() { return {Status::Written, QString()}; }
    static WriteResult cancelled() { return {Status::Cancelled, QString()}; }
    static WriteResult failed(const QString &message) { return {Status::Failed, message}; }
};

} // namespace kivexport
