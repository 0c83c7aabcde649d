// How the program feels once it stands, beside a floor program, on the bundled database and on a
// ten-times database made from it:
//   - resident memory after loading and indexing (and, on the ten-times data, per row added);
//   - time from the window's creation to both trees filled and painted (the median of five runs
//     of each program, taken in turns);
//   - selecting items by jumps across the customs tree (median and worst);
//   - the longest stall of the event loop in the ten seconds after loading (a timer's lateness);
//   - whether the machine's host dropped its mappings of memory during that wait (MemoryProbe),
//     which makes any program's first action after it slower.
// A hypervisor may pause the whole machine for tens of milliseconds now and then; a thread that
// only sleeps sees those pauses (MachineWitness), and the stall and the jumps are given less the
// pauses they spanned, beside the times as measured.
// The floor program is a QMainWindow with two QTreeViews over QStandardItemModels filled from
// the same file and the same rows with the sqlite3 C API. Every measurement runs in a process of
// its own (this program started again with --child), so that one run's memory is not the next
// one's. Run: bench_feel   (KIV_BENCH_QUICK=1 leaves out the ten-times database)
#include "core/runtime/DataView.h"
#include "core/runtime/FreedMemory.h"
#include "core/runtime/SqliteLibrary.h"
#include "core/runtime/TreeModel.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/quicksearch/QuickSearchController.h"
#include "ui/tree/u_tv.h"

#include "BenchDatabase.h"
#include "MachineWitness.h"
#include "MemoryProbe.h"
#include "UnattendedRun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QMainWindow>
#include <QProcess>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Figures = std::map<std::string, double>;

constexpr int kStallWindowMs = 10000;
constexpr int kTickMs = 2;
constexpr int kJumps = 200;
constexpr int kStartRuns = 4;
constexpr double kDroppedPageUs = 0.25;

double msSince(const QElapsedTimer &timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void print(const Figures &figures)
{
    for (const auto &[key, value] : figures)
        std::printf("%s %.3f\n", key.c_str(), value);
    std::fflush(stdout);
}

// Median and worst of a set of durations.
void addStats(Figures &figures, const char *name, std::vector<double> values)
{
    if (values.empty())
        return;
    std::sort(values.begin(), values.end());
    figures[std::string(name) + "_median"] = values[values.size() / 2];
    figures[std::string(name) + "_max"] = values.back();
}

using Clock = bench::MachineWitness::Clock;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// What watches the machine while a program is measured: the witness of its pauses, and the
// probe of its memory mappings (its pages left out of the resident figure).
struct MachineWatch {
    bench::MachineWitness witness;
    bench::MemoryProbe probe;

    double residentMiB() const { return bench::residentMiB() - bench::MemoryProbe::mib(); }
    // Milliseconds from `from` (on processor `cpu`) till now that were the program's, not the
    // machine's pauses.
    double ownMs(Clock::time_point from, int cpu, double *measured) const
    {
        const Clock::time_point now = Clock::now();
        *measured = msBetween(from, now);
        return *measured - witness.stillMs(from, now, cpu);
    }
    void probeBeforeJumps(Figures &figures)
    {
        figures["probe_before_us"] = probe.beforeUs();
        figures["probe_after_us"] = probe.touchUs();
    }
};

void runEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop for the stall window with a precise timer ticking every kTickMs; the
// longest lateness of a tick is the longest time the loop could not answer: less the machine's
// pauses (stall_ms), as measured (stall_measured_ms), and when the longest began (stall_at_ms).
void longestStall(int windowMs, Figures &figures, const MachineWatch &watch)
{
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(kTickMs);
    const Clock::time_point start = Clock::now();
    Clock::time_point last = start;
    int lastCpu = bench::MachineWitness::processor();
    double worst = 0;
    double worstMeasured = 0;
    double worstAt = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        double measured = 0;
        const double own = watch.ownMs(last, lastCpu, &measured) - kTickMs;
        if (own > worst) {
            worst = own;
            worstAt = msBetween(start, last);
        }
        worstMeasured = std::max(worstMeasured, measured - kTickMs);
        last = Clock::now();
        lastCpu = bench::MachineWitness::processor();
    });
    tick.start();
    runEventLoop(windowMs);
    figures["stall_ms"] = worst;
    figures["stall_measured_ms"] = worstMeasured;
    figures["pauses_watched"] = watch.witness.watching() ? 1 : 0;
    figures["stall_at_ms"] = worstAt;
}

