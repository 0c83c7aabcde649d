#include "core/server/ServerSetup.h"

#include "core/runtime/Transaction.h"
#include "core/server/ServerSchema.h"
#include "core/server/TableCopy.h"

namespace server {

namespace {

using runtime::ColumnType;

QString quotedNames(const QStringList &names)
{
    QStringList quoted;
    for (const QString &n : names)
        quoted.append(QLatin1Char('\'') + n + QLatin1Char('\''));
    return quoted.join(QStringLiteral(", "));
}

bool scalar(runtime::Transaction *t, const QString &sql, QString *value, QString *error)
{
    QVector<QVector<QVariant>> rows;
    if (t->select(sql, {ColumnType::String}, &rows) != 0 || rows.isEmpty()) {
        *error = t->sqlErrText();
        return false;
    }
    *value = rows.first().value(0).toString();
    return true;
}

} // namespace

bool ServerSetup::hasTables(runtime::Transaction *server, bool *present, QString *error)
{
    QString count;
    if (!scalar(server,
                QStringLiteral("SELECT count(*) FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n "
                               "ON n.oid = c.relnamespace WHERE n.nspname = 'dbo' AND c.relname IN (%1)")
                    .arg(quotedNames(ServerSchema::programTables())),
                &count, error))
        return false;
    *present = count.toInt() > 0;
    return true;
}

bool ServerSetup::foreignTables(runtime::Transaction *server, QStringList *names, QString *error)
{
    QVector<QVector<QVariant>> rows;
    if (server->select(QStringLiteral("SELECT c.relname FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n "
                                      "ON n.oid = c.relnamespace WHERE n.nspname = 'dbo' "
                                      "AND c.relkind IN ('r', 'v', 'm', 'p', 'f') AND c.relname NOT IN (%1) "
                                      "ORDER BY c.relname")
                           .arg(quotedNames(ServerSchema::storedNames())),
                       {ColumnType::String}, &rows)
        != 0) {
        *error = server->sqlErrText();
        return false;
    }
    for (const QVector<QVariant> &row : std::as_const(rows))
        names->append(QStringLiteral("dbo.") + row.value(0).toString());
    return true;
}

ServerSetup::Result ServerSetup::run(runtime::Transaction *server, runtime::Transaction *bundled, bool replace,
                                     const QDateTime &now)
{
    Result result;
    bool present = false;
    if (!hasTables(server, &present, &result.message)
        || !foreignTables(server, &result.foreignTables, &result.message))
        return result;
    // Another application's schema dbo is never touched without --force.
    if (!result.foreignTables.isEmpty() && !replace) {
        result.status = Status::ForeignSchema;
        return result;
    }
    if (present && !replace) {
        result.status = Status::AlreadySetUp;
        return result;
    }
    QString database, schemaExists;
    if (!scalar(server, QStringLiteral("SELECT quote_ident(current_database())"), &database, &result.message)
        || !scalar(server, QStringLiteral("SELECT count(*) FROM pg_catalog.pg_namespace WHERE nspname = 'dbo'"),
                   &schemaExists, &result.message))
        return result;

    QString error;
    const auto run = [&](const QString &sql) {
        if (error.isEmpty() && server->execute(sql) != 0)
            error = server->sqlErrText();
    };
    if (schemaExists.toInt() > 0) {
        result.backupSchema = QStringLiteral("dbo_backup_") + now.toString(QStringLiteral("yyyyMMdd_HHmmss"));
        run(QStringLiteral("ALTER SCHEMA dbo RENAME TO %1").arg(result.backupSchema));
        // The kept views must not write through their triggers into the new tables.
        for (const QString &view : {QStringLiteral("list_hscode"), QStringLiteral("list_jmwcode")})
            run(QStringLiteral("DO $d$ BEGIN IF EXISTS (SELECT 1 FROM pg_catalog.pg_trigger t JOIN pg_catalog.pg_class c "
                               "ON c.oid = t.tgrelid JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                               "WHERE n.nspname = '%1' AND c.relname = '%2' AND t.tgname = '%2_write') THEN "
                               "DROP TRIGGER %2_write ON %1.%2; END IF; END $d$")
                    .arg(result.backupSchema, view));
    }
    for (const QString &sql : ServerSchema::createStatements(database))
        run(sql);
    for (const ServerSchema::Table &table : ServerSchema::tables()) {
        if (!error.isEmpty())
            break;
        const long rows = TableCopy::copy(bundled, server, table, &error);
        if (rows >= 0)
            result.copied.append({table.name, rows});
    }
    if (error.isEmpty() && server->commit() != 0)
        error = server->sqlErrText();
    if (!error.isEmpty()) {
        server->rollback();
        result.message = error;
        result.backupSchema.clear();
        result.copied.clear();
        return result;
    }
    result.status = Status::Done;
    return result;
}

} // namespace server
