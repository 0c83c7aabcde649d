#pragma once

// Makes the data source "K-I-V" known to ODBC at every start: the driver entry
// "MY ASA DATABASE" in the system's drivers and the user data source "K-I-V", whose Driver
// names the SQLite ODBC driver library directly. Returns -1, writing nothing, when the
// database file ./K-I-V.db does not exist; 1 otherwise, even when some entry could not be
// written (the machine-wide drivers file is often not writable).
// With a team database in the profile's [server] section the data source names the
// PostgreSQL driver and the server instead; -1 then means the section is invalid (see
// server::ServerSettings::validate), and nothing is written.
int f_registerodbc();
