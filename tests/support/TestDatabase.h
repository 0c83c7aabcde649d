#pragma once

#include <QString>
#include <QStringList>

// Makes small SQLite databases for tests, with the system's schema (db/schema.sql).
namespace runtime {
class Transaction;
}

class TestDatabase
{
public:
    // Creates (or replaces) a database file holding the two commodity tables. Returns
    // false and prints the error when a statement fails.
    static bool create(const QString &file);
    // Runs SQL statements (separated by ';') on a database file.
    static bool exec(const QString &file, const QString &sql);
    // Rows of a single-column query, as text (null as "<null>").
    static QStringList column(const QString &file, const QString &sql);
    static QString schemaPath();
    // Connects a transaction object to a database file through the SQLite ODBC driver, outside
    // autocommit as the program connects; false when it fails.
    static bool connect(runtime::Transaction &sqlca, const QString &file);
};
