// The database that the build makes from the bundled code lists (db/make_db.py), and the
// generator's refusal of malformed inputs.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <functional>

#include "TestDatabase.h"
#include "TestEnv.h"
#include "support/TestMain.h"

namespace {

const QString kDatabase = QStringLiteral(KIV_RUN_DIR "/K-I-V.db");
const QString kSourceData = QStringLiteral(KIV_SOURCE_DIR "/db");
const QStringList kDataFiles = {QStringLiteral("cn_chapters_2026.csv"),
                                QStringLiteral("cn_hscode_2026.csv"),
                                QStringLiteral("harmonized-system.csv"),
                                QStringLiteral("supervision_certificates.csv"),
                                QStringLiteral("inspection_categories.csv")};

// The first value of a one-column query on the built database ("<null>" for null).
QString value(const QString &sql)
{
    const QStringList rows = TestDatabase::column(kDatabase, sql);
    return rows.isEmpty() ? QStringLiteral("<no row>") : rows.first();
}

int count(const QString &sql)
{
    bool ok = false;
    const int n = value(sql).toInt(&ok);
    return ok ? n : -1;
}

// Turns one line of a copied data file into a malformed one.
using LineEdit = std::function<QByteArray(const QByteArray &)>;

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

} // namespace

Q_DECLARE_METATYPE(LineEdit)

class TstBundledDatabase : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rowCounts_data();
    void rowCounts();
    void chapterRows();
    void hscodeRows_data();
    void hscodeRows();
    void jmwcodeRows_data();
    void jmwcodeRows();
    void codesAreWellFormed();
    void namesAreWhole();
    void rejectsMalformedInput_data();
    void rejectsMalformedInput();
    void failedRunKeepsExistingDatabase();

private:
    // A copy of the bundled CSV files in the test's own folder.
    QString copyData(const TestEnv &env);
    // Replaces line `line` (1-based) of a copied file by what `edit` makes of it.
    static bool editLine(const QString &file, int line,
                         const LineEdit &edit);
    Run makeDb(const QString &dataDir, const QString &outFile);

    QString m_python;
};

void TstBundledDatabase::initTestCase()
{
    // TestDatabase opens files read-write; check first so a missing database is not created empty.
    QVERIFY2(QFileInfo::exists(kDatabase), qPrintable(kDatabase + " was not built"));
    QVERIFY(QFileInfo(kDatabase).size() > 0);
    m_python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    QVERIFY2(!m_python.isEmpty(), "python3 not found");
}

void TstBundledDatabase::rowCounts_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::newRow("list_hscode") << "select count(*) from list_hscode" << 18900 << 19100;
    QTest::newRow("hs chapters") << "select count(*) from list_hscode where length(code)=2" << 97 << 97;
    QTest::newRow("hs headings") << "select count(*) from list_hscode where length(code)=4" << 1200 << 1240;
    QTest::newRow("hs subheadings") << "select count(*) from list_hscode where length(code)=6" << 5550 << 5650;
    QTest::newRow("hs lines") << "select count(*) from list_hscode where length(code)=10" << 12000 << 12100;
    QTest::newRow("list_jmwcode") << "select count(*) from list_jmwcode" << 6900 << 6980;
    QTest::newRow("jmw chapters") << "select count(*) from list_jmwcode where length(jmw_code)=2" << 96 << 96;
    QTest::newRow("multi-rate rebates")
        << "select count(*) from list_hscode where tsl_ym like '%,%'" << 400 << 500;
}

void TstBundledDatabase::rowCounts()
{
    QFETCH(QString, sql);
    QFETCH(int, low);
    QFETCH(int, high);
    const int n = count(sql);
    QVERIFY2(n >= low && n <= high, qPrintable(QStringLiteral("%1 rows").arg(n)));
}

