// CSV as a spreadsheet reads it: RFC 4180 quoting, formula-looking fields made text, read
// back with Python's csv module.
#include "core/export/CsvWriter.h"

#include "ReadBack.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QDir>
#include <QtTest>

using kivexport::CsvWriter;
using kivexport::ExportSheet;
using kivexport::WriteResult;

class tst_csvwriter : public QObject
{
    Q_OBJECT
private slots:
    void field_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "0101210010" << "0101210010";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("comma") << "马, 驴" << "\"马, 驴\"";
        QTest::newRow("quotes doubled") << "所谓\"纯种\"" << "\"所谓\"\"纯种\"\"\"";
        QTest::newRow("line feed") << "一\n二" << "\"一\n二\"";
        QTest::newRow("carriage return") << "一\r二" << "\"一\r二\"";
        QTest::newRow("leading =") << "=SUM(A1)" << "'=SUM(A1)";
        QTest::newRow("leading +") << "+86" << "'+86";
        QTest::newRow("leading -") << "-5%" << "'-5%";
        QTest::newRow("leading @") << "@cmd" << "'@cmd";
        QTest::newRow("marked and quoted") << "=1,2" << "\"'=1,2\"";
        QTest::newRow("sign inside stays") << "0%-5%" << "0%-5%";
    }
    void field()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QCOMPARE(CsvWriter::field(text), written);
    }

    void readsBackWithACsvParser()
    {
        TestEnv env;
        const QStringList tricky = {QStringLiteral("马, \"纯种\"\n第二行"), QStringLiteral("=HYPERLINK(\"x\")"),
                                    QStringLiteral("-"), QStringLiteral("用口马"), QString()};
        ExportSheet customs{QStringLiteral("海关商品"), {QStringLiteral("商品编码"), QStringLiteral("商品名称")}, {}, {}};
        ExportSheet foreign = customs;
        for (const QString &t : tricky)
            customs.rows.append({QStringLiteral("0101210010"), t});
        foreign.rows.append({QStringLiteral("01"), QStringLiteral("活动物")});
        const QString path = env.path(QStringLiteral("导出.csv"));
        kivexport::ExportProgress progress;
        QVERIFY(CsvWriter::write(path, {customs, foreign}, &progress).ok());
        QCOMPARE(progress.done.load(), qint64(tricky.size() + 1));
        const QByteArray bytes = TestEnv::readFile(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.contains("\r\n"));
        QString error;
        const QList<QStringList> rows = readback::csv(path, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        // One header for both lists, then the rows as given; a leading sign gets its quote.
        QCOMPARE(rows.size(), 1 + tricky.size() + 1);
        QCOMPARE(rows.at(0), customs.headers);
        for (int i = 0; i < tricky.size(); ++i) {
            const QString &t = tricky.at(i);
            const bool marked = !t.isEmpty() && QStringLiteral("=+-@").contains(t.at(0));
            QCOMPARE(rows.at(1 + i), QStringList({QStringLiteral("0101210010"), marked ? QLatin1Char('\'') + t : t}));
        }
        QCOMPARE(rows.last(), QStringList({QStringLiteral("01"), QStringLiteral("活动物")}));
        QCOMPARE(QDir(env.workDir()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("导出.csv")});
    }

    void emptyListGivesTheHeaderAlone()
    {
        TestEnv env;
        const QString path = env.path(QStringLiteral("空.csv"));
        const auto sheets = kivexport::ExportTable::build({}, {kivexport::Column::Code, kivexport::Column::Name});
        QVERIFY(CsvWriter::write(path, sheets, nullptr).ok());
        QCOMPARE(TestEnv::readFile(path), QByteArray("\xEF\xBB\xBF商品编码,商品名称\r\n"));
    }

    void cancelKeepsTheOldFile()
    {
        TestEnv env;
        const QString path = env.path(QStringLiteral("old.csv"));
        QVERIFY(TestEnv::writeFile(path, "old"));
        ExportSheet sheet{QStringLiteral("海关商品"), {QStringLiteral("商品编码")}, {}, {}};
        for (int i = 0; i < 3000; ++i)
            sheet.rows.append({QString::number(i)});
        kivexport::ExportProgress progress;
        progress.cancelled = true;
        QCOMPARE(CsvWriter::write(path, {sheet}, &progress).status, WriteResult::Status::Cancelled);
        QCOMPARE(TestEnv::readFile(path), QByteArray("old"));
        QCOMPARE(QDir(env.workDir()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.csv")});
    }
};

KIV_TEST_GUILESS_MAIN(tst_csvwriter)
#include "tst_csvwriter.moc"
