#include "core/tariff/SqliteSourceAttachment.h"

#include "core/runtime/Transaction.h"

#include <QFileInfo>
#include <QVector>

namespace tariff {

SqliteSourceAttachment::SqliteSourceAttachment(runtime::Transaction *sqlca, const QString &databaseFile)
    : m_sqlca(sqlca)
{
    if (!m_sqlca || !m_sqlca->isConnected()) {
        m_error = QStringLiteral("not connected");
        return;
    }
    if (!m_sqlca->dbmsName().contains(QLatin1String("SQLite"), Qt::CaseInsensitive)) {
        m_error = QStringLiteral("tables can be copied from another database file on SQLite only, "
                                 "not on %1").arg(m_sqlca->dbmsName());
        return;
    }
    // SQLite would make a new empty database of a missing file.
    const QFileInfo file(databaseFile);
    if (databaseFile.isEmpty() || !file.isFile()) {
        m_error = QStringLiteral("no database %1").arg(databaseFile);
        return;
    }
    if (!file.isReadable()) {
        m_error = QStringLiteral("cannot read %1").arg(file.absoluteFilePath());
        return;
    }
    if (executeAutoCommitted(QStringLiteral("ATTACH DATABASE ? AS %1").arg(schema()),
                             {file.absoluteFilePath()}) != 0) {
        m_error = m_sqlca->sqlErrText();
        return;
    }
    m_attached = true;
    // Reading the catalog is the first read of the file: one that is not a database fails here.
    QVector<QVector<QVariant>> rows;
    if (m_sqlca->select(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = 'table'").arg(schema()),
                        {runtime::ColumnType::String}, &rows) != 0) {
        m_error = m_sqlca->sqlErrText();
        executeAutoCommitted(QStringLiteral("DETACH DATABASE %1").arg(schema()));
        m_attached = false;
        return;
    }
    for (const QVector<QVariant> &row : rows)
        m_tables.append(row.value(0).toString());
}

SqliteSourceAttachment::~SqliteSourceAttachment()
{
    if (m_attached && m_sqlca->isConnected())
        executeAutoCommitted(QStringLiteral("DETACH DATABASE %1").arg(schema()));
}

int SqliteSourceAttachment::executeAutoCommitted(const QString &sql, const QVector<QVariant> &params)
{
    const bool before = m_sqlca->autoCommit;
    m_sqlca->autoCommit = true;
    const int rc = m_sqlca->execute(sql, params);
    m_sqlca->autoCommit = before;
    return rc;
}

} // namespace tariff
