#include "core/edition/EditionBackups.h"

#include "core/edition/PausePoint.h"
#include "core/runtime/Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace edition {

namespace {

const QString kPart = QStringLiteral(".part");

QString stamp(const QDateTime &now)
{
    return now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

// ATTACH, VACUUM and the like refuse to run inside a transaction.
int executeAutoCommitted(runtime::Transaction *sqlca, const QString &sql, const QVector<QVariant> &params = {})
{
    const bool before = sqlca->autoCommit;
    sqlca->autoCommit = true;
    const int rc = sqlca->execute(sql, params);
    sqlca->autoCommit = before;
    return rc;
}

} // namespace

EditionBackups::EditionBackups(const QString &databaseFile)
    : m_databaseFile(QFileInfo(databaseFile).absoluteFilePath())
{
}

QStringList EditionBackups::list() const
{
    const QFileInfo db(m_databaseFile);
    const QStringList names = db.dir().entryList({db.fileName() + QStringLiteral(".bak-*")}, QDir::Files,
                                                 QDir::Name | QDir::Reversed);
    QStringList result;
    for (const QString &name : names) {
        if (!name.endsWith(kPart))
            result.append(db.dir().filePath(name));
    }
    return result;
}

QString EditionBackups::newest() const
{
    const QStringList all = list();
    return all.isEmpty() ? QString() : all.first();
}

QString EditionBackups::create(runtime::Transaction *sqlca, const QDateTime &now, QString *error) const
{
    if (m_databaseFile.isEmpty()) {
        *error = QStringLiteral("只能备份数据库文件");
        return QString();
    }
    const QString base = m_databaseFile + QStringLiteral(".bak-") + stamp(now);
    QString target = base;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + QStringLiteral("-%1").arg(n);
    const QString partial = target + kPart;
    QFile::remove(partial); // VACUUM INTO will not write over a file
    if (executeAutoCommitted(sqlca, QStringLiteral("VACUUM INTO ?"), {partial}) != 0) {
        *error = sqlca->sqlErrText();
        QFile::remove(partial);
        return QString();
    }
    PausePoint::reach("backup");
    if (!QFile::rename(partial, target)) {
        *error = QStringLiteral("无法写入备份 %1").arg(target);
        QFile::remove(partial);
        return QString();
    }
    return target;
}

void EditionBackups::prune() const
{
    const QStringList all = list();
    for (qsizetype i = kKept; i < all.size(); ++i)
        QFile::remove(all.at(i));
    const QFileInfo db(m_databaseFile);
    for (const QString &name : db.dir().entryList({db.fileName() + QStringLiteral(".bak-*") + kPart}, QDir::Files))
        QFile::remove(db.dir().filePath(name));
}

QString EditionBackups::databaseFileOf(runtime::Transaction *sqlca)
{
    if (!sqlca || !sqlca->dbmsName().contains(QLatin1String("SQLite"), Qt::CaseInsensitive))
        return QString();
    QVector<QVector<QVariant>> rows;
    const QList<runtime::ColumnType> types(3, runtime::ColumnType::String);
    if (sqlca->select(QStringLiteral("PRAGMA database_list"), types, &rows) != 0)
        return QString();
    for (const QVector<QVariant> &row : std::as_const(rows)) {
        if (row.value(1).toString() == QLatin1String("main"))
            return row.value(2).toString();
    }
    return QString();
}

} // namespace edition
