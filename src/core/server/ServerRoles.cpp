#include "core/server/ServerRoles.h"

#include "core/runtime/Transaction.h"
#include "core/server/ServerConnection.h"
#include "core/server/ServerSchema.h"

namespace server {

ServerRoles::Answer ServerRoles::mayChangeEditions(runtime::Transaction *sqlca)
{
    Answer answer;
    if (!sqlca || !ServerConnection::isServer(sqlca->dbmsName())) {
        answer.allowed = true;
        return answer;
    }
    // The right to change the backups is what an import and a restore need first.
    QVector<QVector<QVariant>> rows;
    if (sqlca->select(QStringLiteral("SELECT pg_catalog.pg_get_userbyid(c.relowner), "
                                     "pg_catalog.has_table_privilege(c.oid, 'INSERT')::int, "
                                     "pg_catalog.has_table_privilege(c.oid, 'DELETE')::int "
                                     "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                                     "WHERE n.nspname = 'dbo' AND c.relname = '%1'")
                          .arg(ServerSchema::backupIndex()),
                      {runtime::ColumnType::String, runtime::ColumnType::Long, runtime::ColumnType::Long}, &rows)
        != 0) {
        answer.message = sqlca->sqlErrText();
        return answer;
    }
    if (rows.isEmpty()) {
        answer.message = QStringLiteral("数据库中还没有商品编码表：请数据库的所有者先运行 kivtree --init-server。");
        return answer;
    }
    answer.owner = rows.first().value(0).toString();
    answer.allowed = rows.first().value(1).toInt() == 1 && rows.first().value(2).toInt() == 1;
    if (!answer.allowed)
        answer.message = QStringLiteral("只有数据库的所有者 %1 可以导入商品编码表或恢复上一版本。"
                                        "团队成员可以查看编码表、保存自己的章节选择和备注。")
                             .arg(answer.owner);
    return answer;
}

} // namespace server
