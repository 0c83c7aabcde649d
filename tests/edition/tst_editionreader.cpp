#include "core/edition/CustomsEditionReader.h"
#include "core/edition/EditionReader.h"
#include "core/edition/SourceText.h"

#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

using namespace edition;

Q_DECLARE_METATYPE(edition::Problem)

namespace {

const QByteArray kHeader = "code10,code8,code6,code4,chapter,name_cn,unit1,unit2,mfn_rate,provisional_rate,"
                           "general_rate,vat_rate,consumption_tax,export_rebate_rate,export_tax_rate,"
                           "export_provisional_rate,supervision_conditions,inspection_category,declaration_elements";
const QByteArray kLine2 = "0101210010,01012100,010121,0101,01,改良种用濒危野马,千克,头,0%,,0%,9%,0%,0%,,,AFEB,P/Q,"
                          "1:品牌类型;2:出口享惠情况";
const QByteArray kLine3 = "0101210090,01012100,010121,0101,01,改良种用马,千克,头,0%,,0%,9%,0%,\"9%,13%\",,,AB,P/Q,"
                          "1:品牌类型";
const QByteArray kChapters = "chapter,label_cn,name_cn,item_count\n01,第1章 活动物,活动物,2\n";

QByteArray lines(const QByteArray &second, const QByteArray &third, const QByteArray &header = kHeader)
{
    return header + '\n' + second + '\n' + third + '\n';
}

const QByteArray kTradeHeader = "section,hscode,description,parent,level";
const QByteArray kTradeRows = "I,01,Animals; live,TOTAL,2\n"
                              "I,0101,Horses,01,4\n"
                              "I,010121,Pure-bred breeding animals,0101,6\n";

QByteArray trade(const QByteArray &rows, const QByteArray &header = kTradeHeader)
{
    return header + '\n' + rows;
}

// A data folder the generator accepts, with the given lines, chapters and WCO files.
void writeDataFolder(const QString &dir, const QByteArray &linesFile, const QByteArray &chaptersFile,
                     const QByteArray &tradeFile = trade(kTradeRows))
{
    QDir().mkpath(dir);
    TestEnv::writeFile(dir + "/cn_hscode_2026.csv", linesFile);
    TestEnv::writeFile(dir + "/cn_chapters_2026.csv", chaptersFile);
    TestEnv::writeFile(dir + "/harmonized-system.csv", tradeFile);
    for (const char *list : {"supervision_certificates.csv", "inspection_categories.csv"})
        QFile::copy(QStringLiteral(KIV_SOURCE_DIR "/db/") + list, dir + '/' + list);
}

// make_db.py's verdict on a data folder: its exit code, and the file and line it names.
struct Verdict {
    int exitCode = -1;
    int line = -1;
    QString file;
};

// Runs the generator on every folder in one Python process (its start is most of the time).
QHash<QString, Verdict> makeDb(const QStringList &dirs)
{
    const QString harness = QStringLiteral(
        "import contextlib, io, sys\n"
        "sys.path.insert(0, sys.argv[1])\n"
        "import make_db\n"
        "for d in sys.argv[2:]:\n"
        "    err = io.StringIO()\n"
        "    with contextlib.redirect_stderr(err), contextlib.redirect_stdout(io.StringIO()):\n"
        "        code = make_db.main(['--data', d, '--out', d + '/out.db'])\n"
        "    print(d + '\\t' + str(code) + '\\t' + err.getvalue().strip().replace('\\n', ' '))\n");
    QProcess p;
    p.start(QStandardPaths::findExecutable(QStringLiteral("python3")),
            QStringList{QStringLiteral("-c"), harness, QStringLiteral(KIV_SOURCE_DIR "/db")} + dirs);
    QHash<QString, Verdict> verdicts;
    if (!p.waitForFinished(120000))
        return verdicts;
    static const QRegularExpression where(QStringLiteral("make_db: [^:]*/([^/:]+)(?::(\\d+))?: "));
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList parts = line.split(u'\t');
        Verdict v;
        v.exitCode = parts.value(1).toInt();
        const QRegularExpressionMatch m = where.match(parts.value(2));
        if (m.hasMatch()) {
            v.file = m.captured(1);
            v.line = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
        }
        verdicts.insert(parts.value(0), v);
    }
    return verdicts;
}

