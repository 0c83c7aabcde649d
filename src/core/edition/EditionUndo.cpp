#include "core/edition/EditionUndo.h"

#include "core/edition/EditionBackups.h"
#include "core/edition/EditionLock.h"
#include "core/edition/EditionNames.h"
#include "core/edition/PausePoint.h"
#include "core/edition/ServerEditionBackups.h"
#include "core/runtime/Transaction.h"
#include "core/server/ServerConnection.h"
#include "core/tariff/SqliteSourceAttachment.h"
#include "core/tariff/TariffTables.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace edition {

namespace {

const QString kHscodeColumns = QStringLiteral(
    "code, zhcmcode, cpcode, name, dwcode, unit, bcflag, stdflag, dwflag, sz, jksl, zssl_set, zssl_ym, "
    "zssl_set1, clde, cjdl, tsl, tsl_ym, tsl_new, splb, tsflag, note, flag, rsv_flag, op_user, op_date");
const QString kJmwcodeColumns = QStringLiteral("jmw_code, m_flag, name, unit, flag");

QString columnsOf(const QString &table)
{
    if (table == QLatin1String("list_hscode"))
        return kHscodeColumns;
    if (table == QLatin1String("list_jmwcode"))
        return kJmwcodeColumns;
    return tariff::TariffTables::columns(table);
}

bool chapterFlags(runtime::Transaction *sqlca, const QString &table, const QString &key, QHash<QString, QVariant> *flags)
{
    QVector<QVector<QVariant>> rows;
    if (sqlca->select(QStringLiteral("SELECT %1, flag FROM %2 WHERE length(%1) = 2").arg(key, table),
                      {runtime::ColumnType::String, runtime::ColumnType::String}, &rows) != 0)
        return false;
    for (const QVector<QVariant> &row : std::as_const(rows))
        flags->insert(row.value(0).toString().trimmed(), row.value(1));
    return true;
}

bool sameCount(runtime::Transaction *sqlca, const QString &table, QString *error, bool *shortTable)
{
    QVector<QVector<QVariant>> rows;
    if (sqlca->select(QStringLiteral("SELECT (SELECT count(*) FROM %1), (SELECT count(*) FROM %2.%1)")
                          .arg(table, tariff::SqliteSourceAttachment::schema()),
                      {runtime::ColumnType::Long, runtime::ColumnType::Long}, &rows)
            != 0
        || rows.isEmpty()) {
        *error = sqlca->sqlErrText();
        return false;
    }
    const qint64 restored = rows.first().value(0).toLongLong(), kept = rows.first().value(1).toLongLong();
    if (kept > 0 && restored != kept) {
        *shortTable = true;
        *error = QStringLiteral("恢复后表 %1 有 %2 行，备份中有 %3 行：已撤销恢复，数据库未改动。")
                     .arg(table)
                     .arg(restored)
                     .arg(kept);
        return false;
    }
    return true;
}

} // namespace

QStringList EditionUndo::restoredTables()
{
    return {QStringLiteral("list_hscode"), QStringLiteral("list_jmwcode"), tariff::TariffTables::tariffLine(),
            tariff::TariffTables::tariffChapter(), tariff::TariffTables::supervisionCertificate(),
            tariff::TariffTables::inspectionCategory(), tariff::TariffTables::headingNameCn()};
}

EditionUndo::Choice EditionUndo::newest(runtime::Transaction *sqlca, const QString &databaseFile, QString *error)
{
    Choice choice;
    if (server::ServerConnection::isServer(sqlca->dbmsName())) {
        const server::ServerEditionBackups::Backup backup = server::ServerEditionBackups::newestBackup(sqlca, error);
        if (backup.id <= 0)
            return choice;
        choice = {backup.description(), backup.id, backup.madeAt, EditionNames::of(sqlca), backup.edition};
        return choice;
    }
    const QString path = EditionBackups(databaseFile).newest();
    if (databaseFile.isEmpty() || path.isEmpty())
        return choice;
    choice.backup = path;
    choice.madeAt = QFileInfo(path).lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    choice.currentEdition = EditionNames::of(sqlca);
    const tariff::SqliteSourceAttachment source(sqlca, path);
    if (source.isAttached())
        choice.backupEdition = EditionNames::of(sqlca, tariff::SqliteSourceAttachment::schema() + QStringLiteral(".list_hscode"));
    else if (error)
        *error = source.error();
    return choice;
}