void TstBundledDatabase::chapterRows()
{
    QCOMPARE(count("select count(*) from list_hscode where length(code)=2 "
                   "and (flag is null or flag<>'Y')"), 0);
    QCOMPARE(count("select count(*) from list_jmwcode where length(jmw_code)=2 "
                   "and (flag is null or flag<>'Y')"), 0);
    // Chapter names are the Chinese ones in both tables.
    QCOMPARE(value("select name from list_hscode where code='01'"), QString("活动物"));
    QCOMPARE(value("select name from list_jmwcode where jmw_code='84'"),
             value("select name from list_hscode where code='84'"));
    QCOMPARE(value("select name from list_jmwcode where jmw_code='84'"),
             QString("核反应堆、锅炉、机器、机械器具及其零件"));
    // China's national chapter 98 exists in the customs list only.
    QCOMPARE(count("select count(*) from list_hscode where code='98'"), 1);
    QCOMPARE(count("select count(*) from list_jmwcode where jmw_code='98'"), 0);
    // The chapter sub-select of the detail views finds every chapter.
    QCOMPARE(count("select count(*) from list_hscode where substr(code,1,2) in "
                   "(select code from list_hscode where length(code)=2 and flag='Y')"),
             count("select count(*) from list_hscode"));
}

void TstBundledDatabase::hscodeRows_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("expected");
    QTest::newRow("line name") << "0101210010" << "name" << "改良种用濒危野马";
    QTest::newRow("line unit") << "0101210010" << "unit" << "千克";
    QTest::newRow("line second unit") << "0101210010" << "note" << "头";
    QTest::newRow("line VAT") << "0101210010" << "zssl_set" << "9%";
    QTest::newRow("line zero rebate") << "0101210010" << "tsl" << "0";
    QTest::newRow("line rebate") << "0101210090" << "tsl" << "9";
    QTest::newRow("line rebate text") << "0101210090" << "tsl_ym" << "9%";
    QTest::newRow("line 8 digits") << "0101210010" << "zhcmcode" << "01012100";
    QTest::newRow("line MFN") << "0101290010" << "jksl" << "10";
    QTest::newRow("multi-rate highest") << "0305200090" << "tsl" << "13";
    QTest::newRow("multi-rate lowest") << "0305200090" << "tsl_new" << "9";
    QTest::newRow("multi-rate text") << "0305200090" << "tsl_ym" << "9%,13%";
    QTest::newRow("empty VAT") << "5201000080" << "zssl_set" << "<null>";
    QTest::newRow("consumption ad valorem") << "2208200010" << "cjdl" << "20";
    QTest::newRow("consumption specific") << "2208200010" << "clde" << "0.912";
    QTest::newRow("consumption text") << "2208200010" << "zssl_set1" << "20%+0.912元/升";
    QTest::newRow("heading") << "0101" << "name" << "Horses, asses, mules and hinnies; live";
    QTest::newRow("subheading") << "010121" << "name" << "Horses; live, pure-bred breeding animals";
    QTest::newRow("subheading unit") << "010121" << "unit" << "千克";
    QTest::newRow("heading flag") << "0101" << "flag" << "<null>";
}

void TstBundledDatabase::hscodeRows()
{
    QFETCH(QString, code);
    QFETCH(QString, column);
    QFETCH(QString, expected);
    QCOMPARE(value(QStringLiteral("select %1 from list_hscode where code='%2'").arg(column, code)),
             expected);
}

void TstBundledDatabase::jmwcodeRows_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("expected");
    QTest::newRow("subheading name") << "847130" << "name"
        << "Automatic data processing machines; portable, weighing not more than 10kg, consisting "
           "of at least a central processing unit, a keyboard and a display";
    QTest::newRow("machinery") << "847130" << "m_flag" << "Y";
    QTest::newRow("not machinery") << "0101" << "m_flag" << "N";
    QTest::newRow("unit") << "847130" << "unit" << "台";
    QTest::newRow("chapter unit") << "01" << "unit" << "<null>";
}

void TstBundledDatabase::jmwcodeRows()
{
    QFETCH(QString, code);
    QFETCH(QString, column);
    QFETCH(QString, expected);
    QCOMPARE(value(QStringLiteral("select %1 from list_jmwcode where jmw_code='%2'")
                       .arg(column, code)),
             expected);
}