struct Case {
    const char *tag;
    QByteArray linesFile;
    QByteArray chaptersFile;
    Problem problem;
    int line;        // where the problem is; for a file that is read, where its second line ends (0: 3)
    bool inChapters; // the problem is the chapters file's
};

QVector<Case> cases()
{
    // The whole file as Excel saves it on a Chinese system.
    QStringEncoder toGbk("GB18030");
    const QByteArray gbk = toGbk(QString::fromUtf8(lines(kLine2, kLine3)));
    return {
        {"good", lines(kLine2, kLine3), kChapters, Problem::None, 0, false},
        {"byte-order mark", "\xEF\xBB\xBF" + lines(kLine2, kLine3), kChapters, Problem::None, 0, false},
        {"CR LF", lines(kLine2, kLine3).replace("\n", "\r\n"), kChapters, Problem::None, 0, false},
        {"extra column", lines(kLine2 + ",x", kLine3 + ",y", kHeader + ",remark"), kChapters, Problem::None, 0, false},
        {"GBK", gbk, kChapters, Problem::NotUtf8, 2, false},
        {"stray byte", lines(kLine2 + "\xff", kLine3), kChapters, Problem::NotUtf8, 2, false},
        {"header lacks vat_rate", lines(kLine2, kLine3, QByteArray(kHeader).replace("vat_rate,", "")), kChapters,
         Problem::MissingColumns, 1, false},
        {"header names a column twice", lines(kLine2 + ",x", kLine3 + ",y", kHeader + ",unit1"), kChapters,
         Problem::DuplicateColumn, 1, false},
        {"too few fields", lines(kLine2, kLine3.left(kLine3.lastIndexOf(','))), kChapters, Problem::FieldCount, 3,
         false},
        // A blank line and a record of empty fields (some programs end an export with ",,,,")
        // are no records: they are skipped wherever they are.
        {"blank line", lines(kLine2, "\n" + kLine3), kChapters, Problem::None, 4, false},
        {"record of empty fields at the end", lines(kLine2, kLine3) + ",,,,,,,,,,,,,,,,,,\n", kChapters, Problem::None,
         0, false},
        {"empty and blank records between", lines(kLine2, ",,,\n , ,\"\",\n" + kLine3), kChapters, Problem::None, 5,
         false},
        {"CR LF, empty records and a blank line at the end",
         lines(kLine2, kLine3).replace("\n", "\r\n") + ",,,,\r\n\r\n,,\r\n", kChapters, Problem::None, 0, false},
        {"chapters file ending in an empty record", lines(kLine2, kLine3), kChapters + ",,,\n", Problem::None, 0, true},
        {"one field among empty ones", lines(kLine2, kLine3) + ",,x,,\n", kChapters, Problem::FieldCount, 4, false},
        {"code of 9 digits", lines(kLine2.mid(1), kLine3), kChapters, Problem::BadCode, 2, false},
        {"code with a letter", lines(QByteArray(kLine2).replace("0101210010", "010121001X"), kLine3), kChapters,
         Problem::BadCode, 2, false},
        {"duplicate code", lines(kLine2, QByteArray(kLine3).replace("0101210090", "0101210010")), kChapters,
         Problem::DuplicateCode, 3, false},
        {"code8 not a prefix", lines(kLine2, QByteArray(kLine3).replace(",01012100,", ",01012900,")), kChapters,
         Problem::PrefixMismatch, 3, false},
        {"empty name", lines(kLine2, QByteArray(kLine3).replace("改良种用马", "  ")), kChapters, Problem::EmptyName, 3,
         false},
        {"VAT without %", lines(QByteArray(kLine2).replace(",9%,", ",9,"), kLine3), kChapters, Problem::BadRate, 2,
         false},
        {"rebate list with ;", lines(kLine2, QByteArray(kLine3).replace("9%,13%", "9%;13%")), kChapters,
         Problem::BadRate, 3, false},
        {"text after a quote", lines(kLine2, QByteArray(kLine3).replace("\"9%,13%\"", "\"9%\"x")), kChapters,
         Problem::BadCsv, 3, false},
        {"item_count off", lines(kLine2, kLine3), QByteArray(kChapters).replace(",2\n", ",3\n"),
         Problem::ItemCountMismatch, 2, true},
        {"chapter of 3 digits", lines(kLine2, kLine3), QByteArray(kChapters).replace("\n01,", "\n011,"),
         Problem::BadCode, 2, true},
        {"empty file", QByteArray(), kChapters, Problem::Empty, 0, false},
        {"headings' Chinese names", lines(kLine2, kLine3), kChapters + "0101,,马、驴、骡,\n010121,,改良种用马,\n",
         Problem::None, 0, false},
        {"heading without a name", lines(kLine2, kLine3), kChapters + "0101,,马,\n010121,, ,\n", Problem::EmptyName,
         4, true},
        {"heading given twice", lines(kLine2, kLine3), kChapters + "0101,,马,\n0101,,马匹,\n", Problem::DuplicateCode,
         4, true},
        {"heading of 8 digits", lines(kLine2, kLine3), kChapters + "01012100,,马,\n", Problem::BadCode, 3, true},
    };
}

