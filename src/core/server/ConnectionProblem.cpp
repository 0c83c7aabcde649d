#include "core/server/ConnectionProblem.h"

#include "core/server/ServerConnection.h"

#include <QList>

namespace server {

namespace {

struct Case {
    QStringList markers; // any of them, in the driver's text
    QString sentence;    // {host}, {port}, {database}, {user}, {seconds} filled in
};

QList<Case> cases()
{
    return {
        {{QStringLiteral("could not translate host name"), QStringLiteral("Name or service not known"),
          QStringLiteral("No route to host"), QStringLiteral("Network is unreachable"),
          QStringLiteral("Temporary failure in name resolution")},
         QStringLiteral("找不到服务器 {host}：请检查服务器地址和网络连接。")},
        {{QStringLiteral("Connection refused")},
         QStringLiteral("服务器 {host} 拒绝了连接：端口 {port} 上没有运行数据库服务器，或防火墙挡住了它。")},
        {{QStringLiteral("statement timeout"), QStringLiteral("lock timeout")},
         QStringLiteral("服务器在 {seconds} 秒内没有完成查询（可能另一位用户正在导入或恢复），请稍后再试。")},
        {{QStringLiteral("timeout expired"), QStringLiteral("timed out"), QStringLiteral("Connection timed out")},
         QStringLiteral("服务器 {host} 在规定时间内没有应答：请检查服务器地址和端口 {port}。")},
        {{QStringLiteral("password authentication failed"), QStringLiteral("no password supplied")},
         QStringLiteral("用户 {user} 的密码不对（或服务器上没有这个用户）：请检查用户名和密码。")},
        {{QStringLiteral("does not exist")}, QString()}, // told apart below
        {{QStringLiteral("is not permitted to log in")}, QStringLiteral("用户 {user} 不允许登录服务器。")},
        {{QStringLiteral("permission denied for database")},
         QStringLiteral("用户 {user} 没有连接数据库 {database} 的权限：请数据库的所有者把此用户加入团队"
                        "（GRANT kivtree_users TO {user}）。")},
        {{QStringLiteral("permission denied")},
         QStringLiteral("用户 {user} 没有读取商品编码表的权限：请数据库的所有者把此用户加入团队"
                        "（GRANT kivtree_users TO {user}）。")},
    };
}

} // namespace

QString ConnectionProblem::describe(const QString &driverText, const ServerSettings &s)
{
    const auto fill = [&](QString sentence) {
        return sentence.replace(QStringLiteral("{host}"), s.host.trimmed())
            .replace(QStringLiteral("{port}"), s.port.trimmed())
            .replace(QStringLiteral("{database}"), s.database.trimmed())
            .replace(QStringLiteral("{user}"), s.user.trimmed())
            .replace(QStringLiteral("{seconds}"), QString::number(ServerConnection::kStatementTimeoutMs / 1000));
    };
    for (const Case &c : cases()) {
        bool found = false;
        for (const QString &marker : c.markers)
            found = found || driverText.contains(marker, Qt::CaseInsensitive);
        if (!found)
            continue;
        if (!c.sentence.isEmpty())
            return fill(c.sentence);
        if (driverText.contains(QStringLiteral("database \"")))
            return fill(QStringLiteral("服务器上没有数据库 {database}：请检查数据库名称。"));
        if (driverText.contains(QStringLiteral("role \"")))
            return fill(QStringLiteral("服务器上没有用户 {user}：请检查用户名。"));
        if (driverText.contains(QStringLiteral("relation \"")))
            return fill(QStringLiteral("数据库 {database} 中还没有商品编码表：请数据库的所有者先运行 kivtree --init-server。"));
    }
    return driverText;
}

} // namespace server
