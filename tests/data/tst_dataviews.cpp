#include "core/data/dataviews.h"

#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

#include <memory>

using runtime::DataView;
using runtime::Transaction;

namespace {
// Chapters 01 (selected), 02 (not selected), 03 (selected, nothing under it); a row whose
// prefix matches no chapter; a one-character code; codes inserted out of order.
const char *kRows =
    "INSERT INTO list_hscode(code, name, unit, zssl_set, tsl, flag) VALUES"
    " ('0101', 'Horses', NULL, NULL, NULL, NULL),"
    " ('01', '活动物', NULL, NULL, NULL, 'Y'),"
    " ('0101210010', '改良种用濒危野马', '千克', '9%', 0, NULL),"
    " ('010121', 'Pure-bred', NULL, NULL, NULL, NULL),"
    " ('02', '肉及食用杂碎', NULL, NULL, NULL, 'N'),"
    " ('0201', 'Meat of bovine animals', NULL, NULL, NULL, NULL),"
    " ('03', '鱼', NULL, NULL, NULL, 'Y'),"
    " ('9901', 'orphan', NULL, NULL, NULL, NULL),"
    " ('1', 'short', NULL, NULL, NULL, 'Y');"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, unit, flag) VALUES"
    " ('02', NULL, '肉及食用杂碎', NULL, 'Y'),"
    " ('0201', 'M', 'Meat of bovine animals', 'kg', NULL),"
    " ('01', NULL, '活动物', NULL, 'N'),"
    " ('0101', NULL, 'Horses', NULL, NULL);";

struct Fixture {
    TestEnv env;
    QString file = env.path(QStringLiteral("K-I-V.db"));
    Transaction transaction;

    bool open()
    {
        if (!TestDatabase::create(file) || !TestDatabase::exec(file, QString::fromUtf8(kRows)))
            return false;
        transaction.dbParm = QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(file));
        transaction.autoCommit = false;
        return transaction.connect() == 0;
    }

    std::unique_ptr<DataView> view(const runtime::DataViewDefinition &definition)
    {
        auto dataView = std::make_unique<DataView>();
        dataView->setDefinition(definition);
        dataView->setTransObject(&transaction);
        return dataView;
    }
};

QStringList codes(const DataView &view, const QString &column)
{
    QStringList result;
    for (long row = 1; row <= view.rowCount(); ++row)
        result << view.itemString(row, column);
    return result;
}
} // namespace

class tst_DataViews : public QObject
{
    Q_OBJECT
private slots:
    void definitionsHaveTheirColumns()
    {
        const auto hg = d_detail_hgats();
        QCOMPARE(hg.columns.size(), 27);
        QCOMPARE(hg.columns.first().name, QStringLiteral("code"));
        QCOMPARE(hg.columns.at(16).name, QStringLiteral("tsl"));
        QCOMPARE(hg.columns.last().name, QStringLiteral("handle"));
        QCOMPARE(hg.columns.last().type, runtime::ColumnType::Long);
        QCOMPARE(hg.columns.at(hg.columnIndex(QStringLiteral("zssl_set"))).heading, QStringLiteral("销售增值税率"));
        QCOMPARE(hg.columns.at(hg.columnIndex(QStringLiteral("TSL"))).heading, QStringLiteral("出口退税率"));
        const auto wm = d_detail_wmats();
        QCOMPARE(wm.columns.size(), 6);
        QCOMPARE(wm.columns.at(wm.columnIndex(QStringLiteral("m_flag"))).heading, QStringLiteral("机械标志"));
        QCOMPARE(wm.shownColumns, (QStringList{"jmw_code", "m_flag", "unit", "name"}));
        QCOMPARE(d_option_hgats().keyColumns, QStringList{QStringLiteral("code")});
        QCOMPARE(d_option_wmats().updateTable, QStringLiteral("list_jmwcode"));
        QCOMPARE(dataViewByName(QStringLiteral("D_OPTION_WMATS")).name, QStringLiteral("d_option_wmats"));
        QVERIFY(dataViewByName(QStringLiteral("nothing")).columns.isEmpty());
    }

