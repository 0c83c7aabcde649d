#include "core/edition/ImportCommand.h"

#include "core/edition/AfterApply.h"
#include "core/edition/ChangeReport.h"
#include "core/edition/DatabaseSnapshot.h"
#include "core/edition/EditionApplier.h"
#include "core/edition/EditionBackups.h"
#include "core/edition/EditionComparison.h"
#include "core/edition/EditionMessages.h"
#include "core/edition/EditionReader.h"
#include "core/edition/EditionStamp.h"
#include "core/edition/ImportJob.h"
#include "core/edition/LineColumns.h"
#include "core/runtime/Transaction.h"
#include "core/server/ServerRoles.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <cstring>

namespace edition {

bool ImportCommand::requested(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--import") == 0)
            return true;
    }
    return false;
}

QString ImportCommand::usage()
{
    return QStringLiteral("用法: kivtree --import 文件 [--chapters 章节文件] [--list customs|trade] "
                          "[--edition 版本名称] [--dry-run]");
}

QString ImportCommand::editionFromFileName(const QString &path, CodeList list)
{
    static const QRegularExpression year(QStringLiteral("(?<!\\d)(20\\d\\d)(?!\\d)"));
    const QRegularExpressionMatch m = year.match(QFileInfo(path).completeBaseName());
    return (list == CodeList::ForeignTrade ? QStringLiteral("HS") : QStringLiteral("CN"))
           + (m.hasMatch() ? m.captured(1) : QString::number(QDate::currentDate().year()));
}

int ImportCommand::run(const QStringList &arguments, const QString &connectString, QTextStream &out, QTextStream &err,
                       const QString &startFolder)
{
    QString file, chapters, list, edition;
    bool dryRun = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        auto value = [&](QString *target) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).startsWith(QLatin1String("--")))
                return false;
            *target = arguments.at(++i);
            return true;
        };
        bool ok = true;
        if (a == QLatin1String("--import"))
            ok = value(&file);
        else if (a == QLatin1String("--chapters"))
            ok = value(&chapters);
        else if (a == QLatin1String("--list"))
            ok = value(&list);
        else if (a == QLatin1String("--edition"))
            ok = value(&edition);
        else if (a == QLatin1String("--dry-run"))
            dryRun = true;
        else
            ok = false;
        if (!ok) {
            err << QStringLiteral("kivtree: 参数有误：%1\n").arg(a) << usage() << '\n';
            return BadInput;
        }
    }
    if (file.isEmpty()) {
        err << usage() << '\n';
        return BadInput;
    }
    const QDir start(startFolder.isEmpty() ? QDir::currentPath() : startFolder);
    file = start.absoluteFilePath(file);
    if (!chapters.isEmpty())
        chapters = start.absoluteFilePath(chapters);
    // Without --list the file's header says which list it is.
    CodeList codeList = EditionReader::detect(file);
    if (list == QLatin1String("customs"))
        codeList = CodeList::Customs;
    else if (list == QLatin1String("trade"))
        codeList = CodeList::ForeignTrade;
    else if (!list.isEmpty()) {
        err << QStringLiteral("kivtree: --list %1：应为 customs（海关商品编码表）或 trade（外经贸商品编码表）\n").arg(list)
            << usage() << '\n';
        return BadInput;
    }
    if (codeList == CodeList::ForeignTrade && !chapters.isEmpty()) {
        err << QStringLiteral("kivtree: --chapters 只用于海关商品编码表（customs）\n") << usage() << '\n';
        return BadInput;
    }
    if (edition.isEmpty())
        edition = editionFromFileName(file, codeList);
    const QString editionProblem = EditionApplier::checkEdition(edition);
    if (!editionProblem.isEmpty()) {
        err << QStringLiteral("kivtree: %1\n").arg(editionProblem);
        return BadInput;
    }

    runtime::Transaction sqlca;
    sqlca.dbms = QStringLiteral("ODBC");
    sqlca.autoCommit = false;
    sqlca.dbParm = QStringLiteral("Connectstring='%1'").arg(connectString);
    if (sqlca.connect() != 0) {
        err << QStringLiteral("kivtree: 数据库连接失败：%1\n").arg(sqlca.sqlErrText());
        return DatabaseError;
    }
    // A team member may not change the editions: said before anything is read.
    const server::ServerRoles::Answer may = server::ServerRoles::mayChangeEditions(&sqlca);
    if (!may.allowed) {
        err << QStringLiteral("kivtree: %1\n").arg(may.message);
        return may.owner.isEmpty() ? DatabaseError : BadInput;
    }
    const QString databaseFile = EditionBackups::databaseFileOf(&sqlca);
    out << QStringLiteral("数据库：%1\n")
               .arg(databaseFile.isEmpty() ? QStringLiteral("%1（%2）").arg(sqlca.dbmsName(), connectString)
                                           : databaseFile);

    DatabaseSnapshot snapshot;
    QString dbError;
    if (!DatabaseSnapshot::read(&sqlca, &snapshot, &dbError)) {
        err << QStringLiteral("kivtree: 无法读取数据库：%1\n").arg(dbError);
        return DatabaseError;
    }
    const ImportJob::Reading reading = ImportJob::read(file, chapters, codeList, snapshot);
    if (!reading.ok) {
        err << QStringLiteral("kivtree: %1\n").arg(reading.error.text());
        return BadInput;
    }
    const EditionFile &edition_ = reading.file;
    EditionStamp current;
    if (!EditionStamp::read(&sqlca, codeList, &current, &dbError)) {
        err << QStringLiteral("kivtree: 无法读取数据库：%1\n").arg(dbError);
        return DatabaseError;
    }
    const EditionStamp incoming{edition, LineColumns::dateText(QDate::currentDate())};
    // No one to ask here: the warning goes with the output, and the edition is applied.
    if (EditionStamp::isOlder(incoming, current))
        err << QStringLiteral("kivtree: 注意：")
            << EditionMessages::olderQuestion(codeList, incoming, current).section(u'\n', 0, 0) << '\n';
    const EditionComparison &comparison = reading.comparison;
    out << QStringLiteral("文件：%1（%2，%3 个编码，版本 %4）\n")
               .arg(file, EditionReader::title(codeList))
               .arg(codeList == CodeList::ForeignTrade ? edition_.tradeCodes.size() : edition_.lines.size())
               .arg(edition);
    out << ChangeReport::summary(comparison) << '\n';
    if (dryRun) {
        out << QStringLiteral("试运行（--dry-run）：数据库未改动。\n");
        return Done;
    }
    EditionApplier::Options options;
    options.edition = edition;
    // Nothing was written since the database was read a moment ago: applied against that reading.
    const EditionApplier::Result result = ImportJob::apply(&sqlca, edition_, options, false, &reading, &snapshot).result;
    if (!result.ok) {
        err << QStringLiteral("kivtree: 导入失败，数据库未改动：%1\n").arg(result.message);
        return DatabaseError;
    }
    out << QStringLiteral("已导入。导入前的数据库备份为 %1\n").arg(result.backup);
    for (const QString &line : AfterApply::run(&sqlca))
        out << line << '\n';
    sqlca.disconnect();
    return Done;
}

} // namespace edition
