// Importing a changed copy of the customs list: 1,000 lines renamed, 200 added, 200 removed,
// 500 MFN rates changed in the bundled list (made here from db/cn_hscode_2026.csv), and ten
// times as many in the ten-times list (the bundled lines and nine copies with another fifth
// digit, imported first into a copy of the bundled database). Times reading and comparing
// (file + database) and applying (backup copy + one transaction), each on a fresh copy of the
// database, and prints the median and worst of the runs. Then the same for a changed copy of
// the WCO list (db/harmonized-system.csv): 300 subheadings renamed, 100 removed, 100 added.
#include "core/edition/CsvTable.h"
#include "core/edition/DatabaseSnapshot.h"
#include "core/edition/EditionApplier.h"
#include "core/edition/EditionComparison.h"
#include "core/edition/EditionReader.h"
#include "core/edition/SourceText.h"
#include "core/edition/TradeEditionReader.h"
#include "core/runtime/Transaction.h"

#include "BenchDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace edition;

namespace {

struct Table {
    QStringList header;
    QVector<QStringList> rows;
    int column(const char *name) const { return int(header.indexOf(QLatin1String(name))); }
};

bool readTable(const QString &path, Table *table)
{
    QString text;
    ReadError error;
    CsvTable csv;
    if (!SourceText::read(path, &text, &error) || !csv.parse(text, {}, &error))
        return false;
    table->header = csv.header();
    for (const CsvTable::Record &r : csv.records())
        table->rows.append(r.fields);
    return true;
}

bool writeTable(const Table &table, const QString &path)
{
    auto field = [](const QString &text) {
        return text.contains(u',') || text.contains(u'"') ? u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"'
                                                          : text;
    };
    QString out = table.header.join(u',') + u'\n';
    for (const QStringList &row : table.rows) {
        QStringList fields;
        for (const QString &f : row)
            fields.append(field(f));
        out += fields.join(u',') + u'\n';
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out.toUtf8()) > 0;
}

// A line under another code: the prefix columns follow it.
QStringList moved(QStringList row, const QString &code)
{
    row[0] = code;
    row[1] = code.left(8);
    row[2] = code.left(6);
    row[3] = code.left(4);
    row[4] = code.left(2);
    return row;
}

// The bundled lines and nine copies of each with the fifth digit replaced (a code that
// exists already is left out).
Table tenTimes(const Table &bundled)
{
    Table t = bundled;
    QSet<QString> codes;
    for (const QStringList &row : bundled.rows)
        codes.insert(row[0]);
    for (int k = 1; k <= 9; ++k) {
        for (const QStringList &row : bundled.rows) {
            QString code = row[0];
            code[4] = QChar(u'0' + (code[4].digitValue() + k) % 10);
            if (!codes.contains(code)) {
                codes.insert(code);
                t.rows.append(moved(row, code));
            }
        }
    }
    return t;
}

// The edition with `scale` times 1,000 renamed, 200 added, 200 removed and 500 rates changed:
// every fifth line for each kind, each kind on its own lines.
Table changed(const Table &base, int scale)
{
    Table t{base.header, {}};
    QSet<QString> codes;
    for (const QStringList &row : base.rows)
        codes.insert(row[0]);
    const int name = base.column("name_cn");
    const int mfn = base.column("mfn_rate");
    int renamed = 0, rated = 0, removed = 0, added = 0;
    for (qsizetype i = 0; i < base.rows.size(); ++i) {
        QStringList row = base.rows[i];
        if (i % 5 == 0 && renamed < 1000 * scale) {
            ++renamed;
            row[name] += QStringLiteral("（新）");
        } else if (i % 5 == 1 && rated < 500 * scale) {
            ++rated;
            row[mfn] = row[mfn] == QLatin1String("99%") ? QStringLiteral("98%") : QStringLiteral("99%");
        } else if (i % 5 == 2 && removed < 200 * scale) {
            ++removed;
            continue;
        } else if (i % 5 == 3 && added < 200 * scale) {
            // A new line beside this one: the same 8-digit line, a free last pair of digits.
            for (int n = 11; n < 100; ++n) {
                const QString code = row[0].left(8) + QString::number(n);
                if (!codes.contains(code)) {
                    codes.insert(code);
                    QStringList fresh = moved(row, code);
                    fresh[name] += QStringLiteral("（增）");
                    t.rows.append(fresh);
                    ++added;
                    break;
                }
            }
        }
        t.rows.append(row);
    }
    return t;
}

// The WCO list with 300 subheadings renamed, 100 removed and 100 added (another last pair of
// digits under the same heading), each kind on every third subheading.
Table changedTrade(const Table &base)
{
    Table t{base.header, {}};
    const int code = base.column("hscode");
    const int name = base.column("description");
    const int parent = base.column("parent");
    QSet<QString> codes;
    for (const QStringList &row : base.rows)
        codes.insert(row[code]);
    int renamed = 0, removed = 0, added = 0, n = 0;
    for (QStringList row : base.rows) {
        if (row[code].size() != 6 || TradeEditionReader::isPseudoCode(row[code])) {
            t.rows.append(row);
            continue;
        }
        const int kind = n++ % 3;
        if (kind == 0 && renamed < 300) {
            ++renamed;
            row[name] += QStringLiteral(" (2027)");
        } else if (kind == 1 && removed < 100) {
            ++removed;
            continue;
        } else if (kind == 2 && added < 100) {
            for (int d = 1; d < 100; ++d) {
                const QString fresh = row[parent] + QStringLiteral("%1").arg(d, 2, 10, QChar(u'0'));
                if (!codes.contains(fresh)) {
                    codes.insert(fresh);
                    QStringList newRow = row;
                    newRow[code] = fresh;
                    newRow[name] += QStringLiteral(" (new)");
                    t.rows.append(newRow);
                    ++added;
                    break;
                }
            }
        }
        t.rows.append(row);
    }
    return t;
}

struct Timing {
    std::vector<double> ms;
    void print(const char *what, double target)
    {
        std::sort(ms.begin(), ms.end());
        std::printf("  %-30s median %8.1f ms, worst %8.1f ms (target %.0f ms)\n", what, ms[ms.size() / 2], ms.back(),
                    target);
    }
};

struct Imported {
    bool ok = false;
    double readMs = 0, applyMs = 0;
};

// Reads `edition`, compares it with `db` and applies it, timed.
Imported import(const QString &db, const QString &edition, bool report)
{
    Imported result;
    std::unique_ptr<runtime::Transaction> sqlca = bench::connectTo(db);
    if (!sqlca)
        return result;
    QElapsedTimer timer;
    timer.start();
    EditionFile file;
    ReadError error;
    DatabaseSnapshot snapshot;
    QString dbError;
    if (!EditionReader::read(edition, QString(), std::nullopt, &file, &error)
        || !DatabaseSnapshot::read(sqlca.get(), &snapshot, &dbError)) {
        std::fprintf(stderr, "bench_import: %s%s\n", qPrintable(error.text()), qPrintable(dbError));
        return result;
    }
    const EditionComparison comparison = EditionComparison::compare(file, snapshot);
    result.readMs = timer.nsecsElapsed() / 1e6;
    if (report && file.list == CodeList::ForeignTrade)
        std::printf("  %lld codes; foreign-trade list %d added, %d removed, %d renamed; customs list %d added, "
                    "%d removed, %d renamed\n",
                    qlonglong(file.tradeCodes.size()), comparison.count(CodeList::ForeignTrade, ChangeKind::Added),
                    comparison.count(CodeList::ForeignTrade, ChangeKind::Removed),
                    comparison.count(CodeList::ForeignTrade, ChangeKind::Renamed),
                    comparison.count(CodeList::Customs, ChangeKind::Added),
                    comparison.count(CodeList::Customs, ChangeKind::Removed),
                    comparison.count(CodeList::Customs, ChangeKind::Renamed));
    else if (report)
        std::printf("  %lld lines; %d added, %d removed, %d renamed, %d rates changed\n",
                    qlonglong(file.lines.size()), comparison.count(ChangeKind::Added),
                    comparison.count(ChangeKind::Removed), comparison.count(ChangeKind::Renamed),
                    comparison.count(ChangeKind::Rate));
    const QString name = file.list == CodeList::ForeignTrade ? QStringLiteral("HS2027") : QStringLiteral("CN2027");
    timer.start();
    const EditionApplier::Result applied = EditionApplier::apply(sqlca.get(), db, file, snapshot, comparison, {name, {}, {}});
    result.applyMs = timer.nsecsElapsed() / 1e6;
    if (!applied.ok)
        std::fprintf(stderr, "bench_import: %s\n", qPrintable(applied.message));
    result.ok = applied.ok;
    return result;
}

bool copyDatabase(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to) && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
}