struct TradeCase {
    const char *tag;
    QByteArray file;
    Problem problem;
    int line;
};

// What the foreign-trade list's rules add to the shared reading (encoding, CSV, header and
// field counts are the customs cases').
QVector<TradeCase> tradeCases()
{
    const QByteArray rows = kTradeRows;
    return {
        {"trade: Comtrade's totals left out, extra column",
         trade("TOTAL,TOTAL,All,,0,x\nI,01,Animals; live,TOTAL,2,x\nI,0101,Horses,01,4,x\n"
               "I,010121,Pure-bred breeding animals,0101,6,x\n,99,Other,TOTAL,2,x\n,9999,Other,99,4,x\n"
               ",999999,Other,9999,6,x\n,99,Other again,TOTAL,2,x\n",
               kTradeHeader + ",remark"),
         Problem::None, 0},
        {"trade: records of empty fields at the end",
         trade("TOTAL,TOTAL,All,,0,x\nI,01,Animals; live,TOTAL,2,x\nI,0101,Horses,01,4,x\n"
               "I,010121,Pure-bred breeding animals,0101,6,x\n,,,,,\n, , ,,,\n",
               kTradeHeader + ",remark"),
         Problem::None, 0},
        {"trade: header lacks level", trade("I,01,Animals; live,TOTAL\n", "section,hscode,description,parent"),
         Problem::MissingColumns, 1},
        {"trade: code of 5 digits", trade(QByteArray(rows).replace(",0101,Horses", ",01011,Horses")),
         Problem::BadCode, 3},
        {"trade: customs code of 10 digits", trade(rows + "I,0101210010,Horses,010121,10\n"), Problem::BadCode, 5},
        {"trade: code with a letter", trade(QByteArray(rows).replace("I,010121,", "I,01012A,")), Problem::BadCode, 4},
        {"trade: code given twice", trade(rows + "I,0101,Horses again,01,4\n"), Problem::DuplicateCode, 5},
        {"trade: level not the length", trade(QByteArray(rows).replace(",01,4", ",01,6")), Problem::BadLevel, 3},
        {"trade: parent not the prefix", trade(QByteArray(rows).replace(",0101,6", ",0102,6")), Problem::BadParent, 4},
        {"trade: parent missing", trade(rows + "I,010229,Cattle,0102,6\n"), Problem::BadParent, 5},
        {"trade: empty description", trade(QByteArray(rows).replace("Horses", " ")), Problem::EmptyName, 3},
        {"trade: chapters only", trade("I,01,Animals; live,TOTAL,2\n"), Problem::NoLines, 0},
    };
}

} // namespace

