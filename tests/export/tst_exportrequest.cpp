// The plain choices behind the export dialog: file names and suffixes, and the columns as
// the profile keeps them.
#include "core/export/ExportColumns.h"
#include "core/export/ExportRequest.h"
#include "support/TestMain.h"

#include <QFile>
#include <QtTest>

using namespace kivexport;

class tst_exportrequest : public QObject
{
    Q_OBJECT
private slots:
    void withSuffix_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("expected");
        QTest::newRow("added") << "a/马" << int(Format::Xlsx) << "a/马.xlsx";
        QTest::newRow("kept, any case") << "a/b.CSV" << int(Format::Csv) << "a/b.CSV";
        QTest::newRow("ours replaced") << "a/b.xlsx" << int(Format::Pdf) << "a/b.pdf";
        QTest::newRow("another kept, ours added") << "a/b.txt" << int(Format::Csv) << "a/b.txt.csv";
        QTest::newRow("empty stays empty") << "" << int(Format::Csv) << "";
    }
    void withSuffix()
    {
        QFETCH(QString, path);
        QFETCH(int, format);
        QFETCH(QString, expected);
        QCOMPARE(ExportRequest::withSuffix(path, Format(format)), expected);
        if (!expected.isEmpty())
            QCOMPARE(ExportRequest::formatOf(expected, Format::Xlsx), Format(format));
    }

    void fileNameFitsTheFileSystem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "活动物" << "01 活动物.csv";
        QTest::newRow("slashes and colons") << "a/b:c*d?" << "01 a_b_c_d_.csv";
        QTest::newRow("long Chinese name") << QString(200, u'马') << "";
    }
    void fileNameFitsTheFileSystem()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QString file = ExportRequest::fileName(What::Node, QStringLiteral("01"), name, Format::Csv);
        if (!expected.isEmpty())
            QCOMPARE(file, expected);
        QVERIFY(QFile::encodeName(file).size() <= 200);
        QVERIFY(file.startsWith(QStringLiteral("01 ")) && file.endsWith(QStringLiteral(".csv")));
        QVERIFY(!file.contains(QLatin1Char('/')));
    }

    void columnsKeptByKey_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("read");
        QTest::newRow("order of the columns, not of the text") << "name,code" << "code,name";
        QTest::newRow("case and blanks") << " CODE , Note" << "code,note";
        QTest::newRow("unknown dropped") << "code,colour" << "code";
        QTest::newRow("nothing known gives the defaults") << "colour" << ExportColumns::toKeys(ExportColumns::defaults());
        QTest::newRow("empty gives the defaults") << "" << ExportColumns::toKeys(ExportColumns::defaults());
    }
    void columnsKeptByKey()
    {
        QFETCH(QString, keys);
        QFETCH(QString, read);
        QCOMPARE(ExportColumns::toKeys(ExportColumns::fromKeys(keys)), read);
    }

    void everyColumnRoundTrips()
    {
        const QList<Column> all = ExportColumns::all();
        QCOMPARE(ExportColumns::fromKeys(ExportColumns::toKeys(all)), all);
        QStringList headings;
        for (Column c : all)
            headings.append(ExportColumns::heading(c));
        QCOMPARE(QSet<QString>(headings.begin(), headings.end()).size(), all.size());
    }
};

KIV_TEST_GUILESS_MAIN(tst_exportrequest)
#include "tst_exportrequest.moc"
