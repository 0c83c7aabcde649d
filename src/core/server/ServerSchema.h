#pragma once

#include "core/runtime/DataViewDefinition.h"

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
// The team's roles may change only the flag there, and write notes; the shared rows, the
// tariff tables and the backups are the owner's.
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
    // The group role of the team: a member is a role granted it (GRANT kivtree_users TO zhang).
    static QString groupRole() { return QStringLiteral("kivtree_users"); }

    // The tables that hold the bundled data and the user's notes, in the order they are made
    // and filled; list_hscode and list_jmwcode first.
    static QList<Table> tables();
    static Table table(const QString &name);
    // The names the program uses that --init-server makes; present means set up.
    static QStringList programTables();

    // The statements that make the schema, tables, views, triggers and rights, in order, in
    // one transaction. Nothing is set for the database as a whole but who may connect.
    static QStringList createStatements(const QString &databaseName);

    // Tables the team writes beside the notes (the declaration elements last used, the item
    // library): made by --init-server, and added to a team database set up before them by
    // --init-server --upgrade. Not part of an edition; whoever writes a row, and when, is the
    // server's word.
    static QStringList teamTables() { return {QStringLiteral("element_value"), QStringLiteral("item")}; }
    // The statements that make one of them with its stamp and rights; each may run again.
    static QStringList teamTableStatements(const QString &name);

    // The edition backups of server imports (see ServerEditionBackups).
    static QString backupTable(const QString &storedName) { return storedName + QStringLiteral("_backup"); }
    static QString backupIndex() { return QStringLiteral("edition_backup"); }
    // The tables an edition import changes and 恢复上一版本 puts back.
    static QStringList editionTables();
    // Every table and view --init-server makes in dbo, by the name it has there.
    static QStringList storedNames();
};

} // namespace server
