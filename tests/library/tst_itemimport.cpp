#include "TestEnv.h"
#include "core/library/ItemImport.h"
#include "core/library/ItemStore.h"
#include "core/runtime/Transaction.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QStringEncoder>
#include <QtTest>

using library::ItemImport;

namespace {

const char kLines[] =
    "INSERT INTO list_hscode (code, name, unit, jksl) VALUES "
    "('8471300000', '便携式自动数据处理设备', '台', 0),"
    "('8517130000', '智能手机', '台', 0),"
    "('8517140010', '卫星电话', '台', 0),"
    "('8517140090', '其他无线网络电话机', '台', 0);"
    "INSERT INTO tariff_line (code, declaration_elements) VALUES "
    "('8517130000', '1:品牌类型;2:出口享惠情况;3:用途');";

} // namespace

class tst_ItemImport : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_file = m_env->path(QStringLiteral("K-I-V.db"));
        QVERIFY(TestDatabase::create(m_file));
        QVERIFY(TestDatabase::exec(m_file, QString::fromUtf8(kLines)));
        QVERIFY(TestDatabase::connect(m_sqlca, m_file));
    }
    void cleanup()
    {
        m_sqlca.disconnect();
        m_env.reset();
    }

    // Each row of a company's list is taken or named with its reason; what is taken is written whole.
    void previewNamesEveryRefusal()
    {
        const QString csv = QStringLiteral(
            "\xFEFF料号,品名,规格型号,商品编码,申报要素,归类依据\r\n"
            "A-1,笔记本电脑,14寸,8471.30.00.00,,\r\n"
            "A-2,手机,6.1寸,85171300,4|3|通讯,品目注释\r\n"
            ",,,,,\r\n"
            "A-3,电话,,85171400,,\r\n"
            "A-1,笔记本电脑二,,8471300000,,\r\n"
            "A-4,未知,,9999999999,,\r\n"
            "A-5,手机壳,,8517130000,4|3|a|b,\r\n"
            "'=A6,\"=HYPERLINK(\"\"x\"\")\",,8517 1300 00,,\r\n"
            "A-7,,,8517130000,,\r\n");
        ItemImport import;
        QString error;
        QVERIFY2(import.parse(csv, &m_sqlca, &error), qPrintable(error));
        QStringList seen;
        for (const auto &row : import.rows())
            seen << QStringLiteral("%1 %2 %3").arg(row.line).arg(row.item.partNumber,
                                                                row.problem.isEmpty() ? row.item.code
                                                                                      : row.problem.left(6));
        QCOMPARE(seen, (QStringList{
                           "2 A-1 8471300000",
                           "3 A-2 8517130000",        // 8 digits with one line under them
                           "5 A-3 8位编码 8",        // 8 digits with two
                           "6 A-1 料号“A-1",          // twice in the file
                           "7 A-4 商品编码“9",
                           "8 A-5 申报要素有 ",       // four places for three elements
                           "9 =A6 8517130000",         // a formula is text; the guard is dropped
                           "10 A-7 缺少料号、品",
                       }));
        QCOMPARE(import.accepted(), 3);
        QCOMPARE(import.refused(), 5);
        QVERIFY2(import.apply(&m_sqlca, QStringLiteral("zhang"), &error), qPrintable(error));
        library::ItemStore store(&m_sqlca);
        const auto items = store.all();
        QCOMPARE(items.size(), 3);
        QCOMPARE(store.item(QStringLiteral("=A6"))->name, QStringLiteral("=HYPERLINK(\"x\")"));
        QCOMPARE(store.item(QStringLiteral("A-2"))->elementValues, QStringLiteral("4|3|通讯"));

        // The same file again: the items are updated, not doubled.
        ItemImport again;
        QVERIFY(again.parse(csv, &m_sqlca, &error));
        QVERIFY(again.rows().first().update);
        QVERIFY(again.apply(&m_sqlca, QStringLiteral("li"), &error));
        QCOMPARE(store.all().size(), 3);
        QCOMPARE(store.item(QStringLiteral("A-1"))->version, 2);
    }

    void gbkAndBadFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("read");
        QStringEncoder gbk("GB18030");
        const QByteArray chinese = gbk.encode(QStringLiteral("料号,品名,商品编码\r\nB-1,手机,8517130000\r\n"));
        QTest::newRow("GBK from Excel") << chinese << true;
        QTest::newRow("no code column") << QByteArray("part_no,name\nB-1,x\n") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("binary") << QByteArray("\x00\x01\x02\x03", 4) << false;
    }
    void gbkAndBadFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, read);
        const QString path = m_env->path(QStringLiteral("items.csv"));
        QVERIFY(TestEnv::writeFile(path, bytes));
        ItemImport import;
        QString error;
        QCOMPARE(import.read(path, &m_sqlca, &error), read);
        QCOMPARE(error.isEmpty(), read);
        if (read) {
            QCOMPARE(import.accepted(), 1);
            QCOMPARE(import.rows().first().item.name, QStringLiteral("手机"));
        }
    }

    // A database that refuses writes: nothing of the file is written.
    void applyIsWholeOrNothing()
    {
        ItemImport import;
        QString error;
        QVERIFY(import.parse(QStringLiteral("料号,品名,商品编码\nC-1,a,8517130000\nC-2,b,8471300000\n"), &m_sqlca,
                             &error));
        library::ItemStore store(&m_sqlca);
        QVERIFY(store.ensureTable());
        QVERIFY(TestDatabase::exec(m_file, QStringLiteral("CREATE TRIGGER no_c2 BEFORE INSERT ON item "
                                                          "WHEN NEW.part_no = 'C-2' BEGIN SELECT RAISE(ABORT, 'no'); END;")));
        QVERIFY(!import.apply(&m_sqlca, QStringLiteral("zhang"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(store.all().isEmpty());
    }

private:
    std::unique_ptr<TestEnv> m_env;
    QString m_file;
    runtime::Transaction m_sqlca;
};

KIV_TEST_APPLESS_MAIN(tst_ItemImport)
#include "tst_itemimport.moc"
