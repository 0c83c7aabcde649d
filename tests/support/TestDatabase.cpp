#include "TestDatabase.h"

#include "TestEnv.h"
#include "core/runtime/Transaction.h"

#include <QFile>

#include <sqlite3.h>

namespace {
struct Db {
    sqlite3 *handle = nullptr;
    explicit Db(const QString &file)
    {
        if (sqlite3_open(QFile::encodeName(file).constData(), &handle) != SQLITE_OK) {
            qWarning("TestDatabase: cannot open %s", qPrintable(file));
            sqlite3_close(handle);
            handle = nullptr;
        }
    }
    ~Db() { sqlite3_close(handle); }
};
} // namespace

QString TestDatabase::schemaPath()
{
    return QStringLiteral(KIV_SOURCE_DIR "/db/schema.sql");
}

bool TestDatabase::create(const QString &file)
{
    QFile::remove(file);
    QFile schema(schemaPath());
    if (!schema.open(QIODevice::ReadOnly)) {
        qWarning("TestDatabase: cannot read %s", qPrintable(schemaPath()));
        return false;
    }
    return exec(file, QString::fromUtf8(schema.readAll()));
}

bool TestDatabase::exec(const QString &file, const QString &sql)
{
    Db db(file);
    if (!db.handle)
        return false;
    char *error = nullptr;
    if (sqlite3_exec(db.handle, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        qWarning("TestDatabase: %s", error ? error : "error");
        sqlite3_free(error);
        return false;
    }
    return true;
}

QStringList TestDatabase::column(const QString &file, const QString &sql)
{
    QStringList result;
    Db db(file);
    if (!db.handle)
        return result;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db.handle, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        qWarning("TestDatabase: %s", sqlite3_errmsg(db.handle));
        return result;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const unsigned char *text = sqlite3_column_text(stmt, 0);
        result.append(text ? QString::fromUtf8(reinterpret_cast<const char *>(text))
                           : QStringLiteral("<null>"));
    }
    sqlite3_finalize(stmt);
    return result;
}

bool TestDatabase::connect(runtime::Transaction &sqlca, const QString &file)
{
    sqlca.dbParm = QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(file));
    sqlca.autoCommit = false;
    return sqlca.connect() == 0;
}
