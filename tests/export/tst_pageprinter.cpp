// Printed pages as a PDF: A4, the header on every page, the footer with program, edition,
// date and page numbers, and Chinese text that pdftotext gives back as written.
#include "core/export/PagePrinter.h"
#include "core/export/PrintDocument.h"

#include "ReadBack.h"
#include "core/sheet/SheetContent.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

using kivexport::ExportSheet;
using kivexport::PagePrinter;
using kivexport::PrintDocument;

namespace {
// pdftotext spaces the words as it sees fit: compare without any.
QString squeezed(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}
} // namespace

class tst_pageprinter : public QObject
{
    Q_OBJECT
private slots:
    void listPagesReadBack()
    {
        TestEnv env;
        ExportSheet sheet{QStringLiteral("海关商品"), {QStringLiteral("商品编码"), QStringLiteral("商品名称")}, {}, {}};
        sheet.editions = {QStringLiteral("CN2026 20260818")};
        for (int i = 0; i < 150; ++i)
            sheet.rows.append({QStringLiteral("01012100%1").arg(i, 2, 10, QLatin1Char('0')),
                               QStringLiteral("改良种用口岸马第%1号").arg(i)});
        // One name long enough to wrap over several lines.
        sheet.rows[5][1] = QStringLiteral("其他用途的马、驴、骡").repeated(20);
        PagePrinter printer;
        printer.setDate(QDate(2026, 8, 18));
        const QString path = env.path(QStringLiteral("第01章.pdf"));
        QVERIFY(printer.writePdf(path, PrintDocument::forSheets(QStringLiteral("0101 马"), {sheet})).ok());

        QString error;
        const QString text = readback::pdfText(path, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QVERIFY(pages.size() >= 3);
        for (int p = 0; p < pages.size(); ++p) {
            const QString page = squeezed(pages.at(p));
            QVERIFY2(page.contains(QStringLiteral("商品编码商品名称")), qPrintable(page.left(200)));
            QVERIFY(page.contains(QStringLiteral("第%1页，共%2页").arg(p + 1).arg(pages.size())));
            QVERIFY(page.contains(QStringLiteral("Kivtree")));
            QVERIFY(page.contains(QStringLiteral("CN202620260818")));
            QVERIFY(page.contains(QStringLiteral("2026-08-18")));
        }
        const QString all = squeezed(text);
        // 用, 口 and 马 are the characters some CJK fonts give back as radicals.
        for (int i : {0, 77, 149})
            QVERIFY2(all.contains(QStringLiteral("01012100%1改良种用口岸马第%2号").arg(i, 2, 10, QLatin1Char('0')).arg(i)),
                     qPrintable(QString::number(i)));
        QVERIFY(all.contains(squeezed(sheet.rows[5][1])));
        const QString info = QString::fromUtf8(readback::run(QStringLiteral("pdfinfo"), {path}, &error));
        QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
        QCOMPARE(QDir(env.workDir()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("第01章.pdf")});
    }

    void declarantsSheet()
    {
        TestEnv env;
        tariff::TariffRecord record;
        record.code = QStringLiteral("0101210010");
        record.name = QStringLiteral("改良种用濒危野马");
        record.mfnRate = QStringLiteral("0%");
        record.vatRate = QStringLiteral("9%");
        record.supervisionConditions = QStringLiteral("AB");
        record.declarationElements = QStringLiteral("1:品牌类型;2:出口享惠情况");
        const tariff::CodeList certificates({{QStringLiteral("A"), QStringLiteral("检验检疫")},
                                             {QStringLiteral("B"), QStringLiteral("电子底账")}});
        const auto content = sheet::SheetContent::forTariffLine(record, certificates, tariff::CodeList());
        const QString path = env.path(QStringLiteral("sheet.pdf"));
        PagePrinter printer;
        QVERIFY(printer.writePdf(path, PrintDocument::forSheet(content, {QStringLiteral("CN2026 20260818")})).ok());
        QString error;
        const QString text = squeezed(readback::pdfText(path, &error));
        QVERIFY2(error.isEmpty(), qPrintable(error));
        for (const QString &expected : {QStringLiteral("申报信息0101210010改良种用濒危野马"), QStringLiteral("最惠国税率0%"),
                                        QStringLiteral("增值税率9%"), QStringLiteral("A检验检疫"), QStringLiteral("品牌类型"),
                                        QStringLiteral("第1页，共1页")})
            QVERIFY2(text.contains(expected), qPrintable(expected));
    }
};

KIV_TEST_MAIN(tst_pageprinter)
#include "tst_pageprinter.moc"
