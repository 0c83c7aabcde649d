// Steps through every match of a name search, as the find dialog's "find all" does, over
// generated detail views of 19,000 and 190,000 rows, and prints the times.
#include "core/runtime/DataView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>

using namespace runtime;

namespace {

DataViewDefinition detailDefinition()
{
    DataViewDefinition d;
    d.name = QStringLiteral("d_detail_bench");
    const char *names[] = {"code", "zhcmcode", "cpcode", "name", "dwcode", "unit", "bcflag",
                           "stdflag", "dwflag", "sz", "jksl", "zssl_set", "zssl_ym", "zssl_set1",
                           "clde", "cjdl", "tsl", "tsl_ym", "tsl_new", "splb", "tsflag", "note",
                           "flag", "rsv_flag", "op_user", "op_date", "handle"};
    for (const char *name : names) {
        ColumnDefinition c;
        c.name = QString::fromLatin1(name);
        const QString n = c.name;
        if (n == u"handle")
            c.type = ColumnType::Long;
        else if (n == u"stdflag" || n == u"dwflag" || n == u"jksl" || n == u"clde" || n == u"cjdl"
                 || n == u"tsl" || n == u"tsl_new")
            c.type = ColumnType::Number;
        d.columns.append(c);
    }
    return d;
}

// Rows shaped like the customs list: Chinese names of which about one in eight holds "其他".
QVector<QVector<QVariant>> makeRows(int count)
{
    static const QStringList words = {"活", "动物", "马", "驴", "骡", "牛", "冻", "鲜", "肉", "鱼",
                                      "乳品", "蛋", "植物", "种子", "制品", "杂碎", "零件", "机器"};
    QRandomGenerator random(20260101);
    QVector<QVector<QVariant>> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString name;
        const int parts = 2 + int(random.bounded(5));
        for (int p = 0; p < parts; ++p)
            name += words.at(int(random.bounded(words.size())));
        if (random.bounded(8) == 0)
            name.insert(int(random.bounded(name.size() + 1)), QStringLiteral("其他"));
        QVector<QVariant> row(27);
        row[0] = QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0'));
        row[3] = name;
        row[5] = QStringLiteral("千克");
        row[16] = 0.13;
        row[22] = QStringLiteral("N");
        row[26] = i + 1;
        rows.append(row);
    }
    return rows;
}

void run(int count)
{
    DataView view;
    view.setDefinition(detailDefinition());
    view.loadRows(makeRows(count));
    const QString expression = QStringLiteral("(Name like '%其他%')");
    const long n = view.rowCount();

    QElapsedTimer timer;
    timer.start();
    long matches = 0;
    long checksum = 0;
    for (long r = view.find(expression, 1, n); r > 0; r = r + 1 <= n ? view.find(expression, r + 1, n) : 0) {
        ++matches;
        checksum += long(view.itemNumber(r, QStringLiteral("handle")));
    }
    const double forwardMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    long backMatches = 0;
    for (long r = view.find(expression, n, 1); r > 0; r = r > 1 ? view.find(expression, r - 1, 1) : 0)
        ++backMatches;
    const double backwardMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    const long exact = view.find(QStringLiteral("Code= '%1'").arg(n - 1, 10, 10, QLatin1Char('0')), 1, n);
    const double exactMs = timer.nsecsElapsed() / 1e6;

    std::printf("%7ld rows: %6ld matches stepped forwards in %8.2f ms (%.2f us per find), "
                "backwards in %8.2f ms; exact code in the last row (row %ld) in %.3f ms [checksum %ld, %ld]\n",
                n, matches, forwardMs, matches ? forwardMs * 1000.0 / double(matches) : 0.0,
                backwardMs, exact, exactMs, checksum, backMatches);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    run(19000);
    run(190000);
    return 0;
}