bool measure(const char *title, const QTemporaryDir &scratch, const QString &db, const QString &edition, int runs,
             double readTarget, double applyTarget)
{
    std::printf("%s, %d runs:\n", title, runs);
    Timing reading, applying;
    const QString copy = scratch.filePath(QStringLiteral("run.db"));
    for (int run = 0; run < runs; ++run) {
        if (!copyDatabase(db, copy))
            return false;
        const Imported i = import(copy, edition, run == 0);
        if (!i.ok)
            return false;
        reading.ms.push_back(i.readMs);
        applying.ms.push_back(i.applyMs);
    }
    reading.print("read + compare", readTarget);
    applying.print("apply (backup + transaction)", applyTarget);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    Table bundled;
    if (!scratch.isValid() || !readTable(QStringLiteral(KIV_SOURCE_DIR "/db/cn_hscode_2026.csv"), &bundled)) {
        std::fprintf(stderr, "bench_import: cannot read the bundled list\n");
        return 1;
    }
    const QString changedBundled = scratch.filePath(QStringLiteral("cn_hscode_2027.csv"));
    const Table ten = tenTimes(bundled);
    const QString tenFile = scratch.filePath(QStringLiteral("cn_hscode_x10.csv"));
    const QString changedTen = scratch.filePath(QStringLiteral("cn_hscode_x10_2027.csv"));
    const QString tenDb = scratch.filePath(QStringLiteral("K-I-V-x10.db"));
    if (!writeTable(changed(bundled, 1), changedBundled) || !writeTable(ten, tenFile)
        || !writeTable(changed(ten, 10), changedTen)) {
        std::fprintf(stderr, "bench_import: cannot write the editions\n");
        return 1;
    }
    if (!measure("bundled customs list", scratch, QStringLiteral(KIV_RUN_DIR "/K-I-V.db"), changedBundled, 7, 300, 500))
        return 1;
    // The ten-times database: the ten-times list imported into the bundled one.
    if (!copyDatabase(QStringLiteral(KIV_RUN_DIR "/K-I-V.db"), tenDb) || !import(tenDb, tenFile, false).ok)
        return 1;
    if (!measure("ten-times customs list", scratch, tenDb, changedTen, 3, 3000, 5000))
        return 1;
    Table wco;
    const QString changedWco = scratch.filePath(QStringLiteral("hs_2027.csv"));
    if (!readTable(QStringLiteral(KIV_SOURCE_DIR "/db/harmonized-system.csv"), &wco)
        || !writeTable(changedTrade(wco), changedWco)) {
        std::fprintf(stderr, "bench_import: cannot make the changed WCO list\n");
        return 1;
    }
    if (!measure("foreign-trade list (WCO)", scratch, QStringLiteral(KIV_RUN_DIR "/K-I-V.db"), changedWco, 7, 300, 500))
        return 1;
    return 0;
}
