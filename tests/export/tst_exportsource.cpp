// Reading an export's records: a subtree, a result list and a whole list of the bundled
// database, checked against the database read directly with SQLite.
#include "core/export/ExportColumns.h"
#include "core/export/ExportSource.h"
#include "core/export/ExportTable.h"

#include "core/runtime/Transaction.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QFile>
#include <QtTest>

#include <memory>

using kivexport::ExportRecord;
using kivexport::ExportSource;

namespace {

const QString kBundled = QStringLiteral(KIV_RUN_DIR "/K-I-V.db");

QString table(const QString &list)
{
    return list == QLatin1String("hs") ? QStringLiteral("list_hscode") : QStringLiteral("list_jmwcode");
}

QString codeColumn(const QString &list)
{
    return list == QLatin1String("hs") ? QStringLiteral("code") : QStringLiteral("jmw_code");
}

QStringList codesOf(const QList<ExportRecord> &records)
{
    QStringList codes;
    for (const ExportRecord &r : records)
        codes.append(r.code);
    return codes;
}

// "<null>" as TestDatabase gives it reads as an empty cell.
QString cell(const QString &value)
{
    return value == QLatin1String("<null>") ? QString() : value;
}

} // namespace

class tst_exportsource : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> m_env;
    QString m_file;
    std::unique_ptr<runtime::Transaction> m_sqlca;

