// Workbooks read back with openpyxl: a chapter of the bundled database cell by cell against
// the database, strings never numbers or formulas, Excel's cell limit, one sheet per list.
#include "core/export/ExportColumns.h"
#include "core/export/ExportSource.h"
#include "core/export/ExportTable.h"
#include "core/export/XlsxWriter.h"

#include "ReadBack.h"
#include "core/runtime/Transaction.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QDir>
#include <QtTest>

using kivexport::Column;
using kivexport::ExportSheet;
using kivexport::XlsxWriter;

namespace {
const QString kBundled = QStringLiteral(KIV_RUN_DIR "/K-I-V.db");
}

class tst_xlsxwriter : public QObject
{
    Q_OBJECT
private slots:
    void chapterReadsBackAsTheDatabaseHasIt()
    {
        TestEnv env;
        runtime::Transaction sqlca;
        sqlca.dbParm = QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(kBundled));
        QCOMPARE(sqlca.connect(), 0);
        kivexport::ExportSource source(&sqlca);
        const auto records = source.subtree(QStringLiteral("hs"), QStringLiteral("01"));
        QVERIFY(records);
        const QList<Column> columns = {Column::Code, Column::Name, Column::Unit1, Column::MfnRate, Column::VatRate,
                                       Column::ExportRebate, Column::Supervision};
        const QString path = env.path(QStringLiteral("第01章.xlsx"));
        QVERIFY(XlsxWriter::write(path, kivexport::ExportTable::build(*records, columns), nullptr).ok());

        QString error;
        const QList<readback::Sheet> sheets = readback::xlsx(path, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(sheets.size(), 1);
        const readback::Sheet &sheet = sheets.first();
        QCOMPARE(sheet.title, QStringLiteral("海关商品"));
        QCOMPARE(sheet.freeze, QStringLiteral("A2"));
        const QStringList expected = TestDatabase::column(kBundled, QStringLiteral(
            "SELECT h.code || '|' || h.name || '|' || coalesce(h.unit,'') || '|' || coalesce(h.sz,'') || '|' || "
            "coalesce(h.zssl_set,'') || '|' || coalesce(h.tsl_ym,'') || '|' || coalesce(t.supervision_conditions,'') "
            "FROM list_hscode h LEFT JOIN tariff_line t ON t.code = h.code WHERE h.code LIKE '01%' ORDER BY h.code"));
        QCOMPARE(sheet.values.size(), 1 + expected.size());
        QCOMPARE(sheet.values.first().first(), QStringLiteral("商品编码"));
        for (int i = 0; i < expected.size(); ++i) {
            QStringList row = sheet.values.at(i + 1);
            // The supervision cell names the letters after them: compare the letters.
            row.last() = row.last().section(QStringLiteral("："), 0, 0);
            QCOMPARE(row.join(QLatin1Char('|')), expected.at(i));
            for (const QString &type : sheet.types.at(i + 1))
                QVERIFY2(type == QLatin1String("s") || type == QLatin1String("n") /* empty */, qPrintable(type));
            QCOMPARE(sheet.types.at(i + 1).first(), QStringLiteral("s")); // "0101210010" keeps its zero
        }
        // Widths follow the texts: the names (Chinese, counted double) are wider than the codes.
        QCOMPARE(sheet.widths.size(), columns.size());
        QVERIFY(sheet.widths.at(0) >= 10 + 2);
        QVERIFY(sheet.widths.at(1) > sheet.widths.at(0));
        QVERIFY(sheet.widths.at(1) < XlsxWriter::kMaxWidth + 1); // the file adds a pixel's padding
    }

