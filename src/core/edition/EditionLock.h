#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace runtime {
class Transaction;
}

namespace edition {

// Imports and restores one at a time. On a team database: a lock on the backups table in
// EXCLUSIVE mode, the first statement of the work's transaction, held until it ends. On the
// bundled file: a lock file beside the database (two program instances on one file), held
// while the object lives. Either is waited for at most kWaitSeconds; a second import or
// restore is then told busyMessage().
class EditionLock
{
public:
    static constexpr int kWaitSeconds = 5;
    static QString busyMessage() { return QStringLiteral("另一位用户正在导入或恢复，请稍后再试"); }

    // `databaseFile` is the connected file (empty on a team database).
    EditionLock(runtime::Transaction *sqlca, const QString &databaseFile);
    ~EditionLock();
    EditionLock(const EditionLock &) = delete;
    EditionLock &operator=(const EditionLock &) = delete;

    bool held() const { return m_held; }
    // Another import or restore holds it (error() is busyMessage()).
    bool busy() const { return !m_held && m_error == busyMessage(); }
    // Why not: busyMessage() when another holds it, else the driver's or the system's text.
    QString error() const { return m_error; }

private:
    std::unique_ptr<QLockFile> m_file;
    bool m_held = false;
    QString m_error;
};

} // namespace edition
