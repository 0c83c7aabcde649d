// Everyday names of goods: how often the search field puts an accepted code among its first
// five lines (recall at five) and how high the first one stands (mean reciprocal rank), with
// the lexicon (the general word list and the everyday names from db/) and, as the floor, the
// same rows indexed without one, as the field searched before. Also the index's build time and
// memory with and without the lexicon. With --misses, the queries that missed and their first
// five lines; with --queries FILE, the queries of that file instead of the built-in ones. (The memory of the index with and without the lexicon: bench_quicksearch.)
#include "core/quicksearch/Lexicon.h"
#include "core/quicksearch/SearchIndex.h"

#include "core/runtime/Transaction.h"

#include "BenchDatabase.h"
#include "UnattendedRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <vector>

namespace {

using quicksearch::CodeList;
using quicksearch::IndexRow;

struct Query {
    const char *text;
    std::vector<const char *> accepted; // code prefixes; any of them counts
};

// Names people use for goods, with the codes a declarant would accept, every section of the
// tariff covered.
const Query kQueries[] = {
    {"活羊", {"0104"}},
    {"牛肉片", {"0201", "0202"}},
    {"冻鸡翅", {"020714"}},
    {"三文鱼", {"0302", "0303", "0304"}},
    {"冻虾", {"030616", "030617"}},
    {"大闸蟹", {"0306", "0307"}},
    {"生蚝", {"0307"}},
    {"酸奶", {"0403"}},
    {"奶酪", {"0406"}},
    {"蜂蜜", {"0409"}},
    {"鲜鸡蛋", {"0407"}},
    {"羽绒", {"0505"}},
    {"玫瑰花", {"0603", "0602"}},
    {"马铃薯", {"0701", "0710"}},
    {"西红柿", {"0702"}},
    {"大蒜", {"0703"}},
    {"干香菇", {"0712"}},
    {"香蕉", {"0803"}},
    {"橙子", {"0805"}},
    {"苹果", {"0808"}},
    {"车厘子", {"0809"}},
    {"榴莲", {"0810"}},
    {"开心果", {"0802"}},
    {"核桃仁", {"0802"}},
    {"绿茶", {"0902"}},
    {"黑胡椒", {"0904"}},
    {"小麦", {"1001"}},
    {"玉米粒", {"1005"}},
    {"大米", {"1006"}},
    {"面粉", {"1101"}},
    {"花生", {"1202"}},
    {"芝麻", {"1207"}},
    {"人参", {"1211"}},
    {"橄榄油", {"1509", "1510"}},
    {"大豆油", {"1507"}},
    {"棕榈油", {"1511"}},
    {"午餐肉", {"1602"}},
    {"金枪鱼罐头", {"1604"}},
    {"白砂糖", {"1701"}},
    {"巧克力", {"1806"}},
    {"方便面", {"1902"}},
    {"饼干", {"1905"}},
    {"番茄酱", {"2002", "2103"}},
    {"橙汁", {"2009"}},
    {"酱油", {"2103"}},
    {"啤酒", {"2203"}},
    {"红酒", {"2204"}},
    {"威士忌", {"2208"}},
    {"矿泉水", {"2201"}},
    {"猫粮", {"2309"}},
    {"香烟", {"2402"}},
    {"食盐", {"2501"}},
    {"水泥", {"2523"}},
    {"铁矿石", {"2601"}},
    {"煤炭", {"2701"}},
    {"柴油", {"2710"}},
    {"液化天然气", {"2711"}},
    {"烧碱", {"2815"}},
    {"双氧水", {"2847"}},
    {"钛白粉", {"2823", "3206"}},
    {"甲醇", {"2905"}},
    {"柠檬酸", {"2918"}},
    {"维生素C", {"2936"}},
    {"阿莫西林", {"2941", "3004"}},
    {"疫苗", {"3002"}},
    {"创可贴", {"3005"}},
    {"尿素", {"3102"}},
    {"乳胶漆", {"3209"}},
    {"打印墨水", {"3215"}},
    {"香水", {"3303"}},
    {"口红", {"3304"}},
    {"面膜", {"3304"}},
    {"洗发水", {"3305"}},
    {"牙膏", {"3306"}},
    {"香皂", {"3401"}},
    {"洗衣粉", {"3402"}},
    {"明胶", {"3503"}},
    {"烟花", {"3604"}},
    {"胶卷", {"3702"}},
    {"杀虫剂", {"3808"}},
    {"塑料袋", {"3923"}},
    {"保鲜膜", {"3920", "3921"}},
    {"PVC管", {"3917"}},
    {"汽车轮胎", {"4011"}},
    {"避孕套", {"4014"}},
    {"橡胶手套", {"4015"}},
    {"牛皮革", {"4104", "4107"}},
    {"行李箱", {"4202"}},
    {"钱包", {"4202"}},
    {"貂皮大衣", {"4303"}},
    {"胶合板", {"4412"}},
    {"一次性筷子", {"4419", "4421"}},
    {"复印纸", {"4802"}},
    {"卫生纸", {"4803", "4818"}},
    {"纸箱", {"4819"}},
    {"图书", {"4901"}},
    {"生丝", {"5002"}},
    {"羊绒", {"5102"}},
    {"棉花", {"5201"}},
    {"涤纶长丝", {"5402"}},
    {"无纺布", {"5603"}},
    {"地毯", {"5701", "5702", "5703", "5704", "5705"}},
    {"T恤", {"6109"}},
    {"毛衣", {"6110"}},
    {"牛仔裤", {"6203", "6204"}},
    {"羽绒服", {"6201", "6202"}},
    {"衬衫", {"6105", "6106", "6205", "6206"}},
    {"连衣裙", {"6104", "6204"}},
    {"袜子", {"6115"}},
    {"文胸", {"6212"}},
    {"领带", {"6117", "6215"}},
    {"床单", {"6302"}},
    {"毛巾", {"6302"}},
    {"帐篷", {"6306"}},
    {"运动鞋", {"6402", "6403", "6404"}},
    {"拖鞋", {"6401", "6402", "6404", "6405"}},
    {"安全帽", {"6506"}},
    {"雨伞", {"6601"}},
    {"假发", {"6704"}},
    {"瓷砖", {"6907"}},
    {"马桶", {"6910"}},
    {"玻璃杯", {"7013"}},
    {"钢化玻璃", {"7007"}},
    {"珍珠项链", {"7116", "7117", "7113"}},
    {"金条", {"7108"}},
    {"钻石", {"7102"}},
    {"不锈钢板", {"7219", "7220"}},
    {"螺丝钉", {"7318"}},
    {"钢丝绳", {"7312"}},
    {"不锈钢锅", {"7323"}},
    {"铜线", {"7408", "7413"}},
    {"铝箔", {"7607"}},
    {"扳手", {"8204"}},
    {"菜刀", {"8211"}},
    {"挂锁", {"8301"}},
    {"发动机", {"8407", "8408", "8411"}},
    {"水泵", {"8413"}},
    {"空调", {"8415"}},
    {"冰箱", {"8418"}},
    {"洗衣机", {"8450"}},
    {"缝纫机", {"8452"}},
    {"台式电脑", {"8471"}},
    {"U盘", {"8523"}},
    {"挖掘机", {"8429"}},
    {"叉车", {"8427"}},
    {"轴承", {"8482"}},
    {"电动机", {"8501"}},
    {"变压器", {"8504"}},
    {"手机充电器", {"8504"}},
    {"剃须刀", {"8510", "8212"}},
    {"电吹风", {"8516"}},
    {"微波炉", {"8516"}},
    {"电饭煲", {"8516"}},
    {"路由器", {"8517"}},
    {"音箱", {"8518"}},
    {"电视机", {"8528"}},
    {"摄像头", {"8525"}},
    {"集成电路", {"8542"}},
    {"电线", {"8544"}},
    {"汽车", {"8703"}},
    {"电动自行车", {"8711"}},
    {"自行车", {"8712"}},
    {"婴儿车", {"8715"}},
    {"无人机", {"8806"}},
    {"游艇", {"8903"}},
    {"隐形眼镜", {"9001"}},
    {"太阳镜", {"9004"}},
    {"数码相机", {"9006", "8525"}},
    {"体温计", {"9025"}},
    {"血压计", {"9018"}},
    {"助听器", {"9021"}},
    {"手表", {"9101", "9102"}},
    {"吉他", {"9202"}},
    {"钢琴", {"9201"}},
    {"手枪", {"9302"}},
    {"沙发", {"9401"}},
    {"床垫", {"9404"}},
    {"台灯", {"9405"}},
    {"积木", {"9503"}},
    {"扑克牌", {"9504"}},
    {"跑步机", {"9506"}},
    {"鱼竿", {"9507"}},
    {"圆珠笔", {"9608"}},
    {"打火机", {"9613"}},
    {"纸尿裤", {"9619"}},
    {"油画", {"9701"}},
};

constexpr int kTop = 5;

bool readRows(const QString &databaseFile, QList<IndexRow> *rows)
{
    auto sqlca = bench::connectTo(databaseFile);
    if (!sqlca)
        return false;
    using runtime::ColumnType;
    const QList<ColumnType> types = {ColumnType::String, ColumnType::String};
    for (const auto &[sql, list] : {std::pair{QStringLiteral("SELECT code, name FROM list_hscode"), CodeList::Customs},
                                    std::pair{QStringLiteral("SELECT jmw_code, name FROM list_jmwcode"),
                                              CodeList::ForeignTrade}}) {
        QVector<QVector<QVariant>> result;
        if (sqlca->select(sql, types, &result) != 0) {
            std::fprintf(stderr, "%s\n", qPrintable(sqlca->sqlErrText()));
            return false;
        }
        for (const QVector<QVariant> &r : result)
            rows->append({list, r.value(0).toString(), r.value(1).toString(), {}, {}});
    }
    sqlca->disconnect();
    return true;
}

// A query as measured: the built-in ones, or those of a file given with --queries.
struct Asked {
    QString text;
    QStringList accepted;
};

std::vector<Asked> builtInQueries()
{
    std::vector<Asked> asked;
    for (const Query &q : kQueries) {
        QStringList accepted;
        for (const char *prefix : q.accepted)
            accepted << QString::fromLatin1(prefix);
        asked.push_back({QString::fromUtf8(q.text), accepted});
    }
    return asked;
}

// A file of one query a line: the words, a tab, the accepted code prefixes parted by commas;
// "#" starts a comment. A set of one's own, kept apart from the one the lexicon was tuned on.
bool queriesFrom(const QString &path, std::vector<Asked> *asked)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QStringList fields = line.split(u'\t');
        if (line.trimmed().isEmpty() || line.startsWith(u'#') || fields.size() != 2)
            continue;
        asked->push_back({fields[0].trimmed(), fields[1].trimmed().split(u',', Qt::SkipEmptyParts)});
    }
    return !asked->empty();
}

