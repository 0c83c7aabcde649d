#include "core/edition/ServerEditionBackups.h"

#include "core/edition/EditionLock.h"
#include "core/edition/EditionNames.h"
#include "core/edition/PausePoint.h"
#include "core/runtime/Transaction.h"
#include "core/server/ServerSchema.h"

namespace server {

namespace {

using runtime::ColumnType;

long count(runtime::Transaction *sqlca, const QString &sql, bool *ok)
{
    QVector<QVector<QVariant>> rows;
    *ok = sqlca->select(sql, {ColumnType::Long}, &rows) == 0 && !rows.isEmpty();
    return *ok ? rows.first().value(0).toLongLong() : 0;
}

// The Chinese heading names came after the first team databases were set up: one set up
// before lacks their tables, and its backups go without them.
bool lacksLaterTable(runtime::Transaction *sqlca, const ServerSchema::Table &t)
{
    if (t.name != QLatin1String("heading_name_cn"))
        return false;
    QVector<QVector<QVariant>> rows;
    return sqlca->select(QStringLiteral("SELECT count(*) FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n "
                                        "ON n.oid = c.relnamespace WHERE n.nspname = 'dbo' AND c.relname IN ('%1', '%2')")
                             .arg(t.storedName, ServerSchema::backupTable(t.storedName)),
                         {ColumnType::Long}, &rows)
               == 0
           && !rows.isEmpty() && rows.first().value(0).toInt() < 2;
}

} // namespace

QString ServerEditionBackups::description(int id, const QString &madeAt, const QString &madeBy)
{
    return QStringLiteral("服务器上的备份表 #%1（%2，%3）").arg(id).arg(madeAt, madeBy);
}

QString ServerEditionBackups::create(runtime::Transaction *sqlca, QString *error)
{
    const auto fail = [&]() {
        *error = sqlca->sqlErrText();
        return QString();
    };
    if (sqlca->execute(QStringLiteral("INSERT INTO dbo.%1 DEFAULT VALUES").arg(ServerSchema::backupIndex())) != 0)
        return fail();
    const QString id = QStringLiteral("currval(pg_get_serial_sequence('dbo.%1', 'id'))").arg(ServerSchema::backupIndex());
    for (const QString &name : ServerSchema::editionTables()) {
        const ServerSchema::Table t = ServerSchema::table(name);
        if (lacksLaterTable(sqlca, t))
            continue;
        if (sqlca->execute(QStringLiteral("INSERT INTO dbo.%1 (backup_id, %2) SELECT %3, %2 FROM dbo.%4")
                               .arg(ServerSchema::backupTable(t.storedName), t.columnList(), id, t.storedName))
            != 0)
            return fail();
    }
    QVector<QVector<QVariant>> rows;
    if (sqlca->select(QStringLiteral("SELECT id, to_char(made_at, 'YYYY-MM-DD HH24:MI:SS'), made_by FROM dbo.%1 "
                                     "WHERE id = %2")
                          .arg(ServerSchema::backupIndex(), id),
                      {ColumnType::Long, ColumnType::String, ColumnType::String}, &rows)
            != 0
        || rows.isEmpty())
        return fail();
    const QVector<QVariant> &row = rows.first();
    return description(row.value(0).toInt(), row.value(1).toString(), row.value(2).toString());
}

bool ServerEditionBackups::prune(runtime::Transaction *sqlca, QString *error)
{
    if (sqlca->execute(QStringLiteral("DELETE FROM dbo.%1 WHERE id NOT IN (SELECT id FROM dbo.%1 ORDER BY id DESC "
                                      "LIMIT %2)")
                           .arg(ServerSchema::backupIndex())
                           .arg(kKept))
        != 0) {
        *error = sqlca->sqlErrText();
        return false;
    }
    return true;
}

QString ServerEditionBackups::Backup::description() const
{
    return ServerEditionBackups::description(id, madeAt, madeBy);
}

ServerEditionBackups::Backup ServerEditionBackups::newestBackup(runtime::Transaction *sqlca, QString *error)
{
    Backup backup;
    QVector<QVector<QVariant>> rows;
    const QString table = ServerSchema::backupTable(ServerSchema::table(QStringLiteral("list_hscode")).storedName);
    if (sqlca->select(QStringLiteral("SELECT id, to_char(made_at, 'YYYY-MM-DD HH24:MI:SS'), made_by, %1 FROM dbo.%2 "
                                     "ORDER BY id DESC LIMIT 1")
                          .arg(edition::EditionNames::query(QStringLiteral("dbo.") + table,
                                                                 QStringLiteral("backup_id = dbo.%1.id")
                                                                     .arg(ServerSchema::backupIndex())),
                               ServerSchema::backupIndex()),
                      {ColumnType::Long, ColumnType::String, ColumnType::String, ColumnType::String}, &rows)
        != 0) {
        if (error)
            *error = sqlca->sqlErrText();
        return backup;
    }
    if (!rows.isEmpty()) {
        const QVector<QVariant> &row = rows.first();
        backup = {row.value(0).toInt(), row.value(1).toString(), row.value(2).toString(), row.value(3).toString()};
    }
    return backup;
}

QString ServerEditionBackups::newest(runtime::Transaction *sqlca)
{
    const Backup backup = newestBackup(sqlca);
    return backup.id > 0 ? backup.description() : QString();
}

ServerEditionBackups::Result ServerEditionBackups::restoreNewest(runtime::Transaction *sqlca)
{
    QString error;
    const Backup backup = newestBackup(sqlca, &error);
    if (backup.id <= 0)
        return {false, QString(), error.isEmpty() ? QStringLiteral("没有可恢复的备份") : error};
    return restore(sqlca, backup.id);
}

ServerEditionBackups::Result ServerEditionBackups::restore(runtime::Transaction *sqlca, int id)
{
    Result result;
    const edition::EditionLock lock(sqlca, QString());
    if (!lock.held()) {
        result.message = lock.error();
        result.refused = lock.busy();
        return result;
    }
    const bool autoCommit = sqlca->autoCommit;
    sqlca->autoCommit = false;
    QString error;
    const auto fail = [&](const QString &message, bool refused = false) {
        sqlca->rollback();
        sqlca->autoCommit = autoCommit;
        result.message = message;
        result.refused = refused;
        return result;
    };
    QVector<QVector<QVariant>> rows;
    if (sqlca->select(QStringLiteral("SELECT id, to_char(made_at, 'YYYY-MM-DD HH24:MI:SS'), made_by FROM dbo.%1 "
                                     "WHERE id = %2 FOR UPDATE")
                          .arg(ServerSchema::backupIndex())
                          .arg(id),
                      {ColumnType::Long, ColumnType::String, ColumnType::String}, &rows)
        != 0)
        return fail(sqlca->sqlErrText());
    if (rows.isEmpty())
        return fail(QStringLiteral("备份 #%1 已不存在（可能已被另一位用户恢复），数据库未改动。").arg(id), true);
    result.backup = description(id, rows.first().value(1).toString(), rows.first().value(2).toString());
    edition::PausePoint::reach("restore-read");
    for (const QString &name : ServerSchema::editionTables()) {
        const ServerSchema::Table t = ServerSchema::table(name);
        if (lacksLaterTable(sqlca, t))
            continue;
        const QString backupTable = ServerSchema::backupTable(t.storedName);
        bool ok = sqlca->execute(QStringLiteral("DELETE FROM dbo.%1").arg(t.storedName)) == 0
                  && sqlca->execute(QStringLiteral("INSERT INTO dbo.%1 (%2) SELECT %2 FROM dbo.%3 WHERE backup_id = %4")
                                        .arg(t.storedName, t.columnList(), backupTable)
                                        .arg(id))
                         == 0;
        if (!ok)
            return fail(sqlca->sqlErrText());
        // What comes back must be what the backup holds: never an empty list in its place.
        const long kept = count(sqlca, QStringLiteral("SELECT count(*) FROM dbo.%1 WHERE backup_id = %2")
                                           .arg(backupTable)
                                           .arg(id),
                                &ok);
        const long restored = ok ? count(sqlca, QStringLiteral("SELECT count(*) FROM dbo.%1").arg(t.storedName), &ok) : 0;
        if (!ok)
            return fail(sqlca->sqlErrText());
        if (kept > 0 && restored != kept)
            return fail(QStringLiteral("恢复后表 %1 有 %2 行，备份中有 %3 行：已撤销恢复，数据库未改动。")
                            .arg(t.name)
                            .arg(restored)
                            .arg(kept),
                        true);
    }
    if (sqlca->execute(QStringLiteral("DELETE FROM dbo.%1 WHERE id = %2").arg(ServerSchema::backupIndex()).arg(id)) != 0
        || sqlca->commit() != 0)
        return fail(sqlca->sqlErrText());
    sqlca->autoCommit = autoCommit;
    result.ok = true;
    return result;
}

} // namespace server
