// The team database against the bundled file, in the same run: the main window's loading
// (both lists read, both trees built) from a local PostgreSQL server through psqlODBC (its
// default fetch) and from the SQLite file; then twenty connections for a minute saving chapter
// choices, importing editions, saving a note and loading both lists, with the saves per second
// and the slowest save. KIV_BENCH_SECONDS shortens the minute.
#include "core/edition/ImportCommand.h"
#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/server/ConsistentRead.h"
#include "core/session/globals.h"
#include "core/tariff/NotesStore.h"
#include "ui/mainwin/w_kiv.h"

#include "TeamServer.h"
#include "UnattendedRun.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// The median of a few loadings of the main window on the connection sqlca holds.
double loadingMs(int times, long *rows)
{
    std::vector<double> ms;
    for (int i = 0; i < times; ++i) {
        w_kiv window;
        window.show();
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        window.ue_postopen();
        ms.push_back(timer.nsecsElapsed() / 1e6);
        *rows = window.dw_1->rowCount() + window.dw_2->rowCount();
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

struct LoadResult {
    int saves = 0;
    double slowestSaveMs = 0;
    int imports = 0;
    int snapshots = 0;
    int notes = 0;
    int failures = 0;
};

LoadResult twentyConnections(TeamServer &server, int seconds, const QString &folder)
{
    const QByteArray bundled = [] {
        QFile f(QStringLiteral(KIV_SOURCE_DIR "/db/cn_hscode_2026.csv"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    for (const char *edition : {"CN2027", "CN2028"}) {
        QFile f(folder + QLatin1Char('/') + QLatin1String(edition) + QStringLiteral(".csv"));
        if (f.open(QIODevice::WriteOnly))
            f.write(QByteArray(bundled).replace(",改良种用濒危野马,", QByteArray(",改良种用濒危野马") + edition + ","));
    }
    LoadResult result;
    std::mutex mutex;
    const QDeadlineTimer deadline(seconds * 1000);
    std::atomic<int> imports{0}, snapshots{0}, notes{0}, failures{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < 16; ++i) {
        workers.emplace_back([&, i] {
            auto t = server.connectAs(i % 2 ? QStringLiteral("alice") : QStringLiteral("bob"));
            int saves = 0;
            double slowest = 0;
            for (int n = 0; !deadline.hasExpired(); ++n) {
                const QString code = QStringLiteral("%1").arg(1 + QRandomGenerator::global()->bounded(97), 2, 10, QLatin1Char('0'));
                QElapsedTimer timer;
                timer.start();
                const bool ok = t->execute(QStringLiteral("UPDATE dbo.list_hscode SET flag = ? WHERE code = ?"),
                                           {n % 2 ? QStringLiteral("Y") : QStringLiteral("N"), code})
                                    == 0
                                && t->commit() == 0;
                slowest = std::max(slowest, timer.nsecsElapsed() / 1e6);
                ok ? ++saves : ++failures;
            }
            const std::lock_guard<std::mutex> lock(mutex);
            result.saves += saves;
            result.slowestSaveMs = std::max(result.slowestSaveMs, slowest);
        });
    }
    workers.emplace_back([&] {
        for (int n = 0; !deadline.hasExpired(); ++n) {
            QString out, err;
            QTextStream o(&out), e(&err);
            const QString edition = n % 2 ? QStringLiteral("CN2028") : QStringLiteral("CN2027");
            // Imports are the owner's: the team's roles may not change the editions.
            edition::ImportCommand::run({QStringLiteral("kivtree"), QStringLiteral("--import"), edition + ".csv"},
                                        server.adminConnectString(), o, e, folder)
                    == 0
                ? ++imports
                : ++failures;
        }
    });
    workers.emplace_back([&] {
        auto t = server.connectAs(QStringLiteral("bob"));
        tariff::NotesStore store(t.get());
        for (int n = 0; !deadline.hasExpired(); ++n)
            store.save(QStringLiteral("hs"), QStringLiteral("0101210010"), QString::number(n), QString()).ok() ? ++notes
                                                                                                             : ++failures;
    });
    for (int r = 0; r < 2; ++r) {
        workers.emplace_back([&] {
            auto t = server.connectAs(QStringLiteral("alice"));
            while (!deadline.hasExpired()) {
                QVector<QVector<QVariant>> rows;
                const server::ConsistentRead snapshot(t.get());
                const bool ok = t->select(QStringLiteral("SELECT code, name, flag FROM dbo.list_hscode"), {}, &rows) == 0
                                && t->select(QStringLiteral("SELECT jmw_code, name, flag FROM dbo.list_jmwcode"), {}, &rows) == 0;
                ok ? ++snapshots : ++failures;
            }
        });
    }
    for (std::thread &w : workers)
        w.join();
    result.imports = imports;
    result.snapshots = snapshots;
    result.notes = notes;
    result.failures = failures;
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    bench::UnattendedRun::preferOffscreen();
    QApplication app(argc, argv);
    bench::UnattendedRun unattended;
    const QString missing = PostgresCluster::missingReason();
    if (!missing.isEmpty() || !unattended.isValid()) {
        std::fprintf(stderr, "%s\n", qPrintable(missing));
        return 1;
    }
    TeamServer server;
    QString error;
    if (!server.start(true, &error)) {
        std::fprintf(stderr, "the server could not be set up: %s\n", qPrintable(error));
        return 1;
    }
    constexpr int kTimes = 5;
    long fileRows = 0, serverRows = 0;
    if (!unattended.connectProgram(bench::UnattendedRun::bundled()))
        return 1;
    loadingMs(1, &fileRows); // fonts and pictures paid once, for both
    const double fileMs = loadingMs(kTimes, &fileRows);
    unattended.disconnect();
    auto alice = server.connectAs(QStringLiteral("alice"));
    sqlca = alice.get();
    gs_docname = unattended.profile();
    const double serverMs = loadingMs(kTimes, &serverRows);
    sqlca = nullptr;
    alice.reset();
    std::printf("loading (both lists read, both trees built), median of %d:\n"
                "  SQLite file:            %.0f ms (%ld rows)\n"
                "  PostgreSQL (loopback):  %.0f ms (%ld rows), %.2fx the file\n",
                kTimes, fileMs, fileRows, serverMs, serverRows, serverMs / fileMs);
    std::fflush(stdout);

    const int seconds = qEnvironmentVariableIsSet("KIV_BENCH_SECONDS") ? qEnvironmentVariableIntValue("KIV_BENCH_SECONDS")
                                                                       : 60;
    QTemporaryDir folder;
    const LoadResult load = twentyConnections(server, seconds, folder.path());
    std::printf("20 connections for %d s (16 saving chapter choices, 1 importing, 1 saving a note, 2 loading):\n"
                "  chapter saves: %d, %.0f per second, slowest %.1f ms\n"
                "  imports: %d, note saves: %d, consistent loads: %d, failures: %d\n",
                seconds, load.saves, load.saves / double(seconds), load.slowestSaveMs, load.imports, load.notes,
                load.snapshots, load.failures);
    return fileRows == serverRows && load.failures == 0 ? 0 : 1;
}
