#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace runtime {
class Transaction;
}

namespace server {

// Sets a team database up: the schema, tables, views and triggers of ServerSchema, filled
// with the bundled data, all in one transaction. A database that already holds the tables is
// refused, and so is a schema dbo holding any table the program does not know (another
// application's), unless replacing is asked for: the old schema dbo is then kept whole under
// a new name (dbo_backup_YYYYMMDD_HHMMSS, notes and chapter choices included), in the same
// transaction, so nothing is ever lost.
class ServerSetup
{
public:
    enum class Status { Done, AlreadySetUp, ForeignSchema, Failed };
    struct Result {
        Status status = Status::Failed;
        QStringList foreignTables;           // tables and views in dbo that are not the program's
        QString backupSchema;                // where the old tables went (replacing only)
        QList<QPair<QString, long>> copied;  // rows per table
        QString message;                     // what went wrong
    };

    // `server` is connected with autoCommit off; `bundled` reads the bundled database.
    static Result run(runtime::Transaction *server, runtime::Transaction *bundled, bool replace,
                      const QDateTime &now = QDateTime::currentDateTime());

    // Whether the connected database holds any of the program's tables in dbo; false with
    // *error set when that cannot be read.
    static bool hasTables(runtime::Transaction *server, bool *present, QString *error);
    // Appends the tables and views in dbo that are not the program's ("dbo.orders"); false
    // with *error set when that cannot be read.
    static bool foreignTables(runtime::Transaction *server, QStringList *names, QString *error);
};

} // namespace server
