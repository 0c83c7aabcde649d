#include "core/tariff/TariffSchemaUpgrade.h"

#include "core/runtime/Transaction.h"
#include "core/tariff/SqliteSourceAttachment.h"
#include "core/tariff/TariffTables.h"

#include <memory>

namespace tariff {

namespace {

// Makes the tables and copies their rows; false at the first statement that fails.
bool addTables(runtime::Transaction *sqlca, const QStringList &create, const QStringList &copy)
{
    for (const QString &table : create) {
        if (sqlca->execute(sqlca->adaptSql(TariffTables::createStatement(table))) != 0)
            return false;
        if (!copy.contains(table))
            continue;
        const QString columns = TariffTables::columns(table);
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3.%1")
                                .arg(table, columns, SqliteSourceAttachment::schema());
        if (sqlca->execute(sql) != 0)
            return false;
    }
    return true;
}

} // namespace

TariffSchemaUpgrade::Result TariffSchemaUpgrade::upgrade(runtime::Transaction *sqlca,
                                                         const QString &sourceDatabase)
{
    Result result;
    if (!sqlca || !sqlca->isConnected()) {
        result.missingTables = TariffTables::all();
        result.message = QStringLiteral("not connected");
        return result;
    }
    QStringList missing;
    if (!TariffTables::missing(sqlca, &missing)) {
        result.missingTables = TariffTables::all();
        result.message = QStringLiteral("cannot read the table catalog: %1").arg(sqlca->sqlErrText());
        return result;
    }
    if (missing.isEmpty()) {
        result.status = Status::UpToDate;
        return result;
    }

    // The tables that come with data need the source; the others are made empty.
    QStringList create, copy, unavailable;
    QStringList notes;
    std::unique_ptr<SqliteSourceAttachment> source;
    for (const QString &table : missing) {
        if (!TariffTables::withData().contains(table)) {
            create.append(table);
            continue;
        }
        if (!source)
            source = std::make_unique<SqliteSourceAttachment>(sqlca, sourceDatabase);
        if (!source->isAttached()) {
            unavailable.append(table);
            continue;
        }
        if (!source->tables().contains(table, Qt::CaseInsensitive)) {
            unavailable.append(table);
            notes.append(QStringLiteral("%1 has no table %2").arg(sourceDatabase, table));
            continue;
        }
        create.append(table);
        copy.append(table);
    }
    if (source && !source->isAttached())
        notes.prepend(QStringLiteral("the tariff tables cannot be copied: %1").arg(source->error()));

    const bool autoCommit = sqlca->autoCommit;
    sqlca->autoCommit = false;
    const bool added = addTables(sqlca, create, copy) && sqlca->commit() == 0;
    if (!added) {
        notes.prepend(QStringLiteral("the database was not changed: %1").arg(sqlca->sqlErrText()));
        sqlca->rollback();
    }
    sqlca->autoCommit = autoCommit;
    source.reset(); // detached only after the commit

    if (added) {
        result.addedTables = create;
        result.missingTables = unavailable;
        result.status = unavailable.isEmpty() ? Status::Upgraded : Status::Incomplete;
    } else {
        result.missingTables = missing;
        result.status = Status::Failed;
    }
    result.message = notes.join(QStringLiteral("; "));
    return result;
}

} // namespace tariff
