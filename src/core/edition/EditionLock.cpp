#include "core/edition/EditionLock.h"

#include "core/runtime/Transaction.h"
#include "core/server/ServerConnection.h"
#include "core/server/ServerSchema.h"

#include <QLockFile>

namespace edition {

EditionLock::EditionLock(runtime::Transaction *sqlca, const QString &databaseFile)
{
    if (server::ServerConnection::isServer(sqlca->dbmsName())) {
        // Whatever the connection read before ends here: the work's transaction starts with
        // the lock, so every later statement sees what the previous holder committed.
        sqlca->rollback();
        const bool autoCommit = sqlca->autoCommit;
        sqlca->autoCommit = false;
        // The work that follows may take longer than interactive statements: it runs in a
        // worker (BackgroundWork) or a command, never holding up the window.
        m_held = sqlca->execute(QStringLiteral("SET LOCAL lock_timeout = %1").arg(kWaitSeconds * 1000)) == 0
                 && sqlca->execute(QStringLiteral("SET LOCAL statement_timeout = %1")
                                       .arg(server::ServerConnection::kLongStatementTimeoutMs))
                        == 0
                 && sqlca->execute(QStringLiteral("LOCK TABLE dbo.%1 IN EXCLUSIVE MODE")
                                       .arg(server::ServerSchema::backupIndex()))
                        == 0;
        if (!m_held) {
            const QString text = sqlca->sqlErrText();
            m_error = text.contains(QLatin1String("lock timeout")) || text.contains(QLatin1String("55P03"))
                ? busyMessage()
                : text;
            sqlca->rollback();
        }
        sqlca->autoCommit = autoCommit;
        return;
    }
    if (databaseFile.isEmpty()) {
        m_error = QStringLiteral("只能导入到数据库文件");
        return;
    }
    m_file = std::make_unique<QLockFile>(databaseFile + QStringLiteral(".import-lock"));
    // A lock left by a program that was killed is taken over (QLockFile checks its process).
    m_file->setStaleLockTime(0);
    m_held = m_file->tryLock(kWaitSeconds * 1000);
    if (!m_held)
        m_error = m_file->error() == QLockFile::LockFailedError
            ? busyMessage()
            : QStringLiteral("无法建立锁文件 %1").arg(databaseFile + QStringLiteral(".import-lock"));
}

EditionLock::~EditionLock()
{
    if (m_file && m_held)
        m_file->unlock();
}

} // namespace edition