void TstBundledDatabase::codesAreWellFormed()
{
    QCOMPARE(count("select count(*) from list_hscode where length(code) not in (2,4,6,10) "
                   "or code glob '*[^0-9]*'"), 0);
    QCOMPARE(count("select count(*) from list_jmwcode where length(jmw_code) not in (2,4,6) "
                   "or jmw_code glob '*[^0-9]*'"), 0);
    // Every longer code's chapter exists.
    QCOMPARE(count("select count(*) from list_hscode where length(code)>2 and substr(code,1,2) "
                   "not in (select code from list_hscode where length(code)=2)"), 0);
    QCOMPARE(count("select count(*) from list_jmwcode where length(jmw_code)>2 and "
                   "substr(jmw_code,1,2) not in "
                   "(select jmw_code from list_jmwcode where length(jmw_code)=2)"), 0);
    // Comtrade's pseudo codes are left out.
    QCOMPARE(count("select count(*) from list_hscode where code in ('TOTAL','99','9999','999999')"), 0);
    QCOMPARE(count("select count(*) from list_jmwcode "
                   "where jmw_code in ('TOTAL','99','9999','999999')"), 0);
    QCOMPARE(count("select count(*) from list_hscode where name is null or name=''"), 0);
    QCOMPARE(count("select count(*) from list_jmwcode where name is null or name=''"), 0);
    // Rebates: the highest rate in tsl, never below the lowest; empty rebates are null throughout.
    QCOMPARE(count("select count(*) from list_hscode where tsl < tsl_new"), 0);
    QCOMPARE(count("select count(*) from list_hscode where length(code)=10 and "
                   "((tsl is null) <> (tsl_ym is null) or (tsl is null) <> (tsl_new is null))"), 0);
    QVERIFY(count("select count(*) from list_hscode where length(code)=10 and tsl is null") > 0);
}

void TstBundledDatabase::namesAreWhole()
{
    // Longer than the declared widths (char(21), char(51)): stored whole.
    QVERIFY(count("select max(length(name)) from list_hscode where length(code)=10") > 21);
    QVERIFY(count("select max(length(name)) from list_jmwcode") > 51);
    QVERIFY(value("select name from list_hscode where code='95'").contains("电子游戏品"));
}

QString TstBundledDatabase::copyData(const TestEnv &env)
{
    const QString dir = env.path(QStringLiteral("data"));
    if (!QDir().mkpath(dir))
        return {};
    for (const QString &f : kDataFiles) {
        if (!QFile::copy(kSourceData + '/' + f, dir + '/' + f))
            return {};
    }
    return dir;
}

bool TstBundledDatabase::editLine(const QString &file, int line,
                                  const LineEdit &edit)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QList<QByteArray> lines = f.readAll().split('\n');
    f.close();
    if (line < 1 || line > lines.size())
        return false;
    const QByteArray before = lines[line - 1];
    lines[line - 1] = edit(before);
    if (lines[line - 1] == before || !f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(lines.join('\n')) > 0;
}

