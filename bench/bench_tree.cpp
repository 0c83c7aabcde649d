// Building the commodity trees: 19,000 and 190,000 items shaped like a tariff (chapters,
// headings, 6-, 8- and 10-digit codes), inserted the way the tree builder does it: redraw
// off, delete all, the root first, every row as the last child of its parent, expand the
// root, redraw on. The floor is a QStandardItemModel given as many items.
// Run: bench_tree [item count ...]   (default 19000 190000)

#include "ui/runtime/TreeView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardItemModel>
#include <QStringList>
#include <QTreeView>

#include <cstdio>
#include <vector>

using runtime::TreeItem;
using runtime::TreeView;

namespace {

struct Row {
    QString code;
    QString name;
};

// Rows in code order: 97 chapters with their headings, subheadings, 8- and 10-digit lines,
// cut off at the wanted count. The fan-outs grow with the count so that every level is there.
std::vector<Row> tariffRows(int count)
{
    std::vector<Row> rows;
    rows.reserve(static_cast<std::size_t>(count));
    const bool big = count > 50000;
    const int headings = big ? 40 : 12;
    const int subheadings = big ? 4 : 3;
    const int tens = big ? 12 : 4;
    auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    auto add = [&](const QString &code) {
        rows.push_back({code, QStringLiteral("商品名称 ") + code});
        return static_cast<int>(rows.size()) < count;
    };
    for (int chapter = 1; chapter <= 97; ++chapter) {
        const QString c = two(chapter);
        if (!add(c))
            return rows;
        for (int heading = 1; heading <= headings; ++heading) {
            const QString h = c + two(heading);
            if (!add(h))
                return rows;
            for (int sub = 1; sub <= subheadings; ++sub) {
                const QString s = h + two(sub * 10);
                if (!add(s))
                    return rows;
                const QString e = s + QStringLiteral("00");
                if (!add(e))
                    return rows;
                for (int t = 0; t < tens; ++t) {
                    if (!add(e + two(t * 10 + 1)))
                        return rows;
                }
            }
        }
    }
    return rows;
}

// The tree builder's loop: a reused record, a parent table by level.
double buildTreeView(TreeView &view, const std::vector<Row> &rows)
{
    QElapsedTimer timer;
    timer.start();
    view.setRedraw(false);
    view.deleteAllItems();
    view.treeModel()->reserve(static_cast<int>(rows.size()) + 1);
    TreeItem record;
    record.pictureIndex = 1;
    record.selectedPictureIndex = 6;
    record.label = QStringLiteral("海关商品树");
    record.data = QStringLiteral("0");
    const long root = view.insertItemFirst(0, record);
    std::vector<long> parents(7, 0); // by level; codes have at most 5 levels
    for (const Row &row : rows) {
        const int level = static_cast<int>(row.code.size()) / 2;
        if (level == 1)
            parents[1] = root;
        record.data = row.code;
        record.label = QLatin1Char('[') + row.code + QLatin1Char(']') + row.name;
        record.pictureIndex = level + 1;
        const long handle = view.insertItemLast(parents[static_cast<std::size_t>(level)], record);
        parents[static_cast<std::size_t>(level) + 1] = handle;
    }
    view.expandItem(root);
    view.setRedraw(true);
    QCoreApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double buildStandardModel(QStandardItemModel &model, const std::vector<Row> &rows)
{
    QElapsedTimer timer;
    timer.start();
    model.clear();
    auto *root = new QStandardItem(QStringLiteral("海关商品树"));
    model.appendRow(root);
    std::vector<QStandardItem *> parents(7, nullptr);
    for (const Row &row : rows) {
        const auto level = static_cast<std::size_t>(row.code.size() / 2);
        if (level == 1)
            parents[1] = root;
        auto *item = new QStandardItem(QLatin1Char('[') + row.code + QLatin1Char(']') + row.name);
        item->setData(row.code, Qt::UserRole);
        parents[level]->appendRow(item);
        parents[level + 1] = item;
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double resolveAll(const TreeView &view)
{
    QElapsedTimer timer;
    timer.start();
    TreeItem record;
    long found = 0;
    // Depth first over the whole tree by handle, reading every item.
    long h = view.findItem(runtime::TreeNavigation::Root, 0);
    while (h != -1) {
        view.getItem(h, record);
        ++found;
        long next = view.findItem(runtime::TreeNavigation::Child, h);
        for (long up = h; next == -1 && up != -1; up = view.findItem(runtime::TreeNavigation::Parent, up))
            next = view.findItem(runtime::TreeNavigation::Next, up);
        h = next;
    }
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (found != view.itemCount())
        std::fprintf(stderr, "walked %ld items of %d\n", found, view.itemCount());
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QList<int> counts;
    for (int i = 1; i < argc; ++i)
        counts << QString::fromLocal8Bit(argv[i]).toInt();
    if (counts.isEmpty())
        counts = {19000, 190000};

    for (int count : counts) {
        const std::vector<Row> rows = tariffRows(count);
        TreeView view;
        view.resize(400, 600);
        view.show();
        for (const char *name : {"Environment!", "DeclareProcedure!", "Database!", "UserObject!", "UserObject5!",
                                 "Custom026!"})
            view.addPicture(QString::fromLatin1(name));
        const double first = buildTreeView(view, rows);
        const double rebuild = buildTreeView(view, rows); // the refresh: delete all, then build
        const double walk = resolveAll(view);

        QStandardItemModel standard;
        const double floor = buildStandardModel(standard, rows);
        QStandardItemModel shown;
        QTreeView standardView;
        standardView.setModel(&shown);
        standardView.resize(400, 600);
        standardView.show();
        const double floorShown = buildStandardModel(shown, rows);
        QCoreApplication::processEvents();

        std::printf("%7d items: TreeView build %8.1f ms, rebuild %8.1f ms, walk+read all %6.1f ms | "
                    "QStandardItemModel %8.1f ms, shown in a QTreeView %8.1f ms\n",
                    view.itemCount() - 1, first, rebuild, walk, floor, floorShown);
    }
    return 0;
}
