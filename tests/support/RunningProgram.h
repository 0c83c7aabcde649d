#pragma once

#include "TestEnv.h"

#include <QString>

#include <memory>

class w_kiv;
namespace runtime {
class Transaction;
}

// The main window running on a test database of its own, as the user sees it after start:
// connected, shown, active and loaded, with the keyboard in the customs tree.
struct RunningProgram {
    TestEnv env;
    MessageRecorder recorder;
    QString file = env.path(QStringLiteral("K-I-V.db"));
    std::unique_ptr<runtime::Transaction> transaction;
    std::unique_ptr<w_kiv> window;

    RunningProgram();
    ~RunningProgram();

    // The schema and the given rows (SQL statements).
    bool makeDatabase(const QString &rows);
    // The profile file in the test's folder, and sqlca connected to the database as the
    // program connects (automatic commit off).
    bool connectDatabase();
    // Connected, then the main window shown, active and loaded, the customs tree focused.
    bool start();
    void stop();
    // The customs tree's item of a code; -1 when there is none.
    long handleOf(const QString &code) const;
};