// Adds a jump's time to the lists: the program's own, and as measured.
void addJump(const MachineWatch &watch, Clock::time_point from, int cpu, std::vector<double> *own,
             std::vector<double> *measured)
{
    double total = 0;
    own->push_back(watch.ownMs(from, cpu, &total));
    measured->push_back(total);
}

// --- the program

Figures measureProgram(const QString &databaseFile, bool startOnly)
{
    Figures figures;
    bench::UnattendedRun unattended;
    if (!unattended.isValid())
        return figures;
    QElapsedTimer timer;
    timer.start();
    if (!unattended.connectProgram(databaseFile))
        return figures;
    w_kiv window;
    window.resize(1280, 800);
    window.show();
    window.ue_postopen();
    QApplication::processEvents();
    figures["fill_ms"] = msSince(timer);
    figures["rows"] = static_cast<double>(window.dw_1->rowCount() + window.dw_2->rowCount());
    if (startOnly) {
        unattended.disconnect();
        return figures;
    }

    const QuickSearchController *search = QuickSearchController::of(&window);
    QElapsedTimer sinceLoaded;
    sinceLoaded.start();
    double indexReadyMs = -1;
    if (search)
        QObject::connect(search, &QuickSearchController::indexReady, search,
                         [&] { indexReadyMs = indexReadyMs < 0 ? msSince(sinceLoaded) : indexReadyMs; });
    MachineWatch watch;
    longestStall(kStallWindowMs, figures, watch);
    figures["index_ready_ms"] = indexReadyMs;
    // The index is part of what "loaded" means: wait for it if the window above was too short.
    for (int waited = 0; search && !search->isIndexReady() && waited < 120000; waited += 50)
        runEventLoop(50);
    figures["indexed"] = search && search->isIndexReady() ? 1 : 0;
    figures["rss_mib"] = watch.residentMiB();
    figures["peak_mib"] = bench::peakResidentMiB();

    std::vector<double> selectMs;
    std::vector<double> selectMeasuredMs;
    const long rows = window.dw_1->rowCount();
    const long step = std::max(1L, rows / kJumps);
    long wrongRows = 0;
    // Jumps across the whole tree, from one end to the other and back.
    std::vector<long> order;
    for (long r = 1; r <= rows; r += step)
        order.push_back(r);
    for (size_t i = 0; i < order.size(); i += 2)
        std::swap(order[i], order[order.size() - 1 - i]);
    watch.probeBeforeJumps(figures);
    for (long r : order) {
        const long handle = long(window.dw_1->itemNumber(r, QStringLiteral("handle")));
        if (handle <= 0)
            continue;
        const Clock::time_point from = Clock::now();
        const int cpu = bench::MachineWitness::processor();
        window.tv_1->selectItem(handle);
        QApplication::processEvents();
        addJump(watch, from, cpu, &selectMs, &selectMeasuredMs);
        wrongRows += window.dw_1->currentRow() != r ? 1 : 0;
    }
    addStats(figures, "select_ms", selectMs);
    addStats(figures, "select_measured_ms", selectMeasuredMs);
    figures["select_wrong_rows"] = static_cast<double>(wrongRows);
    unattended.disconnect();
    return figures;
}

// --- the floor program

struct FloorRow {
    QString code;
    QString name;
};

