// Export figures on the bundled database: the whole customs list with every column to .xlsx
// and to CSV (reading the rows, then writing), and chapter 84 as a printed list to PDF. Each
// is run three times; the best and the median are printed against the targets.
// bench_export [folder] keeps the files there (the README's page comes from its 84.pdf).
#include "core/export/CsvWriter.h"
#include "core/export/ExportColumns.h"
#include "core/export/ExportSource.h"
#include "core/export/ExportTable.h"
#include "core/export/PagePrinter.h"
#include "core/export/PrintDocument.h"
#include "core/export/XlsxWriter.h"
#include "core/runtime/Transaction.h"

#include "BenchDatabase.h"
#include "UnattendedRun.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace kivexport;

namespace {

constexpr int kRuns = 3;

struct Figures {
    double best = 0, median = 0;
};

Figures measure(const std::function<bool()> &step)
{
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!step())
            return {-1, -1};
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

void print(const char *what, const Figures &f, double targetMs, const QString &file)
{
    std::printf("  %-44s best %7.0f ms, median %7.0f ms (target %5.0f ms) %s, %.1f MB\n", what, f.best, f.median,
                targetMs, f.median >= 0 && f.median <= targetMs ? "ok" : "OVER", QFileInfo(file).size() / 1e6);
}

} // namespace

int main(int argc, char **argv)
{
    bench::UnattendedRun::preferOffscreen();
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const QStringList args = app.arguments();
    const QDir out(args.size() > 1 ? args.at(1) : scratch.path());
    const auto sqlca = bench::connectTo(bench::UnattendedRun::bundled());
    if (!scratch.isValid() || !out.exists() || !sqlca)
        return 1;
    const QList<Column> all = ExportColumns::all();
    const QString xlsx = out.filePath(QStringLiteral("海关商品目录.xlsx"));
    const QString csv = out.filePath(QStringLiteral("海关商品目录.csv"));
    const QString pdf = out.filePath(QStringLiteral("84.pdf"));
    qsizetype wholeRows = 0, chapterRows = 0;

    const auto whole = [&](const std::function<WriteResult(const QList<ExportSheet> &)> &write) {
        return [&, write] {
            const auto records = ExportSource(sqlca.get()).wholeList(QStringLiteral("hs"));
            if (!records)
                return false;
            wholeRows = records->size();
            return write(ExportTable::build(*records, all)).ok();
        };
    };
    const Figures reading = measure([&] {
        const auto records = ExportSource(sqlca.get()).wholeList(QStringLiteral("hs"));
        return records && !ExportTable::build(*records, all).isEmpty();
    });
    const Figures toXlsx = measure(whole([&](const QList<ExportSheet> &s) { return XlsxWriter::write(xlsx, s, nullptr); }));
    const Figures toCsv = measure(whole([&](const QList<ExportSheet> &s) { return CsvWriter::write(csv, s, nullptr); }));
    const QList<Column> printed = {Column::Code, Column::Level, Column::Name, Column::Unit1,
                                   Column::MfnRate, Column::VatRate, Column::ExportRebate, Column::Supervision};
    const Figures toPdf = measure([&] {
        const auto records = ExportSource(sqlca.get()).subtree(QStringLiteral("hs"), QStringLiteral("84"));
        if (!records)
            return false;
        chapterRows = records->size();
        // Titled as the print of the tree's item: its code and name.
        const QString title = QStringLiteral("84 ") + (records->isEmpty() ? QString() : records->first().name);
        return PagePrinter().writePdf(pdf, PrintDocument::forSheets(title, ExportTable::build(*records, printed))).ok();
    });

    std::printf("export, bundled database, reading the rows included\n");
    std::printf("  whole customs list: %lld rows x %lld columns; chapter 84: %lld rows\n", qlonglong(wholeRows),
                qlonglong(all.size()), qlonglong(chapterRows));
    std::printf("  %-44s best %7.0f ms, median %7.0f ms (part of each below)\n", "whole customs list: reading, rows to text",
                reading.best, reading.median);
    print("whole customs list to .xlsx", toXlsx, 1500, xlsx);
    print("whole customs list to CSV", toCsv, 500, csv);
    print("chapter 84 to PDF (8 columns)", toPdf, 1000, pdf);
    return reading.best < 0 || toXlsx.best < 0 || toCsv.best < 0 || toPdf.best < 0 ? 1 : 0;
}
