#pragma once

// An edition file and a copy of the bundled database, connected as the program connects.

#include "core/edition/ChangeReport.h"
#include "core/edition/CustomsEditionReader.h"
#include "core/edition/DatabaseSnapshot.h"
#include "core/edition/EditionApplier.h"
#include "core/edition/EditionBackups.h"
#include "core/edition/EditionComparison.h"
#include "core/edition/EditionReader.h"
#include "core/edition/EditionStamp.h"
#include "core/edition/EditionUndo.h"
#include "core/runtime/Transaction.h"
#include "core/tariff/NotesStore.h"
#include "support/ForeignLock.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include <QtTest>
#include <sqlite3.h>

namespace {

using namespace edition;

const QString kLines = QStringLiteral(KIV_SOURCE_DIR "/db/cn_hscode_2026.csv");
const QString kChapters = QStringLiteral(KIV_SOURCE_DIR "/db/cn_chapters_2026.csv");
const QString kTrade = QStringLiteral(KIV_SOURCE_DIR "/db/harmonized-system.csv");
const QString kHsColumns = QStringLiteral(
    "code, zhcmcode, cpcode, name, dwcode, unit, bcflag, stdflag, dwflag, sz, jksl, zssl_set, zssl_ym, zssl_set1, "
    "clde, cjdl, tsl, tsl_ym, tsl_new, splb, tsflag, note, flag, rsv_flag");

// The bundled customs list with some lines edited: each edit gets a line's fields (by the
// file's columns) and returns them changed, or an empty list to drop the line. `added` lines
// go at the end.
QByteArray editedLines(const QHash<QString, std::function<QStringList(QStringList)>> &edits,
                       const QList<QByteArray> &added = {})
{
    QList<QByteArray> lines = TestEnv::readFile(kLines).split('\n');
    for (QByteArray &line : lines) {
        const QString code = QString::fromUtf8(line.left(10));
        if (!edits.contains(code))
            continue;
        // The edited lines have no quoted fields.
        const QStringList fields = edits.value(code)(QString::fromUtf8(line).split(u','));
        line = fields.isEmpty() ? QByteArray() : fields.join(u',').toUtf8();
    }
    lines.removeAll(QByteArray());
    return lines.join('\n') + '\n' + (added.isEmpty() ? QByteArray() : added.join('\n') + '\n');
}

std::function<QStringList(QStringList)> setField(int column, const QString &value)
{
    return [column, value](QStringList f) {
        f[column] = value;
        return f;
    };
}

const auto drop = [](QStringList) { return QStringList(); };

// Columns as one text per row, nulls shown, so that rows compare whole (13 and 13.0 differ).
QString joined(const QString &columns)
{
    QStringList parts;
    for (const QString &column : columns.split(QStringLiteral(", ")))
        parts.append(QStringLiteral("coalesce(%1, '~')").arg(column));
    return parts.join(QStringLiteral(" || '|' || "));
}
const QString kTariffColumns = QStringLiteral(
    "code, provisional_rate, general_rate, export_tax_rate, export_provisional_rate, supervision_conditions, "
    "declaration_elements");

const char kSmallRows[] =
    "INSERT INTO list_hscode (code, name, flag, op_user) VALUES ('01', '活动物', 'Y', 'CN2026');"
    "INSERT INTO list_hscode (code, name, unit, op_user) VALUES ('0101', 'Horses', '千克', 'HS2022');"
    "INSERT INTO list_hscode (code, zhcmcode, cpcode, name, unit, op_user) "
    "VALUES ('0101210010', '01012100', '010121', '马', '千克', 'CN2026');"
    "INSERT INTO list_jmwcode (jmw_code, name, flag) VALUES ('01', '活动物', 'Y');"
    "INSERT INTO tariff_line (code) VALUES ('0101210010');"
    "INSERT INTO tariff_chapter VALUES ('01', '第1章 活动物', 1)";

// An edition of the small database's one line, under another name.
QByteArray smallEdition(const QString &name)
{
    return TestEnv::readFile(kLines).split('\n').first() + "\n0101210010,01012100,010121,0101,01," + name.toUtf8()
           + ",千克,头,0%,,0%,9%,0%,0%,,,AFEB,P/Q,1:品牌类型\n";
}

// A copy of the bundled database and a connection to it, as the program connects.
struct Fixture {
    TestEnv env;
    QString db = env.path(QStringLiteral("K-I-V.db"));
    runtime::Transaction sqlca;
    EditionFile file;
    DatabaseSnapshot snapshot;
    EditionComparison comparison;

    // A copy of the bundled database, or (small) one chapter with one line.
    bool open(bool small = false)
    {
        if (small ? !TestDatabase::create(db) || !TestDatabase::exec(db, QString::fromUtf8(kSmallRows))
                  : !QFile::copy(QStringLiteral(KIV_RUN_DIR "/K-I-V.db"), db))
            return false;
        QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
        // A short wait for another program's lock keeps the locked case quick.
        sqlca.dbParm = QStringLiteral("Connectstring='%1Timeout=100;'").arg(TestEnv::directConnectString(db));
        sqlca.autoCommit = false;
        return sqlca.connect() == 0;
    }
    ~Fixture() { sqlca.disconnect(); }

    bool read(const QByteArray &lines, bool withChapters = true)
    {
        const QString path = env.path(QStringLiteral("edition.csv"));
        ReadError error;
        QString dbError;
        if (!TestEnv::writeFile(path, lines)
            || !CustomsEditionReader::read(path, withChapters ? kChapters : QString(), &file, &error)) {
            qWarning() << error.text();
            return false;
        }
        if (!DatabaseSnapshot::read(&sqlca, &snapshot, &dbError)) {
            qWarning() << dbError;
            return false;
        }
        comparison = EditionComparison::compare(file, snapshot);
        return true;
    }

    bool readTrade(const QByteArray &codes)
    {
        const QString path = env.path(QStringLiteral("hs.csv"));
        ReadError error;
        QString dbError;
        if (!TestEnv::writeFile(path, codes) || !EditionReader::read(path, QString(), CodeList::ForeignTrade, &file, &error)
            || !DatabaseSnapshot::read(&sqlca, &snapshot, &dbError)) {
            qWarning() << error.text() << dbError;
            return false;
        }
        comparison = EditionComparison::compare(file, snapshot);
        return true;
    }

    EditionApplier::Result apply(const QString &edition, int second = 0)
    {
        EditionApplier::Options options{edition, QDate(2027, 1, 1), QDateTime(QDate(2027, 1, 1), QTime(9, 0, second))};
        return EditionApplier::apply(&sqlca, db, file, snapshot, comparison, options);
    }

    QStringList rows(const QString &sql) const { return TestDatabase::column(db, sql); }
    QString value(const QString &sql) const { return rows(sql).value(0); }
    // Every column of the customs list and the tariff records, as one text per row.
    QStringList lists() const
    {
        return rows(QStringLiteral("SELECT %1 FROM list_hscode ORDER BY code").arg(joined(kHsColumns)))
               + rows(QStringLiteral("SELECT %1 FROM tariff_line ORDER BY code").arg(joined(kTariffColumns)))
               + rows(QStringLiteral("SELECT %1 FROM list_jmwcode ORDER BY jmw_code")
                          .arg(joined(QStringLiteral("jmw_code, m_flag, name, unit, flag"))))
               + rows(QStringLiteral("SELECT %1 FROM tariff_chapter ORDER BY code")
                          .arg(joined(QStringLiteral("code, label_cn, item_count"))));
    }
};

} // namespace
