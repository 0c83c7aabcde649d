#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace runtime {
class Transaction;
}

namespace tariff {

// Another SQLite database file opened on the same connection (ATTACH DATABASE) under the
// schema name schema(), so that INSERT ... SELECT copies rows from it. This is the one
// SQLite-only step of the upgrade: on another engine it is never attached and error() says
// so. Detached when the object goes away.
//
// ATTACH and DETACH cannot run inside a transaction, so both run with autocommit on; the
// transaction's own setting is restored after each. Keep no work open across them.
class SqliteSourceAttachment
{
public:
    SqliteSourceAttachment(runtime::Transaction *sqlca, const QString &databaseFile);
    ~SqliteSourceAttachment();
    SqliteSourceAttachment(const SqliteSourceAttachment &) = delete;
    SqliteSourceAttachment &operator=(const SqliteSourceAttachment &) = delete;

    bool isAttached() const { return m_attached; }
    // Why the file is not attached; empty when it is.
    QString error() const { return m_error; }

    static QString schema() { return QStringLiteral("kiv_source"); }
    // The tables of the attached file.
    QStringList tables() const { return m_tables; }

private:
    int executeAutoCommitted(const QString &sql, const QVector<QVariant> &params = {});

    runtime::Transaction *m_sqlca;
    bool m_attached = false;
    QString m_error;
    QStringList m_tables;
};

} // namespace tariff