// The place (1-based) of the first accepted code among the first kTop customs lines; 0 if none.
int placeOf(const quicksearch::SearchIndex &index, const Asked &query)
{
    const quicksearch::Answer answer = index.search(query.text, 50);
    int place = 0;
    for (const quicksearch::Hit &hit : answer.hits) {
        ++place;
        if (place > kTop)
            return 0;
        const QString &code = index.row(hit.row).code;
        for (const QString &prefix : query.accepted) {
            if (code.startsWith(prefix.trimmed()))
                return place;
        }
    }
    return 0;
}

struct Figures {
    double recall = 0, mrr = 0;
};

Figures measure(const quicksearch::SearchIndex &index, const std::vector<Asked> &queries, bool showMisses)
{
    int found = 0;
    double reciprocal = 0;
    for (const Asked &query : queries) {
        const int place = placeOf(index, query);
        found += place > 0 ? 1 : 0;
        reciprocal += place > 0 ? 1.0 / place : 0;
        if (showMisses && place == 0) {
            std::printf("  missed %s:", qPrintable(query.text));
            for (const quicksearch::Hit &hit : index.search(query.text, kTop).hits)
                std::printf(" %s %s;", qPrintable(index.row(hit.row).code), qPrintable(index.row(hit.row).name.left(16)));
            std::printf("\n");
        }
    }
    const double n = double(queries.size());
    return {100.0 * found / n, reciprocal / n};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool showMisses = app.arguments().contains(QStringLiteral("--misses"));
    std::vector<Asked> queries;
    const int file = int(app.arguments().indexOf(QStringLiteral("--queries")));
    if (file > 0 ? !queriesFrom(app.arguments().value(file + 1), &queries) : (queries = builtInQueries(), false))
        return 1;
    QList<IndexRow> rows;
    if (!readRows(bench::UnattendedRun::bundled(), &rows))
        return 1;
    // ICU's data is loaded once before anything is measured.
    quicksearch::SearchIndex::build({{CodeList::Customs, QStringLiteral("01"), QStringLiteral("活動物"), {}, {}}}, {})
        .search(QStringLiteral("活動"));

    QElapsedTimer timer;
    timer.start();
    const quicksearch::SearchIndex plain = quicksearch::SearchIndex::build(rows, {});
    const double plainMs = timer.nsecsElapsed() / 1e6;
    timer.start();
    const auto lexicon = quicksearch::Lexicon::load(QStringLiteral(KIV_SOURCE_DIR "/db"));
    const double lexiconMs = timer.nsecsElapsed() / 1e6;
    timer.start();
    const quicksearch::SearchIndex words = quicksearch::SearchIndex::build(rows, {}, lexicon);
    const double wordsMs = timer.nsecsElapsed() / 1e6;
    for (const QString &problem : lexicon->problems)
        std::printf("dictionary: %s\n", qPrintable(problem));

    const Figures floor = measure(plain, queries, false);
    const Figures now = measure(words, queries, showMisses);
    std::printf("everyday names of goods: %zu queries, an accepted code among the first %d lines\n"
                "  with the lexicon:          recall@%d %.1f%%, MRR %.3f   (goal: recall@%d >= 90%%)\n"
                "  floor (without, as before): recall@%d %.1f%%, MRR %.3f\n"
                "index of %lld rows:\n"
                "  without the lexicon: build %.0f ms\n"
                "  with the lexicon:    read %.0f ms (%d words, %d everyday names), build %.0f ms (goal < 400 ms)\n",
                queries.size(), kTop, kTop, now.recall, now.mrr, kTop, kTop, floor.recall, floor.mrr,
                qlonglong(rows.size()), plainMs, lexiconMs, lexicon->words.size(), lexicon->everyday.size(),
                wordsMs);
    return 0;
}