std::vector<FloorRow> readRows(sqlite3 *db, const char *sql)
{
    std::vector<FloorRow> rows;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        return rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const auto *code = static_cast<const char16_t *>(sqlite3_column_text16(statement, 0));
        const int codeBytes = sqlite3_column_bytes16(statement, 0);
        const auto *name = static_cast<const char16_t *>(sqlite3_column_text16(statement, 1));
        const int nameBytes = sqlite3_column_bytes16(statement, 1);
        rows.push_back({QString::fromUtf16(code, codeBytes / 2), QString::fromUtf16(name, nameBytes / 2)});
    }
    sqlite3_finalize(statement);
    return rows;
}

// Fills the model as the program's tree is built: each code under the item of its longest
// prefix, "[code]name" as the label. Returns the items in row order.
std::vector<QStandardItem *> fill(QStandardItemModel &model, const QString &rootLabel, const std::vector<FloorRow> &rows)
{
    std::vector<QStandardItem *> items;
    items.reserve(rows.size());
    auto *root = new QStandardItem(rootLabel);
    model.appendRow(root);
    QHash<QString, QStandardItem *> itemOfCode;
    itemOfCode.reserve(static_cast<qsizetype>(rows.size()));
    for (const FloorRow &row : rows) {
        QStandardItem *parent = root;
        for (qsizetype length = row.code.size() - 1; row.code.size() > 2 && length >= 1; --length) {
            if (QStandardItem *found = itemOfCode.value(row.code.left(length))) {
                parent = found;
                break;
            }
        }
        auto *item = new QStandardItem(QLatin1Char('[') + row.code + QLatin1Char(']') + row.name);
        parent->appendRow(item);
        itemOfCode.insert(row.code, item);
        items.push_back(item);
    }
    return items;
}

Figures measureFloor(const QString &databaseFile, bool startOnly)
{
    Figures figures;
    QElapsedTimer timer;
    timer.start();
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(databaseFile.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return figures;
    }
    const std::vector<FloorRow> customs = readRows(
        db, "SELECT code, name FROM list_hscode WHERE substr(code, 1, 2) IN (SELECT code FROM list_hscode "
            "WHERE length(code) = 2 AND flag = 'Y') ORDER BY code");
    const std::vector<FloorRow> foreign = readRows(
        db, "SELECT jmw_code, name FROM list_jmwcode WHERE substr(jmw_code, 1, 2) IN (SELECT jmw_code FROM "
            "list_jmwcode WHERE length(jmw_code) = 2 AND flag = 'Y') ORDER BY jmw_code");
    sqlite3_close(db);

    QMainWindow window;
    auto *splitter = new QSplitter(&window);
    window.setCentralWidget(splitter);
    QStandardItemModel customsModel;
    QStandardItemModel foreignModel;
    auto *customsTree = new QTreeView(splitter);
    auto *foreignTree = new QTreeView(splitter);
    customsTree->setHeaderHidden(true);
    foreignTree->setHeaderHidden(true);
    customsTree->setUniformRowHeights(true);
    foreignTree->setUniformRowHeights(true);
    const std::vector<QStandardItem *> items = fill(customsModel, QStringLiteral("海关商品树"), customs);
    fill(foreignModel, QStringLiteral("外经贸局商品树"), foreign);
    customsTree->setModel(&customsModel);
    foreignTree->setModel(&foreignModel);
    customsTree->expand(customsModel.index(0, 0));
    foreignTree->expand(foreignModel.index(0, 0));
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();
    figures["fill_ms"] = msSince(timer);
    figures["rows"] = static_cast<double>(customs.size() + foreign.size());
    if (startOnly)
        return figures;
    MachineWatch watch;
    longestStall(kStallWindowMs, figures, watch);
    figures["indexed"] = 1;
    figures["rss_mib"] = watch.residentMiB();
    figures["peak_mib"] = bench::peakResidentMiB();

    std::vector<double> selectMs;
    std::vector<double> selectMeasuredMs;
    const size_t step = std::max<size_t>(1, items.size() / kJumps);
    std::vector<size_t> order;
    for (size_t i = 0; i < items.size(); i += step)
        order.push_back(i);
    for (size_t i = 0; i < order.size(); i += 2)
        std::swap(order[i], order[order.size() - 1 - i]);
    watch.probeBeforeJumps(figures);
    for (size_t i : order) {
        const Clock::time_point from = Clock::now();
        const int cpu = bench::MachineWitness::processor();
        const QModelIndex index = items[i]->index();
        customsTree->setCurrentIndex(index);
        customsTree->scrollTo(index);
        QApplication::processEvents();
        addJump(watch, from, cpu, &selectMs, &selectMeasuredMs);
    }
    addStats(figures, "select_ms", selectMs);
    addStats(figures, "select_measured_ms", selectMeasuredMs);
    figures["select_wrong_rows"] = 0;
    return figures;
}