EditionUndo::Result EditionUndo::restoreNewest(runtime::Transaction *sqlca, const QString &databaseFile)
{
    QString error;
    const Choice choice = newest(sqlca, databaseFile, &error);
    if (!choice.exists()) {
        Result result;
        result.message = error.isEmpty() ? QStringLiteral("没有可恢复的备份") : error;
        return result;
    }
    return restore(sqlca, databaseFile, choice);
}

EditionUndo::Result EditionUndo::restore(runtime::Transaction *sqlca, const QString &databaseFile, const Choice &choice)
{
    Result result;
    if (server::ServerConnection::isServer(sqlca->dbmsName())) {
        const server::ServerEditionBackups::Result restored = server::ServerEditionBackups::restore(sqlca, choice.serverId);
        result.ok = restored.ok;
        result.backup = restored.backup;
        result.message = restored.message;
        result.refused = restored.refused;
        return result;
    }
    const EditionLock lock(sqlca, databaseFile);
    if (!lock.held()) {
        result.message = lock.error();
        result.refused = lock.busy();
        return result;
    }
    result.backup = choice.backup;
    if (result.backup.isEmpty() || !QFileInfo::exists(result.backup)) {
        result.message = QStringLiteral("备份 %1 已不存在（可能已被另一个程序恢复），数据库未改动。")
                             .arg(QFileInfo(result.backup).fileName());
        result.refused = true;
        return result;
    }
    QHash<QString, QVariant> customsFlags, tradeFlags;
    if (!chapterFlags(sqlca, QStringLiteral("list_hscode"), QStringLiteral("code"), &customsFlags)
        || !chapterFlags(sqlca, QStringLiteral("list_jmwcode"), QStringLiteral("jmw_code"), &tradeFlags)) {
        result.message = sqlca->sqlErrText();
        return result;
    }
    {
        const tariff::SqliteSourceAttachment source(sqlca, result.backup);
        if (!source.isAttached()) {
            result.message = source.error();
            return result;
        }
        // A backup made before the Chinese heading names were kept had none.
        const auto inBackup = [&source](const QString &table) {
            return source.tables().contains(table, Qt::CaseInsensitive);
        };
        for (const QString &table : restoredTables()) {
            if (!inBackup(table) && table != tariff::TariffTables::headingNameCn()) {
                result.message = QStringLiteral("备份 %1 缺少表 %2").arg(result.backup, table);
                return result;
            }
        }
        QString error;
        auto run = [&](const QString &sql, const QVector<QVariant> &params = {}) {
            if (error.isEmpty() && sqlca->execute(sql, params) != 0)
                error = sqlca->sqlErrText();
        };
        PausePoint::reach("restore-read");
        for (const QString &table : restoredTables()) {
            run(QStringLiteral("DELETE FROM %1").arg(table));
            if (!inBackup(table))
                continue; // a backup made before the table existed had none of its rows
            run(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3.%1")
                    .arg(table, columnsOf(table), tariff::SqliteSourceAttachment::schema()));
            // What comes back must be what the backup holds: never an empty list in its place.
            if (error.isEmpty() && !sameCount(sqlca, table, &error, &result.refused))
                break;
        }
        for (auto it = customsFlags.cbegin(); it != customsFlags.cend(); ++it)
            run(QStringLiteral("UPDATE list_hscode SET flag = ? WHERE code = ?"), {it.value(), it.key()});
        for (auto it = tradeFlags.cbegin(); it != tradeFlags.cend(); ++it)
            run(QStringLiteral("UPDATE list_jmwcode SET flag = ? WHERE jmw_code = ?"), {it.value(), it.key()});
        if (error.isEmpty() && sqlca->commit() != 0)
            error = sqlca->sqlErrText();
        if (!error.isEmpty()) {
            sqlca->rollback();
            result.message = error;
            return result;
        }
    } // detached before the file goes
    if (!QFile::remove(result.backup)) {
        result.message = QStringLiteral("已恢复，但无法删除备份 %1").arg(result.backup);
        result.ok = true;
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace edition
