#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace runtime {
class Transaction;
}

namespace edition {

// The copies of the database kept beside it before each import: K-I-V.db.bak-YYYYMMDD-HHMMSS.
// A copy is written under a name ending in ".part" and renamed when whole, so a copy cut
// short (the program killed, the disk full) is never offered for 恢复上一版本.
class EditionBackups
{
public:
    static constexpr int kKept = 3;

    explicit EditionBackups(const QString &databaseFile);
    QString databaseFile() const { return m_databaseFile; }

    // The whole copies, newest first.
    QStringList list() const;
    QString newest() const;

    // Copies the connected database through SQLite itself (VACUUM INTO: a consistent copy
    // even while another program reads it). Needs no work open on the connection. Returns
    // the copy's path, or an empty string with *error set.
    QString create(runtime::Transaction *sqlca, const QDateTime &now, QString *error) const;
    // Removes all but the kKept newest copies and the remains of cut-short ones.
    void prune() const;

    // The file of the connected database (SQLite); empty for a server or on an error.
    static QString databaseFileOf(runtime::Transaction *sqlca);

private:
    QString m_databaseFile;
};

} // namespace edition
