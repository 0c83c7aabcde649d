#include "core/library/ItemExport.h"
#include "core/library/ItemImport.h"
#include "core/library/XlsxSheetReader.h"
#include "core/runtime/Transaction.h"
#include "support/SystemPython.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QtTest>

using library::ItemImport;
using library::XlsxSheetReader;

// Items read from Excel workbooks: the library's own export read back, and workbooks as other
// programs write them (inline strings, rich text with phonetic runs, formulas with their cached
// values, codes kept as numbers, empty rows, a sheet part of another name), made here as zip
// files of hand-written XML.
namespace {

const char kLines[] =
    "INSERT INTO list_hscode (code, name) VALUES ('0101210010', '改良种用濒危野马'), ('8471300000', '便携式电脑'),"
    " ('8517130000', '智能手机');"
    "INSERT INTO tariff_line (code, declaration_elements) VALUES ('8471300000', '1:品牌类型;2:型号');";

// A workbook whose first sheet is xl/worksheets/data.xml with the given rows XML and shared strings.
bool writeWorkbook(const QString &path, const QString &sheetData, const QString &shared)
{
    const QString script = QStringLiteral(R"(
import sys, zipfile
path, rows, shared = sys.argv[1], sys.argv[2], sys.argv[3]
ns = 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'
rel = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('[Content_Types].xml', '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>')
    z.writestr('xl/workbook.xml', '<workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="items" sheetId="1" r:id="rId7"/></sheets></workbook>' % (ns, rel))
    z.writestr('xl/_rels/workbook.xml.rels', '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId7" Type="%s/worksheet" Target="worksheets/data.xml"/></Relationships>' % rel)
    z.writestr('xl/worksheets/data.xml', '<worksheet xmlns="%s"><sheetData>%s</sheetData></worksheet>' % (ns, rows))
    if shared:
        z.writestr('xl/sharedStrings.xml', '<sst xmlns="%s">%s</sst>' % (ns, shared))
)");
    return QProcess::execute(systemPython(), {QStringLiteral("-c"), script, path, sheetData, shared}) == 0;
}

QString inlineCell(const QString &ref, const QString &text)
{
    return QStringLiteral("<c r=\"%1\" t=\"inlineStr\"><is><t>%2</t></is></c>").arg(ref, text);
}

} // namespace

