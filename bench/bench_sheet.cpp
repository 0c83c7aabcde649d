// What the declarant's sheet adds to walking the customs tree: the arrow key pressed 1,000
// times over the opened chapters of the bundled database, first without the sheet, then with
// it open and following, as when the key is held down (the sheet shows the line where the walk
// rests). Then 200 single steps with a pause before each, as when the user reads each record:
// there the sheet follows every step at once. Prints the median and worst time of a move.
#include "ui/mainwin/w_kiv.h"
#include "ui/sheet/w_sheet.h"
#include "ui/tree/u_tv.h"

#include "UnattendedRun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
struct Figures {
    double median = 0, worst = 0;
};

Figures walk(u_tv *tree, int moves, int pauseMs = 0)
{
    std::vector<double> ms;
    ms.reserve(size_t(moves));
    QElapsedTimer timer;
    for (int i = 0; i < moves; ++i) {
        if (pauseMs > 0)
            QTest::qWait(pauseMs);
        timer.start();
        QTest::keyClick(tree, Qt::Key_Down);
        QApplication::processEvents();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}
} // namespace

int main(int argc, char **argv)
{
    bench::UnattendedRun::preferOffscreen();
    QApplication app(argc, argv);
    bench::UnattendedRun unattended;
    if (!unattended.isValid() || !unattended.connectProgram(bench::UnattendedRun::bundled()))
        return 1;
    constexpr int kMoves = 1000;
    constexpr int kSteps = 200;
    constexpr int kPauseMs = 120; // longer than the sheet waits for a walk to rest
    int status = 0;
    {
        w_kiv window;
        window.show();
        window.ue_postopen();
        window.tv_1->expandAll();
        window.tv_1->setFocus();
        QApplication::processEvents();
        window.tv_1->selectItem(window.tv_1->findItem(runtime::TreeNavigation::Root, 0));
        const Figures bare = walk(window.tv_1, kMoves);
        w_sheet *sheet = w_sheet::openFor(&window);
        window.tv_1->setFocus();
        QApplication::processEvents();
        const Figures withSheet = walk(window.tv_1, kMoves);
        // Where the walk rests, the sheet shows its line.
        runtime::TreeItem rest;
        window.tv_1->getItem(window.tv_1->findItem(runtime::TreeNavigation::Current, 0), rest);
        const bool rested = QTest::qWaitFor(
            [&] { return sheet->content().has_value() && sheet->content()->code == rest.data.toString(); });
        const Figures steps = walk(window.tv_1, kSteps, kPauseMs);
        const bool followed = rested && sheet->content().has_value() && !sheet->content()->code.isEmpty();
        std::printf("arrow key over %d customs items (bundled database)\n"
                    "  without the sheet:            median %.2f ms, worst %.2f ms\n"
                    "  with the sheet, key held:     median %.2f ms, worst %.2f ms\n"
                    "  the sheet adds:               median %.2f ms\n"
                    "  %d single steps with the sheet following each: median %.2f ms, worst %.2f ms\n",
                    kMoves, bare.median, bare.worst, withSheet.median, withSheet.worst,
                    withSheet.median - bare.median, kSteps, steps.median, steps.worst);
        if (!followed) {
            std::fprintf(stderr, "the sheet did not follow the tree\n");
            status = 1;
        }
        sheet->close();
    }
    unattended.disconnect();
    return status;
}
