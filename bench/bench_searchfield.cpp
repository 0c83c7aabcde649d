// The search field as a user meets it: 50 inputs typed into the field of the main window one
// key at a time, each timed from the key press to the result list painted under the field
// (the search, the model reset, the list's layout and its paint), on the bundled database.
// bench_quicksearch times the index alone, on the bundled and the ten-times data.
#include "ui/mainwin/w_kiv.h"
#include "ui/quicksearch/QuickSearchController.h"
#include "ui/quicksearch/QuickSearchField.h"
#include "ui/quicksearch/QuickSearchPopup.h"

#include "SearchInputs.h"
#include "UnattendedRun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const auto &kInputs = bench::kSearchInputs;

// One key as the field gets it from the keyboard: ASCII through its key code, a Chinese
// character as the text an input method commits.
void press(QWidget *field, QChar c)
{
    if (c.unicode() < 0x80)
        QTest::keyClick(field, char(c.unicode()));
    else
        QTest::sendKeyEvent(QTest::KeyAction::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

int main(int argc, char **argv)
{
    bench::UnattendedRun::preferOffscreen();
    QApplication app(argc, argv);
    bench::UnattendedRun unattended;
    if (!unattended.isValid() || !unattended.connectProgram(bench::UnattendedRun::bundled()))
        return 1;
    int status = 0;
    {
        w_kiv window;
        window.show();
        window.ue_postopen();
        QuickSearchController *search = QuickSearchController::of(&window);
        QSignalSpy ready(search, &QuickSearchController::indexReady);
        if (!search->isIndexReady() && !ready.wait(30000)) {
            std::fprintf(stderr, "the search index was not built\n");
            return 1;
        }
        search->focusField();
        QApplication::processEvents();
        QListView *list = search->popup->lv_results;
        std::vector<double> ms;
        int shownRows = 0;
        QElapsedTimer timer;
        for (const char *input : kInputs) {
            search->field->clear();
            QApplication::processEvents();
            for (QChar c : QString::fromUtf8(input)) {
                timer.start();
                press(search->field, c);
                // The list as it stands after this key, painted now rather than at the next
                // turn of the event loop.
                list->viewport()->repaint();
                search->popup->repaint();
                ms.push_back(timer.nsecsElapsed() / 1e6);
                QApplication::processEvents();
            }
            shownRows += list->model()->rowCount() > 0 ? 1 : 0;
        }
        std::sort(ms.begin(), ms.end());
        std::printf("search field, bundled database: %zu inputs, %zu keystrokes, %d inputs with results\n"
                    "  key press to painted list: median %.2f ms, 90th percentile %.2f ms, worst %.2f ms\n",
                    std::size(kInputs), ms.size(), shownRows, ms[ms.size() / 2], ms[ms.size() * 9 / 10],
                    ms.back());
        if (shownRows < int(std::size(kInputs)) - 2) {
            std::fprintf(stderr, "the typed inputs did not reach the list\n");
            status = 1;
        }
    }
    unattended.disconnect();
    return status;
}
