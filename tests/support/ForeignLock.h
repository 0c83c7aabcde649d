#pragma once

#include <QFile>
#include <QString>

#include <sqlite3.h>

// Another program's hold on a database file: an open exclusive transaction, for as long as the
// object lives.
class ForeignLock
{
public:
    explicit ForeignLock(const QString &file)
    {
        sqlite3_open(QFile::encodeName(file).constData(), &m_db);
        m_locked = sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~ForeignLock()
    {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    ForeignLock(const ForeignLock &) = delete;
    ForeignLock &operator=(const ForeignLock &) = delete;
    bool locked() const { return m_locked; }

private:
    sqlite3 *m_db = nullptr;
    bool m_locked = false;
};
