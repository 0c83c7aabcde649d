#pragma once

// Makes the data source "K-I-V" known to ODBC at every start: the driver entry
// "MY ASA DATABASE" in the system's drivers and the user data source "K-I-V", whose Driver
// names the SQLite ODBC driver library directly. Returns -1, writing nothing, when the
// database file ./K-I-V.db does not exist; 1 otherwise, even when some entry could not be
// written (the machine-wide drivers file is often not writable).
int f_registerodbc();