class tst_XlsxItems : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        const QString file = m_env->path(QStringLiteral("K-I-V.db"));
        QVERIFY(TestDatabase::create(file) && TestDatabase::exec(file, QString::fromUtf8(kLines)));
        QVERIFY(TestDatabase::connect(m_sqlca, file));
    }
    void cleanup()
    {
        m_sqlca.disconnect();
        m_env.reset();
    }

    void cellReferencesAndNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("number");
        QTest::newRow("A1") << "A1" << 0 << "8471300000";
        QTest::newRow("Z9") << "Z9" << 25 << "8.4713E9";
        QTest::newRow("AA10") << "AA10" << 26 << "101210010.0";
        QTest::newRow("no letters") << "12" << -1 << "0.5";
        QTest::newRow("not a number") << "" << -1 << "abc";
    }
    void cellReferencesAndNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, column);
        QFETCH(QString, number);
        QCOMPARE(XlsxSheetReader::columnOf(text), column);
        const QHash<QString, QString> shown{{"8471300000", "8471300000"}, {"8.4713E9", "8471300000"},
                                            {"101210010.0", "101210010"}, {"0.5", "0.5"}, {"abc", "abc"}};
        QCOMPARE(XlsxSheetReader::numberText(number), shown.value(number));
    }

    void theLibrarysOwnWorkbookReadsBack()
    {
        library::Item it;
        it.partNumber = QStringLiteral("=NB-1"); // guarded as text on the way out, taken back as it was
        it.name = QStringLiteral("笔记本电脑");
        it.model = QStringLiteral("14寸");
        it.code = QStringLiteral("8471300000");
        it.elementValues = QStringLiteral("无品牌|X1");
        it.reason = QStringLiteral("归类总规则一");
        const QString path = m_env->path(QStringLiteral("items.xlsx"));
        QVERIFY(library::ItemExport::write(path, {it}, {{"8471300000", "便携式电脑"}}).ok());
        ItemImport import;
        QString error;
        QVERIFY2(import.read(path, &m_sqlca, &error), qPrintable(error));
        QCOMPARE(import.rows().size(), 1);
        const library::Item back = import.rows().first().item;
        QCOMPARE(import.rows().first().problem, QString());
        QCOMPARE(back.partNumber, it.partNumber);
        QCOMPARE(back.name, it.name);
        QCOMPARE(back.model, it.model);
        QCOMPARE(back.code, it.code);
        QCOMPARE(back.elementValues, it.elementValues);
        QCOMPARE(back.reason, it.reason);
    }

    void anotherProgramsWorkbookIsReadAsExcelShowsIt()
    {
        const QString header = QStringLiteral("<row r=\"2\">%1%2%3%4</row>")
                                   .arg(inlineCell("A2", "料号"), inlineCell("B2", "品名"), inlineCell("C2", "规格型号"),
                                        QStringLiteral("<c r=\"D2\" t=\"s\"><v>0</v></c>"));
        const QString rows =
            header
            // a code as a number in exponent form, a name in rich text with a phonetic run
            + QStringLiteral("<row r=\"3\">%1<c r=\"B3\" t=\"s\"><v>1</v></c><c r=\"D3\"><v>8.4713E9</v></c></row>")
                  .arg(inlineCell("A3", "A-1"))
            // an empty row, then a row whose cells carry no reference
            + QStringLiteral("<row r=\"4\"/><row r=\"5\"><c t=\"inlineStr\"><is><t>A-2</t></is></c>"
                             "<c t=\"inlineStr\"><is><t>野马</t></is></c><c/><c><v>101210010</v></c></row>")
            // a formula: its cached value, never the formula
            + QStringLiteral("<row r=\"7\">%1%2<c r=\"D7\" t=\"str\"><f>\"8517\"&amp;\"130000\"</f><v>8517130000</v></c></row>")
                  .arg(inlineCell("A7", "A-3"), inlineCell("B7", "手机"));
        const QString shared = QStringLiteral("<si><t>商品编码</t></si>"
                                              "<si><r><t>笔记</t></r><r><rPr><b/></rPr><t>本</t></r>"
                                              "<rPh sb=\"0\" eb=\"1\"><t>ビジネス</t></rPh></si>");
        const QString path = m_env->path(QStringLiteral("other.xlsx"));
        QVERIFY(writeWorkbook(path, rows, shared));
        ItemImport import;
        QString error;
        QVERIFY2(import.read(path, &m_sqlca, &error), qPrintable(error));
        QStringList seen;
        for (const auto &row : import.rows())
            seen << QStringLiteral("%1 %2 %3 %4 %5").arg(row.line).arg(row.item.partNumber, row.item.name, row.item.code,
                                                       row.problem);
        QCOMPARE(seen, (QStringList{"3 A-1 笔记本 8471300000 ", "5 A-2 野马 0101210010 ", "7 A-3 手机 8517130000 "}));
    }

    void aFileThatIsNoWorkbookIsRefusedInWords_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("said");
        QTest::newRow("text") << QByteArray("料号,品名\n") << "无法打开 Excel 文件";
        QTest::newRow("empty") << QByteArray() << "无法打开 Excel 文件";
    }
    void aFileThatIsNoWorkbookIsRefusedInWords()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, said);
        const QString path = m_env->path(QStringLiteral("broken.xlsx"));
        QVERIFY(TestEnv::writeFile(path, content));
        ItemImport import;
        QString error;
        QVERIFY(!import.read(path, &m_sqlca, &error));
        QVERIFY2(error.startsWith(said), qPrintable(error));
    }

    void anEmptySheetIsRefused()
    {
        const QString path = m_env->path(QStringLiteral("nosheet.xlsx"));
        QVERIFY(writeWorkbook(path, QString(), QString()));
        // The sheet is there but empty: nothing to read, said so.
        ItemImport import;
        QString error;
        QVERIFY(!import.read(path, &m_sqlca, &error));
        QCOMPARE(error, QStringLiteral("Excel 文件的第一个工作表是空的。"));
    }

private:
    std::unique_ptr<TestEnv> m_env;
    runtime::Transaction m_sqlca;
};

KIV_TEST_GUILESS_MAIN(tst_XlsxItems)
#include "tst_xlsxitems.moc"