class tst_EditionReader : public QObject
{
    Q_OBJECT
private slots:
    // The same files go to the generator and to the import: both accept them, or both refuse
    // them at the same file and line.
    void initTestCase()
    {
        const QVector<Case> all = cases();
        QStringList dirs;
        for (qsizetype i = 0; i < all.size(); ++i) {
            dirs.append(m_env.path(QString::number(i)));
            writeDataFolder(dirs.last(), all[i].linesFile, all[i].chaptersFile);
        }
        const QVector<TradeCase> tradeAll = tradeCases();
        for (qsizetype i = 0; i < tradeAll.size(); ++i) {
            dirs.append(m_env.path(QStringLiteral("trade%1").arg(i)));
            writeDataFolder(dirs.last(), lines(kLine2, kLine3), kChapters, tradeAll[i].file);
        }
        m_verdicts = makeDb(dirs);
        QCOMPARE(m_verdicts.size(), all.size() + tradeAll.size());
    }
    void sameVerdictAsGenerator_data()
    {
        QTest::addColumn<int>("index");
        const QVector<Case> all = cases();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(all[i].tag) << i;
    }
    void sameVerdictAsGenerator()
    {
        QFETCH(int, index);
        const Case c = cases().at(index);
        const QString dir = m_env.path(QString::number(index));
        if (QByteArray(c.tag) == "GBK")
            QVERIFY2(c.linesFile.size() > 100, "no GB18030 encoder");

        EditionFile edition;
        ReadError error;
        const bool ok = CustomsEditionReader::read(dir + "/cn_hscode_2026.csv", dir + "/cn_chapters_2026.csv",
                                                   &edition, &error);
        QCOMPARE(error.problem, c.problem);
        QCOMPARE(ok, c.problem == Problem::None);
        const Verdict generator = m_verdicts.value(dir);
        QCOMPARE(generator.exitCode, ok ? 0 : 1);
        if (ok) {
            QCOMPARE(edition.lines.size(), 2);
            QCOMPARE(edition.lines[1].code, QStringLiteral("0101210090"));
            QCOMPARE(fieldOf(edition.lines[1].fields, Field::Name), QStringLiteral("改良种用马"));
            QCOMPARE(fieldOf(edition.lines[1].fields, Field::ExportRebate), QStringLiteral("9%,13%"));
            QCOMPARE(fieldOf(edition.lines[1].fields, Field::DeclarationElements), QStringLiteral("1:品牌类型"));
            QCOMPARE(edition.lines[1].line, c.line ? c.line : 3);
            QCOMPARE(edition.chapters.value(0).name, QStringLiteral("活动物"));
            QCOMPARE(edition.chapters.size(), 1);
            if (QByteArray(c.tag) == "headings' Chinese names") {
                QCOMPARE(edition.headingNames.size(), 2);
                QCOMPARE(edition.headingNames[1].code, QStringLiteral("010121"));
                QCOMPARE(edition.headingNames[1].name, QStringLiteral("改良种用马"));
                QCOMPARE(edition.headingNames[1].line, 4);
                // The generator keeps them too, in their own table.
                QCOMPARE(TestDatabase::column(dir + "/out.db", "SELECT code || ' ' || name FROM heading_name_cn "
                                                               "ORDER BY code"),
                         (QStringList{QStringLiteral("0101 马、驴、骡"), QStringLiteral("010121 改良种用马")}));
            } else {
                QVERIFY(edition.headingNames.isEmpty());
            }
            QCOMPARE(edition.extraColumns,
                     QByteArray(c.tag) == "extra column" ? QStringList{QStringLiteral("remark")} : QStringList());
            return;
        }
        const QString file = c.inChapters ? QStringLiteral("cn_chapters_2026.csv") : QStringLiteral("cn_hscode_2026.csv");
        QCOMPARE(QFileInfo(error.file).fileName(), file);
        QCOMPARE(error.line, c.line);
        QCOMPARE(generator.file, file);
        QCOMPARE(generator.line, c.line);
        QVERIFY(!error.message.isEmpty());
        // The advice to save as UTF-8 is for what looks like Excel's GBK, not any bad byte.
        QCOMPARE(error.message.contains(QStringLiteral("GBK")), QByteArray(c.tag) == "GBK");
    }

