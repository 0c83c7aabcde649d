#pragma once

#include <QString>

namespace runtime {

// Registry-style access to the ODBC configuration, mapped onto unixODBC's files. Keys are
// full Windows paths, matched without regard to case:
//   HKEY_LOCAL_MACHINE\SOFTWARE\ODBC\ODBCINST.INI\<driver>   section <driver> of odbcinst.ini
//   HKEY_CURRENT_USER\SOFTWARE\ODBC\ODBC.INI\ODBC DATA SOURCES
//                                                    section [ODBC Data Sources] of odbc.ini
//   HKEY_CURRENT_USER\SOFTWARE\ODBC\ODBC.INI\<dsn>           section <dsn> of odbc.ini
// Sections and value names are matched without regard to case; a write changes only its
// own line (or adds it) and keeps every other line of the file as it was.

// Writes one string value; the section and the file are created when missing.
// Returns 1, or -1 for a key that maps to no file or a write that fails.
int registrySet(const QString &key, const QString &valueName, const QString &value);

// Deletes one value; a value that is not there counts as deleted. Returns 1, or -1 for a key
// that maps to no file or a write that fails.
int registryDelete(const QString &key, const QString &valueName);

// Reads one string value into *value. Returns 1, or -1 when the key, the value or the file
// does not exist.
int registryGet(const QString &key, const QString &valueName, QString *value);

// The files as unixODBC resolves them: the user's data sources ($ODBCINI, else
// ~/.odbc.ini of the account) and the system's drivers ($ODBCSYSINI/odbcinst.ini, else
// the system's configuration folder).
QString odbcUserIniPath();
QString odbcDriversIniPath();

} // namespace runtime
