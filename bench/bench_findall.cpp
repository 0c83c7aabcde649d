// "查找所有" with matching by parts for "其他" across both lists, from the click on "查找(&Y)"
// to the finished result list: on the bundled database and on a ten-times database made from
// it. Prints the times, the rows and the entries, and checks the entries against the
// row-by-row algorithm (one find per match, a linear "begins with" scan of the list).
// The main window answers every selection with a find of the item's code, which the data
// view answers from its index of that column: the time grows with the entries, not with
// entries times rows.
#include "core/find/FindExpressionBuilder.h"
#include "core/runtime/DataView.h"
#include "core/runtime/TreeModel.h"
#include "ui/find/w_findats.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/tree/u_tv.h"

#include "BenchDatabase.h"
#include "UnattendedRun.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// The row-by-row algorithm of "查找所有": one find per match, each match's tree label with
// its prefix, added unless an entry already begins with it (a linear scan of the entries).
QStringList rowByRow(const w_kiv &window, const QString &input)
{
    QStringList entries;
    const QString where = kiv::FindExpressionBuilder::nameSearch(input, QStringLiteral("M"));
    const struct {
        runtime::DataView *view;
        u_tv *tree;
        QString prefix;
    } lists[] = {{window.dw_1, window.tv_1, w_findats::kCustomsPrefix},
                 {window.dw_2, window.tv_2, w_findats::kForeignPrefix}};
    for (const auto &list : lists) {
        runtime::TreeItem item;
        const long end = list.view->rowCount();
        for (long r = list.view->find(where, 1, end); r >= 1;
             r = r + 1 <= end ? list.view->find(where, r + 1, end) : 0) {
            runtime::TreeItem read;
            if (list.tree->getItem(long(list.view->itemNumber(r, QStringLiteral("handle"))), read) == 1)
                item = read;
            const QString value = list.prefix + item.label;
            if (std::none_of(entries.cbegin(), entries.cend(),
                             [&](const QString &entry) { return entry.startsWith(value); }))
                entries.append(value);
        }
    }
    return entries;
}

QStringList entriesOf(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool run(bench::UnattendedRun &unattended, const char *title, const QString &databaseFile, int rounds)
{
    if (!unattended.connectProgram(databaseFile))
        return false;

    bool ok = true;
    {
        w_kiv window;
        window.show();
        window.ue_postopen();
        w_findats *dialog = w_findats::openFor(&window);
        dialog->rb_3->click();
        dialog->rb_7->click();
        dialog->sle_2->setText(QStringLiteral("其他"));
        QApplication::processEvents();

        std::vector<double> clickMs;
        std::vector<double> paintedMs;
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer timer;
            timer.start();
            dialog->cb_2->click();
            clickMs.push_back(timer.nsecsElapsed() / 1e6);
            QApplication::processEvents(); // the list and the trees repaint
            paintedMs.push_back(timer.nsecsElapsed() / 1e6);
        }

        QElapsedTimer timer;
        timer.start();
        const QStringList expected = rowByRow(window, QStringLiteral("其他"));
        const double referenceMs = timer.nsecsElapsed() / 1e6;
        const QStringList entries = entriesOf(dialog->lb_1);
        const bool same = entries == expected;
        ok = same;
        std::printf("%s:\n  %ld + %ld rows, %lld entries; click to finished list: median %.1f ms "
                    "(min %.1f, max %.1f of %d), with the repaint %.1f ms;\n  row-by-row reference "
                    "(finds and a linear begins-with scan, no selecting) %.1f ms; same entries in the "
                    "same order: %s\n",
                    title, window.dw_1->rowCount(),
                    window.dw_2->rowCount(), qlonglong(entries.size()), median(clickMs),
                    *std::min_element(clickMs.begin(), clickMs.end()),
                    *std::max_element(clickMs.begin(), clickMs.end()), rounds, median(paintedMs), referenceMs,
                    same ? "yes" : "NO");
        std::fflush(stdout);
        dialog->close();
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

    bool ok = run(unattended, "bundled database", bundled, 5);
    QElapsedTimer timer;
    timer.start();
    if (!bench::makeTenTimes(bundled, tenTimes)) {
        std::fprintf(stderr, "cannot make the ten-times database\n");
        return 1;
    }
    std::printf("(ten-times database made in %.0f ms)\n", timer.nsecsElapsed() / 1e6);
    ok = run(unattended, "ten-times database", tenTimes, 3) && ok;
    return ok ? 0 : 1;
}