    void tradeSameVerdictAsGenerator_data()
    {
        QTest::addColumn<int>("index");
        const QVector<TradeCase> all = tradeCases();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(all[i].tag) << i;
    }
    void tradeSameVerdictAsGenerator()
    {
        QFETCH(int, index);
        const TradeCase c = tradeCases().at(index);
        const QString dir = m_env.path(QStringLiteral("trade%1").arg(index));
        const QString path = dir + "/harmonized-system.csv";
        QCOMPARE(EditionReader::detect(path), CodeList::ForeignTrade);
        EditionFile edition;
        ReadError error;
        const bool ok = EditionReader::read(path, QString(), std::nullopt, &edition, &error);
        QCOMPARE(error.problem, c.problem);
        const Verdict generator = m_verdicts.value(dir);
        QCOMPARE(generator.exitCode, ok ? 0 : 1);
        if (ok) {
            QCOMPARE(edition.list, CodeList::ForeignTrade);
            QCOMPARE(edition.tradeCodes.size(), 3);
            QCOMPARE(edition.tradeCodes[2].code, QStringLiteral("010121"));
            QCOMPARE(edition.tradeCodes[2].name, QStringLiteral("Pure-bred breeding animals"));
            QCOMPARE(edition.tradeCodes[2].section, QStringLiteral("I"));
            QCOMPARE(edition.tradeCodes[2].line, 5);
            QCOMPARE(edition.extraColumns, QStringList{QStringLiteral("remark")});
            return;
        }
        QCOMPARE(error.file, path);
        QCOMPARE(error.line, c.line);
        QCOMPARE(generator.file, QStringLiteral("harmonized-system.csv"));
        QCOMPARE(generator.line, c.line);
        QVERIFY(!error.message.isEmpty());
    }

