#include "core/runtime/SqlAdapter.h"
#include "support/TestMain.h"

#include <QtTest>

using runtime::adaptSql;

class tst_SqlAdapter : public QObject
{
    Q_OBJECT
private slots:
    void adapts_data();
    void adapts();
    void leavesEverythingWhenNothingIsAsked();
    void detailQueryOfTheCustomsList();
};

void tst_SqlAdapter::adapts_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("dropOwners");
    QTest::addColumn<bool>("rewriteLeft");
    QTest::addColumn<QString>("expected");

    QTest::newRow("owner of table and of column")
        << "select dbo.list_hscode.code from dbo.list_hscode" << true << false
        << "select list_hscode.code from list_hscode";
    QTest::newRow("owner in any case") << "select * from DBO.t, Dbo.u" << true << false
                                       << "select * from t, u";
    QTest::newRow("owners kept when schemas work") << "select * from dbo.t" << false << true
                                                   << "select * from dbo.t";
    QTest::newRow("words that only contain dbo") << "select xdbo.a, dbo_x.b, t.dbo from t"
                                                 << true << false
                                                 << "select xdbo.a, dbo_x.b, t.dbo from t";
    QTest::newRow("Left") << "where Left(code,2) = '01'" << false << true
                          << "where substr(code,1,2) = '01'";
    QTest::newRow("LEFT with spaces") << "where LEFT ( code , 2 ) = '01'" << false << true
                                      << "where substr( code ,1, 2 ) = '01'";
    QTest::newRow("left kept when the driver has it") << "where Left(code,2) = '01'" << true
                                                      << false << "where Left(code,2) = '01'";
    QTest::newRow("nested Left") << "Left(Left(code,4),2)" << false << true
                                 << "substr(substr(code,1,4),1,2)";
    QTest::newRow("arguments with commas and parentheses")
        << "Left(coalesce(a,b),length('x,y)'))" << false << true
        << "substr(coalesce(a,b),1,length('x,y)'))";
    QTest::newRow("owner inside Left") << "Left(dbo.list_hscode.code,2)" << true << true
                                       << "substr(list_hscode.code,1,2)";
    QTest::newRow("left join") << "select * from a left join b on a.x = b.x" << true << true
                               << "select * from a left join b on a.x = b.x";
    QTest::newRow("Left with three arguments") << "Left(a,1,2)" << false << true << "Left(a,1,2)";
    QTest::newRow("unclosed Left") << "Left(code,2" << false << true << "Left(code,2";
    QTest::newRow("column named left") << "select t.left(x,1)" << false << true
                                       << "select t.left(x,1)";
    QTest::newRow("string literals untouched")
        << "where name = 'dbo.x Left(a,1)' and dbo.t.y = 'it''s dbo.z'" << true << true
        << "where name = 'dbo.x Left(a,1)' and t.y = 'it''s dbo.z'";
    QTest::newRow("quoted identifier untouched") << "select \"dbo.x\" from dbo.t" << true << true
                                                 << "select \"dbo.x\" from t";
    QTest::newRow("comments untouched") << "select a -- dbo.t Left(a,1)\nfrom dbo.t /* dbo.u */"
                                        << true << true
                                        << "select a -- dbo.t Left(a,1)\nfrom t /* dbo.u */";
    QTest::newRow("text in other scripts") << "where name = '活动物' and Left(名称,2) = 'x'" << false
                                           << true << "where name = '活动物' and substr(名称,1,2) = 'x'";
}

void tst_SqlAdapter::adapts()
{
    QFETCH(QString, sql);
    QFETCH(bool, dropOwners);
    QFETCH(bool, rewriteLeft);
    QFETCH(QString, expected);
    QCOMPARE(adaptSql(sql, dropOwners, rewriteLeft), expected);
}

void tst_SqlAdapter::leavesEverythingWhenNothingIsAsked()
{
    const QString sql = QStringLiteral("select dbo.t.a from dbo.t where Left(a,1) = 'x'");
    QCOMPARE(adaptSql(sql, false, false), sql);
}

void tst_SqlAdapter::detailQueryOfTheCustomsList()
{
    const QString sql = QStringLiteral(
        "SELECT dbo.list_hscode.code, dbo.list_hscode.name, 0 handle FROM dbo.list_hscode "
        "where Left(code,2) in (Select code from list_hscode where length(code)=2 and flag='Y') "
        "order by code");
    QCOMPARE(adaptSql(sql, true, true),
             QStringLiteral(
                 "SELECT list_hscode.code, list_hscode.name, 0 handle FROM list_hscode "
                 "where substr(code,1,2) in (Select code from list_hscode where length(code)=2 "
                 "and flag='Y') order by code"));
}

KIV_TEST_GUILESS_MAIN(tst_SqlAdapter)
#include "tst_sqladapter.moc"