// --- the parent: runs each measurement in a process of its own and prints the table

Figures runChild(const char *what, const QString &databaseFile)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), QString::fromLatin1(what), databaseFile});
    Figures figures;
    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
        std::fprintf(stderr, "the %s measurement on %s failed\n", what, qPrintable(databaseFile));
        return figures;
    }
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 2)
            figures[parts[0].toStdString()] = parts[1].toDouble();
    }
    return figures;
}

// The start-up, a short figure on a shared machine, is the median of several runs of each
// program, taken in turns: the full measurement's and kStartRuns more that only start.
void medianStart(const QString &databaseFile, Figures &program, Figures &floor)
{
    std::vector<double> programFills{program["fill_ms"]};
    std::vector<double> floorFills{floor["fill_ms"]};
    for (int run = 0; run < kStartRuns; ++run) {
        Figures p = runChild("program-start", databaseFile);
        Figures f = runChild("floor-start", databaseFile);
        if (p.count("fill_ms"))
            programFills.push_back(p["fill_ms"]);
        if (f.count("fill_ms"))
            floorFills.push_back(f["fill_ms"]);
    }
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    program["fill_ms"] = median(programFills);
    floor["fill_ms"] = median(floorFills);
    program["fill_runs"] = static_cast<double>(programFills.size());
    floor["fill_runs"] = static_cast<double>(floorFills.size());
}

bool complete(const Figures &figures)
{
    for (const char *key : {"fill_ms", "rows", "stall_ms", "rss_mib", "select_ms_median", "select_ms_max"})
        if (!figures.count(key))
            return false;
    return true;
}

