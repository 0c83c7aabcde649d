// The search field's index: how long it takes to build and how much memory it holds, then 50
// inputs typed one character at a time (each prefix one search), on the bundled database and
// on a ten-times database made from it. Beside each run, the floor: a plain scan of every name
// with QString::contains for the same prefixes. The index has the lexicon of db/ (the word list
// and the everyday names) as the program has; with --plain it has none, as before the lexicon.
// With --show, the first hits of each input, or of the inputs after it (--show hzp nucl).
#include "core/quicksearch/Lexicon.h"
#include "core/quicksearch/SearchIndex.h"

#include "core/runtime/Transaction.h"

#include "BenchDatabase.h"
#include "SearchInputs.h"
#include "UnattendedRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using quicksearch::CodeList;
using quicksearch::IndexRow;

const auto &kInputs = bench::kSearchInputs;

struct Figures {
    double median = 0, worst = 0;
    int searches = 0;
};

// The CPU time of this thread: the machine may be busy with other work, which the wall clock
// counts and this does not.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

Figures figuresOf(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back(), int(ms.size())};
}

QStringList prefixesOf(const QString &input)
{
    QStringList prefixes;
    for (qsizetype n = 1; n <= input.size(); ++n) {
        if (!input[n - 1].isHighSurrogate())
            prefixes.append(input.left(n));
    }
    return prefixes;
}

bool readRows(const QString &databaseFile, QList<IndexRow> *rows)
{
    auto sqlca = bench::connectTo(databaseFile);
    if (!sqlca)
        return false;
    using runtime::ColumnType;
    const QList<ColumnType> types = {ColumnType::String, ColumnType::String, ColumnType::String,
                                     ColumnType::String};
    // The copies of the ten-times database put a letter before the code; they get the
    // declaration elements of the code they copy.
    const QString hs = QStringLiteral(
        "SELECT h.code, h.name, t.declaration_elements, "
        "       (SELECT coalesce(n.note, '') || ' ' || coalesce(n.keywords, '') FROM user_note n "
        "        WHERE n.list = 'hs' AND n.code = h.code) "
        "FROM list_hscode h LEFT JOIN tariff_line t ON t.code = CASE WHEN substr(h.code, 1, 1) "
        "BETWEEN '0' AND '9' THEN h.code ELSE substr(h.code, 2) END");
    const QString jmw = QStringLiteral(
        "SELECT j.jmw_code, j.name, NULL, "
        "       (SELECT coalesce(n.note, '') || ' ' || coalesce(n.keywords, '') FROM user_note n "
        "        WHERE n.list = 'jmw' AND n.code = j.jmw_code) "
        "FROM list_jmwcode j");
    for (const auto &[sql, list] : {std::pair{hs, CodeList::Customs}, std::pair{jmw, CodeList::ForeignTrade}}) {
        QVector<QVector<QVariant>> result;
        if (sqlca->select(sql, types, &result) != 0) {
            std::fprintf(stderr, "%s\n", qPrintable(sqlca->sqlErrText()));
            return false;
        }
        for (const QVector<QVariant> &r : result)
            rows->append({list, r.value(0).toString(), r.value(1).toString(), r.value(2).toString(),
                          r.value(3).toString().trimmed()});
    }
    sqlca->disconnect();
    return true;
}

void show(const quicksearch::SearchIndex &index, const QString &input)
{
    const quicksearch::Answer answer = index.search(input, 5);
    std::printf("  %-16s total %6d %s\n", qPrintable(input), answer.total, qPrintable(answer.notice));
    for (const quicksearch::Hit &hit : answer.hits) {
        const IndexRow &row = index.row(hit.row);
        QString marked = row.name;
        for (auto it = hit.nameSpans.crbegin(); it != hit.nameSpans.crend(); ++it)
            marked.insert(it->start + it->length, u']').insert(it->start, u'[');
        std::printf("      %d %-4s %-12s %s\n", int(hit.kind), qPrintable(quicksearch::codeListLabel(row.list)),
                    qPrintable(row.code), qPrintable(marked.left(60)));
    }
}