private slots:
    void initTestCase()
    {
        m_env = std::make_unique<TestEnv>();
        m_file = m_env->path(QStringLiteral("K-I-V.db"));
        QVERIFY(QFile::copy(kBundled, m_file));
        QVERIFY(TestDatabase::exec(m_file, QStringLiteral(
            "INSERT INTO user_note(list, code, note, keywords, changed_at, changed_by, version) VALUES "
            "('hs', '0101210010', '客户A, 常用', '', '2026-01-01T00:00:00+08:00', 'u', 1),"
            "('jmw', '0101', '=外经贸备注', '', '2026-01-01T00:00:00+08:00', 'u', 1)")));
        m_sqlca = std::make_unique<runtime::Transaction>();
        m_sqlca->dbParm = QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(m_file));
        QCOMPARE(m_sqlca->connect(), 0);
    }
    void cleanupTestCase()
    {
        m_sqlca.reset();
        m_env.reset();
    }

    void subtreeMatchesTheDatabase_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("code");
        QTest::newRow("customs heading") << "hs" << "0101";
        QTest::newRow("customs chapter 98: lines right below the chapter") << "hs" << "98";
        QTest::newRow("customs line alone") << "hs" << "0101210010";
        QTest::newRow("foreign-trade chapter") << "jmw" << "03";
    }
    void subtreeMatchesTheDatabase()
    {
        QFETCH(QString, list);
        QFETCH(QString, code);
        ExportSource source(m_sqlca.get());
        const auto records = source.subtree(list, code);
        QVERIFY2(records, qPrintable(source.lastError()));
        const QString where = QStringLiteral(" FROM %1 WHERE %2 LIKE '%3%' ORDER BY %2").arg(table(list), codeColumn(list), code);
        const QStringList codes = TestDatabase::column(m_file, QStringLiteral("SELECT ") + codeColumn(list) + where);
        QVERIFY(!codes.isEmpty());
        QCOMPARE(codesOf(*records), codes);
        const QStringList names = TestDatabase::column(m_file, QStringLiteral("SELECT name") + where);
        const QStringList units = TestDatabase::column(m_file, QStringLiteral("SELECT unit") + where);
        const QStringList all = TestDatabase::column(m_file, QStringLiteral("SELECT %1 FROM %2").arg(codeColumn(list), table(list)));
        for (int i = 0; i < codes.size(); ++i) {
            const ExportRecord &r = records->at(i);
            QCOMPARE(r.list, list);
            QCOMPARE(r.name, names.at(i));
            QCOMPARE(r.unit1, cell(units.at(i)));
            // The parent is the longest shorter prefix that is a code of the same list.
            QString parent;
            for (qsizetype n = 2; n < r.code.size(); n += 2)
                if (all.contains(r.code.left(n)))
                    parent = r.code.left(n);
            QCOMPARE(r.parent, parent);
        }
        if (list == QLatin1String("hs")) {
            const QStringList rates = TestDatabase::column(m_file, QStringLiteral(
                "SELECT coalesce(h.sz,'') || '|' || coalesce(h.zssl_set,'') || '|' || coalesce(h.tsl_ym,'') || '|' || "
                "coalesce(t.general_rate,'') || '|' || coalesce(t.declaration_elements,'') FROM list_hscode h "
                "LEFT JOIN tariff_line t ON t.code = h.code WHERE h.code LIKE '%1%' ORDER BY h.code").arg(code));
            for (int i = 0; i < codes.size(); ++i) {
                const ExportRecord &r = records->at(i);
                QCOMPARE(QStringList({r.mfnRate, r.vatRate, r.exportRebate, r.generalRate, r.declarationElements})
                             .join(QLatin1Char('|')),
                         rates.at(i));
            }
        }
    }

    void namesTheLettersAndCarriesTheNote()
    {
        ExportSource source(m_sqlca.get());
        const auto records = source.codes({{QStringLiteral("hs"), QStringLiteral("0101210010")},
                                           {QStringLiteral("jmw"), QStringLiteral("0101")}});
        QVERIFY(records);
        QCOMPARE(records->size(), 2);
        const ExportRecord &line = records->at(0);
        const QString letters = TestDatabase::column(m_file, QStringLiteral(
            "SELECT supervision_conditions FROM tariff_line WHERE code = '0101210010'")).value(0);
        QVERIFY(line.supervision.startsWith(letters + QStringLiteral("：")));
        for (const QChar letter : letters) {
            const QString name = TestDatabase::column(m_file, QStringLiteral(
                "SELECT name FROM supervision_certificate WHERE code = '%1'").arg(letter)).value(0);
            QVERIFY2(line.supervision.contains(QString(letter) + QLatin1Char(' ') + name), qPrintable(line.supervision));
        }
        QVERIFY2(line.inspection.contains(QStringLiteral("P 进境动植物")), qPrintable(line.inspection));
        QCOMPARE(line.note, QStringLiteral("客户A, 常用"));
        QCOMPARE(line.opUser, QStringLiteral("CN2026"));
        QCOMPARE(records->at(1).note, QStringLiteral("=外经贸备注"));
        QCOMPARE(records->at(1).list, QStringLiteral("jmw"));
    }

    void resultListKeepsItsOrderAcrossBatches()
    {
        QStringList lines = TestDatabase::column(m_file, QStringLiteral(
            "SELECT code FROM list_hscode WHERE code LIKE '84%' AND length(code) = 10 ORDER BY code DESC"));
        QVERIFY(lines.size() > 1000);
        QList<ExportSource::Key> keys;
        for (const QString &c : lines)
            keys.append({QStringLiteral("hs"), c});
        keys.insert(3, {QStringLiteral("hs"), QStringLiteral("0000000000")}); // gone from the list
        keys.insert(7, {QStringLiteral("jmw"), QStringLiteral("8401")});
        ExportSource source(m_sqlca.get());
        const auto records = source.codes(keys);
        QVERIFY(records);
        QStringList expected = lines;
        expected.insert(6, QStringLiteral("8401"));
        QCOMPARE(codesOf(*records), expected);
        QCOMPARE(records->at(6).list, QStringLiteral("jmw"));
    }

    void wholeListsAndSheets()
    {
        ExportSource source(m_sqlca.get());
        const auto customs = source.wholeList(QStringLiteral("hs"));
        const auto foreign = source.wholeList(QStringLiteral("jmw"));
        QVERIFY(customs && foreign);
        QCOMPARE(customs->size(), TestDatabase::column(m_file, QStringLiteral("SELECT count(*) FROM list_hscode")).value(0).toInt());
        QCOMPARE(foreign->size(), TestDatabase::column(m_file, QStringLiteral("SELECT count(*) FROM list_jmwcode")).value(0).toInt());
        // One sheet per list, in the order the lists come; the editions of the customs rows.
        const auto sheets = kivexport::ExportTable::build(*foreign + *customs, kivexport::ExportColumns::all());
        QCOMPARE(sheets.size(), 2);
        QCOMPARE(sheets.at(0).rows.size(), foreign->size());
        QCOMPARE(sheets.at(1).rows.size(), customs->size());
        QCOMPARE(sheets.at(0).editions, QStringList());
        QCOMPARE(sheets.at(1).editions, QStringList({QStringLiteral("CN2026 20260818"), QStringLiteral("HS2022 20241025")}));
    }
};

KIV_TEST_GUILESS_MAIN(tst_exportsource)
#include "tst_exportsource.moc"