void report(const char *title, Figures program, Figures floor)
{
    std::printf("%s: %.0f rows in the program, %.0f in the floor program%s\n", title, program["rows"], floor["rows"],
                program["indexed"] > 0 ? "" : " (the search index never became ready)");
    std::printf("  resident after loading and indexing: %.1f MiB (peak %.1f) | floor %.1f MiB (peak %.1f) | goal <= 64 MiB bundled\n",
                program["rss_mib"], program["peak_mib"], floor["rss_mib"], floor["peak_mib"]);
    std::printf("  start to both trees filled (median of %.0f and %.0f runs): %.0f ms | floor %.0f ms | %.2fx the floor,"
                " goal <= 1.5x\n",
                program["fill_runs"], floor["fill_runs"], program["fill_ms"], floor["fill_ms"],
                program["fill_ms"] / std::max(1.0, floor["fill_ms"]));
    std::printf("  selecting an item (%d jumps): median %.2f ms, worst %.1f ms (%.1f ms with the machine's pauses)"
                " | floor median %.2f ms, worst %.1f ms (%.1f ms) | goal median <= 2 ms, worst <= 16 ms\n",
                kJumps, program["select_ms_median"], program["select_ms_max"], program["select_measured_ms_max"],
                floor["select_ms_median"], floor["select_ms_max"], floor["select_measured_ms_max"]);
    // A page out of the caches takes tens of nanoseconds; one the host maps again, microseconds.
    const auto dropped = [](Figures &f) { return f["probe_after_us"] > kDroppedPageUs; };
    std::printf("  a page touched again after the wait: %.2f us (%.2f us before it)%s | floor %.2f us (%.2f us)%s\n",
                program["probe_after_us"], program["probe_before_us"],
                dropped(program) ? ", the host dropped its mappings: the first jump paid for its pages" : "",
                floor["probe_after_us"], floor["probe_before_us"], dropped(floor) ? ", dropped" : "");
    if (program["pauses_watched"] == 0 || floor["pauses_watched"] == 0)
        std::printf("  the machine's pauses were not watched (a real-time thread is not allowed here): the figures less"
                    " the pauses are the times as measured\n");
    if (program["select_wrong_rows"] > 0)
        std::printf("  WRONG: %.0f selections showed another row than the item's\n", program["select_wrong_rows"]);
    std::printf("  longest event-loop stall in the %d s after loading: %.1f ms (%.1f ms with the machine's pauses; %.0f ms"
                " after loading; the search index ready after %.0f ms) | floor %.1f ms (%.1f ms) | goal <= 16 ms\n",
                kStallWindowMs / 1000, program["stall_ms"], program["stall_measured_ms"], program["stall_at_ms"],
                program["index_ready_ms"], floor["stall_ms"], floor["stall_measured_ms"]);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    bench::UnattendedRun::preferOffscreen();
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        if (std::strncmp(argv[2], "floor", 5) != 0) { // as the program's main() does
            runtime::settleSqliteLibrary();
            runtime::shareOneHeap();
        }
        QApplication app(argc, argv);
        const QString databaseFile = QString::fromLocal8Bit(argv[3]);
        const bool floor = std::strncmp(argv[2], "floor", 5) == 0;
        const bool startOnly = std::strstr(argv[2], "-start") != nullptr;
        const Figures figures = floor ? measureFloor(databaseFile, startOnly) : measureProgram(databaseFile, startOnly);
        print(figures);
        return (startOnly ? figures.count("fill_ms") > 0 : complete(figures)) ? 0 : 1;
    }

    QApplication app(argc, argv);
    bench::UnattendedRun unattended;
    if (!unattended.isValid())
        return 1;
    const QString bundled = bench::UnattendedRun::bundled();
    Figures program = runChild("program", bundled);
    Figures floor = runChild("floor", bundled);
    bool ok = complete(program) && complete(floor) && program["select_wrong_rows"] == 0;
    if (ok)
        medianStart(bundled, program, floor);
    report("bundled database", program, floor);
    if (qEnvironmentVariableIsSet("KIV_BENCH_QUICK"))
        return ok ? 0 : 1;

    const QString tenTimes = unattended.tenTimes();
    if (!bench::makeTenTimes(bundled, tenTimes)) {
        std::fprintf(stderr, "cannot make the ten-times database\n");
        return 1;
    }
    Figures programTen = runChild("program", tenTimes);
    Figures floorTen = runChild("floor", tenTimes);
    ok = ok && complete(programTen) && complete(floorTen) && programTen["select_wrong_rows"] == 0;
    if (ok)
        medianStart(tenTimes, programTen, floorTen);
    report("ten-times database", programTen, floorTen);
    const double addedRows = std::max(1.0, programTen["rows"] - program["rows"]);
    const double addedFloorRows = std::max(1.0, floorTen["rows"] - floor["rows"]);
    std::printf("per row added (ten-times minus bundled): %.2f KiB | floor %.2f KiB | goal <= 0.4 KiB\n",
                (programTen["rss_mib"] - program["rss_mib"]) * 1024.0 / addedRows,
                (floorTen["rss_mib"] - floor["rss_mib"]) * 1024.0 / addedFloorRows);
    return ok ? 0 : 1;
}