bool run(const char *title, const QString &databaseFile, bool showHits, const QStringList &shown,
         const std::shared_ptr<const quicksearch::Lexicon> &lexicon)
{
    // Everything the index holds counts: its rows, what it derives from them, what the
    // transliteration keeps after its first use, and the worker's arena, as the program builds
    // it in a worker. Only the lexicon, read before and shared by all builds, is left out.
    const double heapAtStart = bench::heapInUseMiB();
    const double residentAtStart = bench::residentMiB();
    QList<IndexRow> rows;
    if (!readRows(databaseFile, &rows))
        return false;
    const int rowCount = int(rows.size());

    // ICU loads its transliteration data at the first use; measured apart as well.
    quicksearch::SearchIndex::build({{CodeList::Customs, QStringLiteral("01"), QStringLiteral("活動物"), {}, {}}}, {})
        .search(QStringLiteral("活動"));
    const double before = bench::residentMiB();
    QElapsedTimer timer;
    timer.start();
    double buildCpuMs = 0;
    const quicksearch::SearchIndex index = QtConcurrent::run([&rows, &lexicon, &buildCpuMs] {
                                               const double cpuBefore = threadCpuMs();
                                               auto built = quicksearch::SearchIndex::build(std::move(rows), {}, lexicon);
                                               buildCpuMs = threadCpuMs() - cpuBefore;
                                               return built;
                                           }).result();
    const double buildMs = timer.nsecsElapsed() / 1e6;
    const double after = bench::residentMiB();
    const double heapHeld = bench::heapInUseMiB() - heapAtStart;
    const double residentHeld = after - residentAtStart;
    QStringList names;
    for (int i = 0; i < rowCount; ++i)
        names.append(index.row(i).name);

    std::vector<double> searchMs, searchCpuMs, scanMs;
    int answered = 0;
    qint64 scanned = 0;
    for (const char *input : kInputs) {
        for (const QString &prefix : prefixesOf(QString::fromUtf8(input))) {
            timer.start();
            const double cpu = threadCpuMs();
            const quicksearch::Answer answer = index.search(prefix);
            searchMs.push_back(timer.nsecsElapsed() / 1e6);
            searchCpuMs.push_back(threadCpuMs() - cpu);
            answered += answer.total > 0 ? 1 : 0;
            timer.start();
            for (const QString &name : names)
                scanned += name.contains(prefix, Qt::CaseInsensitive) ? 1 : 0;
            scanMs.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    const Figures search = figuresOf(searchMs);
    const Figures searchCpu = figuresOf(searchCpuMs);
    const Figures scan = figuresOf(scanMs);
    std::printf("%s, %s: %d rows\n"
                "  build:   %.0f ms (CPU %.0f ms), resident memory +%.1f MiB (%.1f -> %.1f MiB, peak %.1f MiB)\n"
                "  held:    the index's heap %.1f MiB (rows, derived data, transliteration, in every arena);"
                " resident +%.1f MiB from before its rows were read\n"
                "  typing %zu inputs, %d keystrokes (%d with matches):\n"
                "    index search:      median %.2f ms, worst %.2f ms per keystroke (CPU: median %.2f, worst %.2f)\n"
                "    floor (contains):  median %.2f ms, worst %.2f ms per keystroke (%lld names held the prefix)\n",
                title, lexicon ? "with the lexicon" : "without a lexicon", rowCount, buildMs, buildCpuMs, after - before, before, after, bench::peakResidentMiB(), heapHeld, residentHeld,
                std::size(kInputs), search.searches, answered, search.median, search.worst, searchCpu.median,
                searchCpu.worst, scan.median,
                scan.worst, scanned);
    if (showHits) {
        for (const QString &input : shown)
            show(index, input);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // --show [input...]: the first hits of the inputs given, or of every input typed.
    const QStringList arguments = app.arguments().mid(1);
    const bool showHits = arguments.contains(QStringLiteral("--show"));
    QStringList shown = arguments.mid(arguments.indexOf(QStringLiteral("--show")) + 1);
    if (shown.isEmpty()) {
        for (const char *input : kInputs)
            shown.append(QString::fromUtf8(input));
    }
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 1;
    // Read before the memory is measured: the lexicon is not the index's memory either.
    const double beforeLexicon = bench::residentMiB();
    QElapsedTimer reading;
    reading.start();
    const auto lexicon = arguments.contains(QStringLiteral("--plain"))
                             ? nullptr
                             : quicksearch::Lexicon::load(QStringLiteral(KIV_SOURCE_DIR "/db"));
    if (lexicon)
        std::printf("lexicon: read in %.0f ms, resident memory +%.1f MiB (%d words, %d everyday names)\n",
                    reading.nsecsElapsed() / 1e6, bench::residentMiB() - beforeLexicon, lexicon->words.size(),
                    lexicon->everyday.size());
    if (!run("bundled database", bench::UnattendedRun::bundled(), showHits, shown, lexicon))
        return 1;
    const QString tenTimes = scratch.filePath(QStringLiteral("K-I-V-x10.db"));
    if (!bench::makeTenTimes(bench::UnattendedRun::bundled(), tenTimes))
        return 1;
    return run("ten-times database", tenTimes, false, {}, lexicon) ? 0 : 1;
}
