#pragma once

#include "runtime/DataViewDefinition.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace server {

// The team database's tables, in the schema dbo (psqlODBC reports schema support, so the
// program's queries keep their dbo. owner). Text columns are varchar without a length: char(n)
// comes back padded with blanks, and a length the data exceeds would refuse rows.
//
// Chapter choices are each role's own: list_hscode and list_jmwcode are views over the shared
// rows (list_hscode_shared, list_jmwcode_shared) whose flag comes from chapter_choice for
// current_user, the shared row's flag where the role chose nothing. INSTEAD OF triggers send
// a changed flag to chapter_choice and every other change to the shared rows, and return the
// row, so an update counts its rows as on a table and the program's writes run unchanged.
class ServerSchema
{
public:
    struct Column {
        QString name;
        runtime::ColumnType type;
    };
    struct Table {
        QString name;       // as the program names it
        QString storedName; // the table that holds its rows on the server
        QList<Column> columns;
        QString key;        // primary key columns, comma-separated
        QString columnList() const;
    };

    static QString schema() { return QStringLiteral("dbo"); }

    // The tables that hold the bundled data and the user's notes, in the order they are made
    // and filled; list_hscode and list_jmwcode first.
    static QList<Table> tables();
    static Table table(const QString &name);
    // The names the program uses that --init-server makes; present means set up.
    static QStringList programTables();

    // The statements that make the schema, tables, views, triggers and rights, in order.
    // They run after SET LOCAL search_path in one transaction.
    static QStringList createStatements(const QString &databaseName);

    // The edition backups of server imports (see ServerEditionBackups).
    static QString backupTable(const QString &storedName) { return storedName + QStringLiteral("_backup"); }
    static QString backupIndex() { return QStringLiteral("edition_backup"); }
    // The tables an edition import changes and 恢复上一版本 puts back.
    static QStringList editionTables();
};

} // namespace server