    void queriesAreAdaptedToSqlite()
    {
        Fixture f;
        QVERIFY(f.open());
        const QString sql = f.transaction.adaptSql(d_detail_hgats().query);
        QVERIFY2(!sql.contains(QLatin1String("dbo.")), qPrintable(sql));
        QVERIFY2(!sql.contains(QLatin1String("Left(")), qPrintable(sql));
    }

    void detailViewsLoadTheSelectedChaptersInCodeOrder()
    {
        Fixture f;
        QVERIFY(f.open());
        auto hg = f.view(d_detail_hgats());
        QCOMPARE(hg->retrieve(), 5L);
        QCOMPARE(codes(*hg, QStringLiteral("code")),
                 (QStringList{"01", "0101", "010121", "0101210010", "03"}));
        for (long row = 1; row <= hg->rowCount(); ++row)
            QCOMPARE(hg->item(row, QStringLiteral("handle")).toLongLong(), 0LL);
        QCOMPARE(hg->itemString(4, QStringLiteral("name")), QStringLiteral("改良种用濒危野马"));
        QCOMPARE(hg->itemString(4, QStringLiteral("zssl_set")), QStringLiteral("9%"));
        QCOMPARE(hg->itemNumber(4, QStringLiteral("tsl")), 0.0);
        QVERIFY(hg->isNull(1, QStringLiteral("unit")));

        auto wm = f.view(d_detail_wmats());
        QCOMPARE(wm->retrieve(), 2L);
        QCOMPARE(codes(*wm, QStringLiteral("jmw_code")), (QStringList{"02", "0201"}));
        QCOMPARE(wm->itemString(2, QStringLiteral("m_flag")), QStringLiteral("M"));
    }

    void noSelectedChapterLoadsNothing()
    {
        Fixture f;
        QVERIFY(f.open());
        QVERIFY(TestDatabase::exec(f.file, QStringLiteral("UPDATE list_hscode SET flag='N';")));
        auto hg = f.view(d_detail_hgats());
        QCOMPARE(hg->retrieve(), 0L);
    }

    void optionViewsHoldEveryChapterWhateverItsFlag()
    {
        Fixture f;
        QVERIFY(f.open());
        auto hg = f.view(d_option_hgats());
        QCOMPARE(hg->retrieve(), 3L);
        QStringList got = codes(*hg, QStringLiteral("code"));
        got.sort();
        QCOMPARE(got, (QStringList{"01", "02", "03"}));
        auto wm = f.view(d_option_wmats());
        QCOMPARE(wm->retrieve(), 2L);
    }

    void optionViewUpdatesTheFlagByKey()
    {
        Fixture f;
        QVERIFY(f.open());
        auto hg = f.view(d_option_hgats());
        QVERIFY(hg->retrieve() > 0);
        const long row = hg->find(QStringLiteral("code='02'"), 1, hg->rowCount());
        QVERIFY(row > 0);
        QCOMPARE(hg->setItem(row, QStringLiteral("flag"), QStringLiteral("Y")), 1);
        QCOMPARE(hg->update(), 1);
        QCOMPARE(f.transaction.commit(), 0);
        QCOMPARE(TestDatabase::column(f.file, QStringLiteral("SELECT flag FROM list_hscode WHERE code='02'")),
                 QStringList{QStringLiteral("Y")});
        // Other rows are untouched.
        QCOMPARE(TestDatabase::column(f.file, QStringLiteral("SELECT flag FROM list_hscode WHERE code='0201'")),
                 QStringList{QStringLiteral("<null>")});

        auto detail = f.view(d_detail_hgats());
        QCOMPARE(detail->retrieve(), 7L); // chapter 02 and its heading now load too
    }
};

KIV_TEST_GUILESS_MAIN(tst_DataViews)
#include "tst_dataviews.moc"
