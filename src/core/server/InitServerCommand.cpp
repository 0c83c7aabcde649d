#include "core/server/InitServerCommand.h"

#include "core/runtime/Transaction.h"
#include "core/server/ServerSchema.h"
#include "core/server/ServerSetup.h"

#include <QFileInfo>
#include <QTextStream>

#include <cstring>

namespace server {

namespace {

bool open(runtime::Transaction *t, const QString &connectString)
{
    t->dbms = QStringLiteral("ODBC");
    t->autoCommit = false;
    t->dbParm = QStringLiteral("Connectstring='%1'").arg(connectString);
    return t->connect() == 0;
}

} // namespace

bool InitServerCommand::requested(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--init-server") == 0)
            return true;
    }
    return false;
}

QString InitServerCommand::usage()
{
    return QStringLiteral("用法: kivtree --init-server [--force | --upgrade]（数据库在配置文件的 [server] 节中设置）");
}

int InitServerCommand::upgrade(runtime::Transaction *server, QTextStream &out, QTextStream &err)
{
    bool present = false;
    QString error;
    if (!ServerSetup::hasTables(server, &present, &error)) {
        err << QStringLiteral("kivtree: 无法读取数据库：%1\n").arg(error);
        return DatabaseError;
    }
    if (!present) {
        err << QStringLiteral("kivtree: 数据库中还没有商品编码表，请先执行 kivtree --init-server。\n");
        return BadInput;
    }
    // Every table the team writes, made where missing, in one transaction: nothing is dropped.
    for (const QString &name : ServerSchema::teamTables()) {
        for (const QString &sql : ServerSchema::teamTableStatements(name)) {
            if (server->execute(sql) != 0) {
                err << QStringLiteral("kivtree: 升级失败，数据库未改动：%1\n").arg(server->sqlErrText());
                server->rollback();
                return DatabaseError;
            }
        }
    }
    if (server->commit() != 0) {
        err << QStringLiteral("kivtree: 升级失败，数据库未改动：%1\n").arg(server->sqlErrText());
        server->rollback();
        return DatabaseError;
    }
    out << QStringLiteral("已升级：%1 表已就绪，团队成员（%2）可以读写。\n")
               .arg(ServerSchema::teamTables().join(QStringLiteral("、")), ServerSchema::groupRole());
    return Done;
}

int InitServerCommand::run(const QStringList &arguments, const QString &settingsProblem, const QString &connectString,
                           const QString &bundledDatabase, QTextStream &out, QTextStream &err)
{
    bool force = false;
    bool upgradeOnly = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == QLatin1String("--force")) {
            force = true;
        } else if (a == QLatin1String("--upgrade")) {
            upgradeOnly = true;
        } else if (a != QLatin1String("--init-server")) {
            err << QStringLiteral("kivtree: 参数有误：%1\n").arg(a) << usage() << '\n';
            return BadInput;
        }
    }
    if (!settingsProblem.isEmpty() || (force && upgradeOnly)) {
        err << QStringLiteral("kivtree: %1\n").arg(settingsProblem.isEmpty() ? QStringLiteral("--force 与 --upgrade 不能同时使用")
                                                                           : settingsProblem)
            << usage() << '\n';
        return BadInput;
    }
    if (upgradeOnly) {
        runtime::Transaction server;
        if (!open(&server, connectString)) {
            err << QStringLiteral("kivtree: 数据库连接失败：%1\n").arg(server.sqlErrText());
            return DatabaseError;
        }
        return upgrade(&server, out, err);
    }
    if (!QFileInfo(bundledDatabase).isFile()) {
        err << QStringLiteral("kivtree: 找不到随程序提供的数据库 %1\n").arg(bundledDatabase);
        return DatabaseError;
    }
    runtime::Transaction server;
    if (!open(&server, connectString)) {
        err << QStringLiteral("kivtree: 数据库连接失败：%1\n").arg(server.sqlErrText());
        return DatabaseError;
    }
    runtime::Transaction bundled;
    if (!open(&bundled, QStringLiteral("Driver=%1;Database=%2;NoCreat=1;")
                            .arg(QStringLiteral(KIV_SQLITE_ODBC_DRIVER), bundledDatabase))) {
        err << QStringLiteral("kivtree: 无法打开 %1：%2\n").arg(bundledDatabase, bundled.sqlErrText());
        return DatabaseError;
    }
    const ServerSetup::Result result = ServerSetup::run(&server, &bundled, force);
    switch (result.status) {
    case ServerSetup::Status::AlreadySetUp:
        err << QStringLiteral("kivtree: 数据库中已有商品编码表，未做任何改动。要替换它们请加 --force"
                              "（原有的表会先整体移入一个备份模式）。\n");
        return BadInput;
    case ServerSetup::Status::ForeignSchema:
        err << QStringLiteral("kivtree: 数据库的 dbo 模式属于另一个程序（其中有 %1），未做任何改动。"
                              "确认要替换时请加 --force：原有的 dbo 模式会整体改名保留。\n")
                   .arg(result.foreignTables.join(QStringLiteral("、")));
        return BadInput;
    case ServerSetup::Status::Failed:
        err << QStringLiteral("kivtree: 建立数据库失败，数据库未改动：%1\n").arg(result.message);
        return DatabaseError;
    case ServerSetup::Status::Done:
        break;
    }
    if (!result.backupSchema.isEmpty())
        out << QStringLiteral("原有的表（连同备注和章节选择）已移入备份模式 %1。\n").arg(result.backupSchema);
    if (!result.foreignTables.isEmpty())
        out << QStringLiteral("原 dbo 模式中不属于本程序的 %1 也在备份模式 %2 中，未删除。\n")
                   .arg(result.foreignTables.join(QStringLiteral("、")), result.backupSchema);
    for (const auto &table : result.copied)
        out << QStringLiteral("%1：%2 行\n").arg(table.first).arg(table.second);
    out << QStringLiteral("数据库已建立，数据与 %1 相同。\n").arg(bundledDatabase);
    out << QStringLiteral("团队成员是被授予 %1 的用户，例如：GRANT %1 TO zhang;\n").arg(ServerSchema::groupRole());
    return Done;
}

} // namespace server
