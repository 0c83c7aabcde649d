// Start-up and responsiveness of the main window on the bundled database and on a ten-times
// database made from it (189,760 + 69,450 rows): how long the loading blocks the window
// (reading both lists, building both trees), the memory it takes, and what a user then waits
// for: the first paint, selecting items all over the tree (each selection finds the item's
// row), opening chapters, and the reload that follows a change of the chapter choice.
#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/runtime/TreeModel.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/tree/u_tv.h"

#include "BenchDatabase.h"
#include "UnattendedRun.h"

#include <QApplication>
#include <QLabel>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Counts the paint events a widget gets.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

struct Stats {
    double median = 0;
    double max = 0;
};

Stats statsOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.back()};
}

double msSince(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// The handles of the chapters: the children of the tree's root item.
std::vector<long> chapters(const u_tv &tree)
{
    std::vector<long> handles;
    const long root = tree.findItem(runtime::TreeNavigation::Root, 0);
    for (long h = tree.findItem(runtime::TreeNavigation::Child, root); h > 0;
         h = tree.findItem(runtime::TreeNavigation::Next, h))
        handles.push_back(h);
    return handles;
}

bool run(bench::UnattendedRun &unattended, const char *title, const QString &databaseFile)
{
    if (!unattended.connectProgram(databaseFile))
        return false;
    bool ok = true;
    {
        const double rssBefore = bench::residentMiB();
        w_kiv window;
        window.resize(1280, 800);
        window.show();
        QApplication::processEvents();

        PaintCounter loadingTexts;
        window.st_1->installEventFilter(&loadingTexts);
        QElapsedTimer timer;
        timer.start();
        window.ue_postopen(); // the event loop waits for all of it
        const double loadMs = msSince(timer);
        window.st_1->removeEventFilter(&loadingTexts);
        // What painting one loading text costs: the label shown and painted at once, as each
        // loading step does it.
        window.st_1->setVisible(true);
        timer.restart();
        constexpr int kTextPaints = 50;
        for (int i = 0; i < kTextPaints; ++i)
            window.st_1->repaint();
        const double textPaintMs = msSince(timer) / kTextPaints;
        window.st_1->setVisible(false);
        timer.restart();
        QApplication::processEvents();
        const double firstPaintMs = msSince(timer);
        const long rows1 = window.dw_1->rowCount();
        const long rows2 = window.dw_2->rowCount();
        const double rssLoaded = bench::residentMiB();
        ok = rows1 > 0 && rows2 > 0 && window.tv_1->itemCount() > 0;

        // Items all over the customs list, as a user clicks through it.
        std::vector<double> selectMs;
        const long step = std::max(1L, rows1 / 200);
        for (long r = 1; r <= rows1; r += step) {
            const long handle = long(window.dw_1->itemNumber(r, QStringLiteral("handle")));
            if (handle <= 0)
                continue;
            timer.restart();
            window.tv_1->selectItem(handle);
            QApplication::processEvents();
            selectMs.push_back(msSince(timer));
            if (window.dw_1->currentRow() != r) {
                std::fprintf(stderr, "selecting row %ld's item showed row %ld\n", r, window.dw_1->currentRow());
                ok = false;
            }
        }

        std::vector<double> expandMs;
        const std::vector<long> tops = chapters(*window.tv_1);
        for (size_t i = 0; i < tops.size(); i += std::max<size_t>(1, tops.size() / 40)) {
            timer.restart();
            window.tv_1->expandItem(tops[i]);
            QApplication::processEvents();
            expandMs.push_back(msSince(timer));
        }

        timer.restart();
        window.ue_refresh();
        QApplication::processEvents();
        const double refreshMs = msSince(timer);

        const Stats select = statsOf(selectMs);
        const Stats expand = statsOf(expandMs);
        std::printf("%s:\n  %ld + %ld rows, %d + %d tree items, %zu chapters\n"
                    "  loading (both lists read, both trees built): %.0f ms; first paint after it %.0f ms\n"
                    "  loading texts painted while loading: %d, %.2f ms each\n"
                    "  memory: %.0f MiB more after loading (resident %.0f MiB, peak %.0f MiB)\n"
                    "  selecting an item: median %.1f ms, max %.1f ms (%zu items)\n"
                    "  opening a chapter: median %.1f ms, max %.1f ms (%zu chapters)\n"
                    "  rebuilding both trees after a chapter change: %.0f ms\n",
                    title, rows1, rows2, window.tv_1->itemCount(), window.tv_2->itemCount(), tops.size(), loadMs,
                    firstPaintMs, loadingTexts.paints, textPaintMs, rssLoaded - rssBefore, rssLoaded, bench::peakResidentMiB(), select.median,
                    select.max, selectMs.size(), expand.median, expand.max, expandMs.size(), refreshMs);
        std::fflush(stdout);
    }
    unattended.disconnect();
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    bench::UnattendedRun::preferOffscreen();
    QApplication app(argc, argv);
    bench::UnattendedRun unattended;
    if (!unattended.isValid())
        return 1;
    const QString bundled = bench::UnattendedRun::bundled();
    const QString tenTimes = unattended.tenTimes();
    if (!bench::makeTenTimes(bundled, tenTimes)) {
        std::fprintf(stderr, "cannot make the ten-times database\n");
        return 1;
    }
    bool ok = run(unattended, "bundled database", bundled);
    // The same lists without the tables of the tariff record and the notes, as a database
    // made before them: what those tables cost the loading.
    const QString withoutRecords = QFileInfo(tenTimes).dir().filePath(QStringLiteral("K-I-V-lists-only.db"));
    if (QFile::copy(bundled, withoutRecords)) {
        if (auto sqlca = bench::connectTo(withoutRecords)) {
            for (const char *table : {"tariff_line", "tariff_chapter", "supervision_certificate",
                                      "inspection_category", "user_note"})
                sqlca->execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLatin1String(table)));
            sqlca->commit();
            sqlca->disconnect();
            ok = run(unattended, "bundled lists without the tariff record and notes tables", withoutRecords) && ok;
            // Again with them, the program's first-use costs (fonts, pictures) paid by now.
            ok = run(unattended, "bundled database, again", bundled) && ok;
        }
    }
    if (!qEnvironmentVariableIsSet("KIV_BENCH_QUICK"))
        ok = run(unattended, "ten-times database", tenTimes) && ok;
    return ok ? 0 : 1;
}
