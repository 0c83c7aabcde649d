#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace runtime {
class Transaction;
}

namespace bench {

// What a benchmark of the whole program needs to run without anyone at the screen: message
// boxes that answer themselves with their default button, a scratch folder for the profile
// file and the ten-times database, and the program's connection to one database at a time.
class UnattendedRun
{
public:
    // Chooses Qt's offscreen platform unless one is set; call it before the application object.
    static void preferOffscreen();

    UnattendedRun();
    ~UnattendedRun();

    bool isValid() const { return m_scratch.isValid(); }
    QString profile() const { return m_scratch.filePath(QStringLiteral("velquor_kiv.ini")); }
    QString tenTimes() const { return m_scratch.filePath(QStringLiteral("K-I-V-x10.db")); }
    static QString bundled();

    // Connects the program (sqlca, with the scratch profile as gs_docname) to the database until
    // disconnect() or the end of the run; false, with the reason on stderr, when it fails.
    bool connectProgram(const QString &databaseFile);
    void disconnect();

private:
    QTemporaryDir m_scratch;
    std::unique_ptr<runtime::Transaction> m_transaction;
};

} // namespace bench
