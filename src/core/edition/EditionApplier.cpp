#include "core/edition/EditionApplier.h"

#include "core/edition/CustomsEditionWriter.h"
#include "core/edition/EditionBackups.h"
#include "core/edition/EditionLock.h"
#include "core/edition/LineColumns.h"
#include "core/edition/PausePoint.h"
#include "core/edition/ServerEditionBackups.h"
#include "core/edition/SqlWriter.h"
#include "core/edition/TradeEditionWriter.h"
#include "core/runtime/Transaction.h"
#include "core/server/ServerConnection.h"

#include <QFile>

namespace edition {

QString EditionApplier::unchangedSince(runtime::Transaction *sqlca, const DatabaseSnapshot &snapshot)
{
    DatabaseSnapshot now;
    QString error;
    if (!DatabaseSnapshot::read(sqlca, &now, &error))
        return error;
    // The notes may change meanwhile; the lists may not.
    if (now.lines != snapshot.lines || now.chapterNames != snapshot.chapterNames
        || now.tradeChapters != snapshot.tradeChapters || now.headingNames != snapshot.headingNames
        || now.headingUnits != snapshot.headingUnits || now.tradeNames != snapshot.tradeNames
        || now.tradeHeadingUnits != snapshot.tradeHeadingUnits || now.tradeMachinery != snapshot.tradeMachinery
        || now.chapterItemCounts != snapshot.chapterItemCounts)
        return QStringLiteral("比较之后，另一位用户改动了商品编码表：请重新读取并比较。");
    return QString();
}

QString EditionApplier::checkEdition(const QString &edition)
{
    if (edition.trimmed().isEmpty())
        return QStringLiteral("请填写版本名称（如 CN2027）");
    if (edition.size() > LineColumns::kMaxEditionLength)
        return QStringLiteral("版本名称“%1”太长：最多 %2 个字符").arg(edition).arg(LineColumns::kMaxEditionLength);
    return QString();
}

EditionApplier::Result EditionApplier::apply(runtime::Transaction *sqlca, const QString &databaseFile,
                                             const EditionFile &file, const DatabaseSnapshot &snapshot,
                                             const EditionComparison &comparison, const Options &options)
{
    Result result;
    result.message = checkEdition(options.edition);
    if (!result.message.isEmpty())
        return result;
    // One import or restore at a time; the lock comes first, and the database is then read
    // again: what was compared must still be what is there.
    const bool onServer = server::ServerConnection::isServer(sqlca->dbmsName());
    const EditionLock lock(sqlca, databaseFile);
    if (!lock.held()) {
        result.message = lock.error();
        return result;
    }
    result.message = unchangedSince(sqlca, snapshot);
    if (!result.message.isEmpty()) {
        sqlca->rollback();
        return result;
    }
    PausePoint::reach("apply-locked");
    // A team database keeps its backup in tables, written in the import's own transaction; the
    // bundled file is copied whole beforehand.
    const EditionBackups backups(databaseFile);
    result.backup = onServer ? server::ServerEditionBackups::create(sqlca, &result.message)
                             : backups.create(sqlca, options.now.isValid() ? options.now : QDateTime::currentDateTime(),
                                              &result.message);
    if (result.backup.isEmpty()) {
        if (onServer)
            sqlca->rollback();
        return result;
    }

    const QString edition = options.edition.trimmed();
    const QString date = LineColumns::dateText(options.date.isValid() ? options.date : QDate::currentDate());
    SqlWriter w(sqlca);
    if (file.list == CodeList::ForeignTrade)
        TradeEditionWriter::write(w, file, snapshot, comparison, edition, date);
    else
        CustomsEditionWriter::write(w, file, snapshot, comparison, edition, date);

    QString failure = w.error();
    if (failure.isEmpty() && onServer)
        server::ServerEditionBackups::prune(sqlca, &failure);
    if (failure.isEmpty())
        PausePoint::reach("apply");
    if (failure.isEmpty() && sqlca->commit() == 0) {
        if (!onServer)
            backups.prune();
        result.ok = true;
        result.message.clear();
        return result;
    }
    result.message = failure.isEmpty() ? sqlca->sqlErrText() : failure;
    if (sqlca->isConnected())
        sqlca->rollback();
    // Nothing changed, so the copy would only push an older, real one out of the three kept.
    if (!onServer)
        QFile::remove(result.backup);
    result.backup.clear();
    return result;
}

} // namespace edition