Run TstBundledDatabase::makeDb(const QString &dataDir, const QString &outFile)
{
    QProcess p;
    p.start(m_python, {QStringLiteral(KIV_SOURCE_DIR "/db/make_db.py"), QStringLiteral("--data"),
                       dataDir, QStringLiteral("--out"), outFile});
    Run run;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = p.exitCode();
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

void TstBundledDatabase::rejectsMalformedInput_data()
{
    using Edit = LineEdit;
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("problem");

    const auto replace = [](const char *from, const char *to) {
        return Edit([from, to](const QByteArray &l) { return QByteArray(l).replace(from, to); });
    };
    QTest::newRow("column missing") << "cn_hscode_2026.csv" << 5
        << Edit([](const QByteArray &l) { return l.left(l.lastIndexOf(',')); })
        << "expected 19 fields, found 18";
    QTest::newRow("column too many") << "harmonized-system.csv" << 40
        << Edit([](const QByteArray &l) { return l + ",x"; }) << "expected 5 fields, found 6";
    QTest::newRow("code not digits") << "cn_hscode_2026.csv" << 3
        << replace("0101210090,", "01012100X0,") << "digits only";
    QTest::newRow("code too short") << "cn_hscode_2026.csv" << 1000
        << Edit([](const QByteArray &l) { return l.mid(1); }) << "9 digits, expected 10";
    QTest::newRow("heading code length") << "harmonized-system.csv" << 3
        << replace("I,0101,", "I,01011,") << "5 digits";
    QTest::newRow("chapter duplicate") << "cn_chapters_2026.csv" << 4
        << replace("03,第3章", "02,第3章") << "duplicate code '02'";
    QTest::newRow("line duplicate") << "cn_hscode_2026.csv" << 5
        << replace("0101290090,", "0101290010,") << "duplicate code '0101290010' (first on line 4)";
    QTest::newRow("not UTF-8") << "cn_hscode_2026.csv" << 100
        << replace(",千克,", ",\xff\xfe,") << "not valid UTF-8";
    QTest::newRow("bad rebate") << "cn_hscode_2026.csv" << 474
        << replace("9%,13%", "9%;13%") << "bad export rebate rate";
    QTest::newRow("bad quoting") << "harmonized-system.csv" << 3
        << replace(",\"Horses,", ",\"\"x\"Horses,") << "bad CSV";
}

void TstBundledDatabase::rejectsMalformedInput()
{
    using Edit = LineEdit;
    QFETCH(QString, file);
    QFETCH(int, line);
    QFETCH(Edit, edit);
    QFETCH(QString, problem);

    TestEnv env;
    const QString data = copyData(env);
    QVERIFY(!data.isEmpty());
    QVERIFY2(editLine(data + '/' + file, line, edit), "the edit changed nothing");
    const QString out = env.path(QStringLiteral("run/K-I-V.db"));
    const Run run = makeDb(data, out);
    QVERIFY2(run.exitCode > 0, qPrintable(run.err));
    const QString where = QStringLiteral("%1/%2:%3:").arg(data, file).arg(line);
    QVERIFY2(run.err.contains(where), qPrintable(run.err));
    QVERIFY2(run.err.contains(problem), qPrintable(run.err));
    QVERIFY(!QFileInfo::exists(out));
    QVERIFY(!run.out.contains(QStringLiteral("rows")));
}

void TstBundledDatabase::failedRunKeepsExistingDatabase()
{
    TestEnv env;
    const QString data = copyData(env);
    QVERIFY(!data.isEmpty());
    const QString out = env.path(QStringLiteral("run/K-I-V.db"));

    const Run good = makeDb(data, out);
    QCOMPARE(good.exitCode, 0);
    QVERIFY2(good.out.contains(QStringLiteral("list_hscode: %1 rows")
                                   .arg(count("select count(*) from list_hscode"))),
             qPrintable(good.out));
    QVERIFY(good.out.contains(QStringLiteral("list_jmwcode: %1 rows")
                                  .arg(count("select count(*) from list_jmwcode"))));
    QFile built(out);
    QVERIFY(built.open(QIODevice::ReadOnly));
    const QByteArray before = built.readAll();
    built.close();

    QVERIFY(QFile::remove(data + "/harmonized-system.csv"));
    const Run missing = makeDb(data, out);
    QVERIFY(missing.exitCode > 0);
    QVERIFY2(missing.err.contains(data + "/harmonized-system.csv: file not found"),
             qPrintable(missing.err));

    QVERIFY(built.open(QIODevice::ReadOnly));
    QCOMPARE(built.readAll(), before);
    // Nothing is left behind beside the database.
    QCOMPARE(QDir(env.path(QStringLiteral("run"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("K-I-V.db")});
}

KIV_TEST_GUILESS_MAIN(TstBundledDatabase)
#include "tst_bundleddatabase.moc"