    // The header tells the lists apart; anything that is not a foreign-trade list goes to
    // the customs reader, which names what is wrong. The chapters file is the customs list's.
    void detectsTheList_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("trade");
        QTest::newRow("customs") << lines(kLine2, kLine3) << false;
        QTest::newRow("trade") << trade(kTradeRows) << true;
        QTest::newRow("trade, byte-order mark, CR LF, quoted")
            << QByteArray("\xEF\xBB\xBF\"section\",\"hscode\",description,parent,level\r\n"
                          "I,01,A,TOTAL,2\r\nI,0101,B,01,4\r\n")
            << true;
        QTest::newRow("trade columns beside code10")
            << lines(kLine2 + ",x", kLine3 + ",y", kHeader + ",hscode") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("missing") << QByteArray("-") << false;
    }
    void detectsTheList()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, trade);
        TestEnv env;
        const QString path = env.path(QStringLiteral("edition.csv"));
        if (file != "-")
            QVERIFY(TestEnv::writeFile(path, file));
        QCOMPARE(EditionReader::detect(path), trade ? CodeList::ForeignTrade : CodeList::Customs);
        if (!trade)
            return;
        EditionFile edition;
        ReadError error;
        QVERIFY(!EditionReader::read(path, env.path(QStringLiteral("cn_chapters_2027.csv")), std::nullopt, &edition,
                                     &error));
        QCOMPARE(error.problem, Problem::ChaptersNotUsed);
        QVERIFY(EditionReader::read(path, QString(), std::nullopt, &edition, &error));
        QVERIFY(!EditionReader::read(path, QString(), CodeList::Customs, &edition, &error));
        QCOMPARE(error.problem, Problem::MissingColumns);
    }

    // What only the import meets: files that are no tariff at all, and files that change
    // under it. None gets as far as a line.
    void refusesWholeFile_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<Problem>("problem");
        QTest::newRow("missing") << "missing" << Problem::FileMissing;
        QTest::newRow("binary") << "binary" << Problem::Binary;
        QTest::newRow("over 50 MB") << "sparse" << Problem::TooLarge;
        QTest::newRow("written to while read") << "append" << Problem::Changed;
        QTest::newRow("removed while read") << "remove" << Problem::Disappeared;
        QTest::newRow("replaced while read") << "replace" << Problem::Changed;
        QTest::newRow("canceled") << "cancel" << Problem::Canceled;
    }
    void refusesWholeFile()
    {
        QFETCH(QString, action);
        QFETCH(Problem, problem);
        TestEnv env;
        const QString path = env.path(QStringLiteral("edition.csv"));
        if (action == QLatin1String("binary"))
            QVERIFY(TestEnv::writeFile(path, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)));
        else if (action != QLatin1String("missing"))
            QVERIFY(TestEnv::writeFile(path, lines(kLine2, kLine3)));
        if (action == QLatin1String("sparse")) {
            QFile f(path);
            QVERIFY(f.resize(SourceText::kMaxBytes + 1)); // a hole: no 50 MB written
        }
        int calls = 0;
        const Progress progress = [&](int) {
            ++calls;
            if (calls == 1 && action == QLatin1String("append")) {
                QFile f(path);
                f.open(QIODevice::Append);
                f.write("0101290010,x\n");
            } else if (calls == 1 && action == QLatin1String("remove")) {
                QFile::remove(path);
            } else if (calls == 1 && action == QLatin1String("replace")) {
                // An editor saving again: a new file, same size, renamed over the old one.
                TestEnv::writeFile(path + ".new", lines(kLine2, kLine3));
                QFile::remove(path);
                QFile::rename(path + ".new", path);
            }
            return action != QLatin1String("cancel");
        };
        EditionFile edition;
        ReadError error;
        QVERIFY(!CustomsEditionReader::read(path, QString(), &edition, &error, progress));
        QCOMPARE(error.problem, problem);
        QCOMPARE(error.line, problem == Problem::Binary ? 3 : 0); // the zero byte's line
        QVERIFY(error.text().startsWith(path));
        QVERIFY(edition.lines.isEmpty());
    }

    // Without a chapters file a line may open a chapter the database lacks; the file's
    // columns beyond those read are listed.
    void readsWithoutChapters()
    {
        TestEnv env;
        const QString path = env.path(QStringLiteral("edition.csv"));
        QVERIFY(TestEnv::writeFile(path, lines(kLine2, QByteArray(kLine3).replace("0101210090,01012100,010121,0101,01",
                                                                                "9901000010,99010000,990100,9901,99"))));
        EditionFile edition;
        ReadError error;
        QVERIFY2(CustomsEditionReader::read(path, QString(), &edition, &error), qPrintable(error.text()));
        QCOMPARE(edition.lines.size(), 2);
        QCOMPARE(edition.lines[1].code, QStringLiteral("9901000010"));
        QVERIFY(edition.chapters.isEmpty());
    }

private:
    TestEnv m_env;
    QHash<QString, Verdict> m_verdicts;
};

KIV_TEST_GUILESS_MAIN(tst_EditionReader)
#include "tst_editionreader.moc"