    void stringsStayStringsAndLongCellsAreCut()
    {
        TestEnv env;
        const QString longNote = QString(40000, QChar(u'备'));
        ExportSheet customs{QStringLiteral("海关商品"), {QStringLiteral("编码"), QStringLiteral("备注")}, {}, {}};
        customs.rows = {{QStringLiteral("0101210010"), QStringLiteral("=SUM(A1:A2)")},
                        {QStringLiteral("007"), QStringLiteral("+1, \"引号\"\n换行")},
                        {QStringLiteral("1E5"), longNote},
                        {QStringLiteral("@x"), QStringLiteral("-3%")}};
        ExportSheet foreign{QStringLiteral("外经贸商品"), customs.headers, {{QStringLiteral("01"), QStringLiteral("活动物")}}, {}};
        const QString path = env.path(QStringLiteral("x.xlsx"));
        QVERIFY(TestEnv::writeFile(path, "old"));
        QVERIFY(XlsxWriter::write(path, {customs, foreign}, nullptr).ok());
        QString error;
        const QList<readback::Sheet> sheets = readback::xlsx(path, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(sheets.size(), 2);
        QCOMPARE(sheets.at(1).title, QStringLiteral("外经贸商品"));
        QCOMPARE(sheets.at(1).values.at(1), QStringList({QStringLiteral("01"), QStringLiteral("活动物")}));
        const readback::Sheet &s = sheets.at(0);
        for (int r = 0; r < 4; ++r) {
            QCOMPARE(s.types.at(r + 1), QStringList({QStringLiteral("s"), QStringLiteral("s")}));
            if (r != 2)
                QCOMPARE(s.values.at(r + 1), customs.rows.at(r));
        }
        const QString cut = s.values.at(3).at(1);
        QCOMPARE(cut.size(), XlsxWriter::kMaxCellLength);
        QVERIFY(cut.endsWith(XlsxWriter::cutMark()));
        QVERIFY(longNote.startsWith(cut.chopped(XlsxWriter::cutMark().size())));
        QCOMPARE(QDir(env.workDir()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("x.xlsx")});
    }

    void cellText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("cut");
        const QString emoji = QStringLiteral("😀");
        QTest::newRow("at the limit") << QString(XlsxWriter::kMaxCellLength, u'a') << XlsxWriter::kMaxCellLength << false;
        QTest::newRow("one over") << QString(XlsxWriter::kMaxCellLength + 1, u'a') << XlsxWriter::kMaxCellLength << true;
        // A pair of surrogates at the cut stays whole: one unit shorter.
        QTest::newRow("no half character") << QString(XlsxWriter::kMaxCellLength - XlsxWriter::cutMark().size() - 1, u'a') + emoji.repeated(10)
                                           << XlsxWriter::kMaxCellLength - 1 << true;
        QTest::newRow("control characters dropped") << QStringLiteral("a\x01" "b\tc\n") << 5 << false;
    }
    void cellText()
    {
        QFETCH(QString, text);
        QFETCH(int, length);
        QFETCH(bool, cut);
        const QString written = XlsxWriter::cellText(text);
        QCOMPARE(written.size(), length);
        QCOMPARE(written.endsWith(XlsxWriter::cutMark()), cut);
        QVERIFY(!written.chopped(cut ? XlsxWriter::cutMark().size() : 0).back().isHighSurrogate());
    }

    void cancelKeepsTheOldFile()
    {
        TestEnv env;
        const QString path = env.path(QStringLiteral("old.xlsx"));
        QVERIFY(TestEnv::writeFile(path, "old"));
        ExportSheet sheet{QStringLiteral("海关商品"), {QStringLiteral("编码")}, {}, {}};
        for (int i = 0; i < 2000; ++i)
            sheet.rows.append({QString::number(i)});
        kivexport::ExportProgress progress;
        progress.cancelled = true;
        QCOMPARE(XlsxWriter::write(path, {sheet}, &progress).status, kivexport::WriteResult::Status::Cancelled);
        QCOMPARE(TestEnv::readFile(path), QByteArray("old"));
        QCOMPARE(QDir(env.workDir()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.xlsx")});
    }
};

KIV_TEST_GUILESS_MAIN(tst_xlsxwriter)
#include "tst_xlsxwriter.moc"
