#include "server/ServerEditionBackups.h"

#include "runtime/Transaction.h"
#include "server/ServerSchema.h"

namespace server {

namespace {

using runtime::ColumnType;

// The newest backup: id, when, by whom; false when there is none or the read fails.
bool newestRow(runtime::Transaction *sqlca, int *id, QString *madeAt, QString *madeBy)
{
    QVector<QVector<QVariant>> rows;
    if (sqlca->select(QStringLiteral("SELECT id, to_char(made_at, 'YYYY-MM-DD HH24:MI:SS'), made_by FROM dbo.%1 "
                                     "ORDER BY id DESC LIMIT 1")
                          .arg(ServerSchema::backupIndex()),
                      {ColumnType::Long, ColumnType::String, ColumnType::String}, &rows)
            != 0
        || rows.isEmpty())
        return false;
    *id = rows.first().value(0).toInt();
    *madeAt = rows.first().value(1).toString();
    *madeBy = rows.first().value(2).toString();
    return true;
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

QString ServerEditionBackups::newest(runtime::Transaction *sqlca)
{
    int id = 0;
    QString madeAt, madeBy;
    return newestRow(sqlca, &id, &madeAt, &madeBy) ? description(id, madeAt, madeBy) : QString();
}

ServerEditionBackups::Result ServerEditionBackups::restoreNewest(runtime::Transaction *sqlca)
{
    Result result;
    int id = 0;
    QString madeAt, madeBy;
    if (!newestRow(sqlca, &id, &madeAt, &madeBy)) {
        result.message = sqlca->sqlErrText().isEmpty() ? QStringLiteral("没有可恢复的备份") : sqlca->sqlErrText();
        return result;
    }
    result.backup = description(id, madeAt, madeBy);
    const bool autoCommit = sqlca->autoCommit;
    sqlca->autoCommit = false;
    QString error;
    const auto run = [&](const QString &sql) {
        if (error.isEmpty() && sqlca->execute(sql) != 0)
            error = sqlca->sqlErrText();
    };
    for (const QString &name : ServerSchema::editionTables()) {
        const ServerSchema::Table t = ServerSchema::table(name);
        if (lacksLaterTable(sqlca, t))
            continue;
        run(QStringLiteral("DELETE FROM dbo.%1").arg(t.storedName));
        run(QStringLiteral("INSERT INTO dbo.%1 (%2) SELECT %2 FROM dbo.%3 WHERE backup_id = %4")
                .arg(t.storedName, t.columnList(), ServerSchema::backupTable(t.storedName))
                .arg(id));
    }
    run(QStringLiteral("DELETE FROM dbo.%1 WHERE id = %2").arg(ServerSchema::backupIndex()).arg(id));
    if (error.isEmpty() && sqlca->commit() != 0)
        error = sqlca->sqlErrText();
    if (!error.isEmpty()) {
        sqlca->rollback();
        result.message = error;
    }
    sqlca->autoCommit = autoCommit;
    result.ok = error.isEmpty();
    return result;
}

} // namespace server
