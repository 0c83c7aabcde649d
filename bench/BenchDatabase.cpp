#include "BenchDatabase.h"

#include "core/runtime/Transaction.h"

#include <QFile>
#include <QStringList>

#include <cstdio>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace bench {

namespace {

QString connectString(const QString &databaseFile)
{
    return QStringLiteral("Driver=%1;Database=%2;NoCreat=1;")
        .arg(QString::fromUtf8(KIV_SQLITE_ODBC_DRIVER), databaseFile);
}

} // namespace

std::unique_ptr<runtime::Transaction> connectTo(const QString &databaseFile)
{
    auto transaction = std::make_unique<runtime::Transaction>();
    transaction->dbParm = QStringLiteral("Connectstring='%1'").arg(connectString(databaseFile));
    transaction->autoCommit = false;
    if (transaction->connect() != 0) {
        std::fprintf(stderr, "cannot connect to %s: %s\n", qPrintable(databaseFile),
                     qPrintable(transaction->sqlErrText()));
        return nullptr;
    }
    return transaction;
}

bool makeTenTimes(const QString &source, const QString &target)
{
    QFile::remove(target);
    if (!QFile::copy(source, target))
        return false;
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    auto transaction = connectTo(target);
    if (!transaction)
        return false;
    const QString hsColumns = QStringLiteral(
        "zhcmcode, cpcode, name, dwcode, unit, bcflag, stdflag, dwflag, sz, jksl, zssl_set, zssl_ym, "
        "zssl_set1, clde, cjdl, tsl, tsl_ym, tsl_new, splb, tsflag, note, flag, rsv_flag, op_user, op_date");
    const QString jmwColumns = QStringLiteral("m_flag, name, unit, flag");
    for (char letter = 'A'; letter <= 'I'; ++letter) {
        const QString l = QString(QLatin1Char(letter));
        const QStringList statements = {
            QStringLiteral("INSERT INTO list_hscode(code, %1) SELECT '%2' || code, %1 FROM list_hscode "
                           "WHERE substr(code, 1, 1) BETWEEN '0' AND '9'")
                .arg(hsColumns, l),
            QStringLiteral("INSERT INTO list_jmwcode(jmw_code, %1) SELECT '%2' || jmw_code, %1 FROM list_jmwcode "
                           "WHERE substr(jmw_code, 1, 1) BETWEEN '0' AND '9'")
                .arg(jmwColumns, l),
        };
        for (const QString &sql : statements) {
            if (transaction->execute(sql) != 0) {
                std::fprintf(stderr, "%s\n", qPrintable(transaction->sqlErrText()));
                return false;
            }
        }
        for (int digit = 0; digit <= 9; ++digit) {
            const QString chapter = l + QString::number(digit);
            if (transaction->execute(QStringLiteral("INSERT INTO list_hscode(code, name, flag) VALUES (?, ?, 'Y')"),
                                     {chapter, QStringLiteral("副本章") + chapter})
                    != 0
                || transaction->execute(
                       QStringLiteral("INSERT INTO list_jmwcode(jmw_code, name, flag) VALUES (?, ?, 'Y')"),
                       {chapter, QStringLiteral("副本章") + chapter})
                    != 0) {
                std::fprintf(stderr, "%s\n", qPrintable(transaction->sqlErrText()));
                return false;
            }
        }
    }
    return transaction->commit() == 0 && transaction->disconnect() == 0;
}

namespace {

double statusMiB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

} // namespace

double residentMiB()
{
    return statusMiB("VmRSS");
}

double peakResidentMiB()
{
    return statusMiB("VmHWM");
}

double heapInUseMiB()
{
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
#else
    return 0;
#endif
}

} // namespace bench
