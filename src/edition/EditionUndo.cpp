#include "edition/EditionUndo.h"

#include "edition/EditionBackups.h"
#include "runtime/Transaction.h"
#include "server/ServerConnection.h"
#include "server/ServerEditionBackups.h"
#include "tariff/SqliteSourceAttachment.h"
#include "tariff/TariffTables.h"

#include <QFile>
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

} // namespace

QStringList EditionUndo::restoredTables()
{
    return {QStringLiteral("list_hscode"), QStringLiteral("list_jmwcode"), tariff::TariffTables::tariffLine(),
            tariff::TariffTables::tariffChapter(), tariff::TariffTables::supervisionCertificate(),
            tariff::TariffTables::inspectionCategory(), tariff::TariffTables::headingNameCn()};
}

EditionUndo::Result EditionUndo::restoreNewest(runtime::Transaction *sqlca, const QString &databaseFile)
{
    Result result;
    if (server::ServerConnection::isServer(sqlca->dbmsName())) {
        const server::ServerEditionBackups::Result restored = server::ServerEditionBackups::restoreNewest(sqlca);
        result.ok = restored.ok;
        result.backup = restored.backup;
        result.message = restored.message;
        return result;
    }
    const EditionBackups backups(databaseFile);
    result.backup = backups.newest();
    if (result.backup.isEmpty()) {
        result.message = QStringLiteral("没有可恢复的备份");
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
        for (const QString &table : restoredTables()) {
            run(QStringLiteral("DELETE FROM %1").arg(table));
            if (inBackup(table))
                run(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3.%1")
                        .arg(table, columnsOf(table), tariff::SqliteSourceAttachment::schema()));
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
