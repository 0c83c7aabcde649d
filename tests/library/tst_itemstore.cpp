#include "TestEnv.h"
#include "core/library/ItemCode.h"
#include "core/library/ItemReview.h"
#include "core/library/ItemStore.h"
#include "core/runtime/Transaction.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"

#include <QtTest>

using library::Item;
using library::ItemCode;
using library::ItemReview;
using library::ItemStore;

namespace {

const char kLines[] =
    "INSERT INTO list_hscode (code, name, unit, jksl) VALUES "
    "('8471', 'Automatic data processing machines', '', 0),"
    "('847130', 'Portable machines', '', 0),"
    "('8471300000', '便携式自动数据处理设备', '台', 0),"
    "('8517130000', '智能手机', '台', 0),"
    "('8517140010', '卫星电话', '台', 0),"
    "('8517140090', '其他无线网络电话机', '台', 0),"
    "('8517620000', '交换机', '台', 0);";

struct Library {
    TestEnv env;
    QString file = env.path(QStringLiteral("K-I-V.db"));
    runtime::Transaction sqlca;

    bool open()
    {
        if (!TestDatabase::create(file) || !TestDatabase::exec(file, QString::fromUtf8(kLines)))
            return false;
        return connect(sqlca);
    }
    bool connect(runtime::Transaction &t) { return TestDatabase::connect(t, file); }
    ~Library() { sqlca.disconnect(); }
};

Item item(const QString &part, const QString &code)
{
    Item it;
    it.partNumber = part;
    it.name = QStringLiteral("笔记本电脑 X1");
    it.model = QStringLiteral("14寸");
    it.code = code;
    it.elementValues = QStringLiteral("4|3|办公||X1");
    it.reason = QStringLiteral("归类总规则一");
    return it;
}

} // namespace

class tst_ItemStore : public QObject
{
    Q_OBJECT
private slots:
    void resolveCode_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("candidates");
        QTest::newRow("ten digits") << "8471300000" << "8471300000" << 0;
        QTest::newRow("dots") << "8471.30.00.00" << "8471300000" << 0;
        QTest::newRow("blanks and dashes") << " 8471 3000-00 " << "8471300000" << 0;
        QTest::newRow("full-width") << "８４７１３０００００" << "8471300000" << 0;
        QTest::newRow("eight digits, one line") << "8517.13.00" << "8517130000" << 0;
        QTest::newRow("eight digits, two lines") << "85171400" << "" << 2;
        QTest::newRow("unknown") << "9999999999" << "" << 0;
        QTest::newRow("a heading is no code") << "8471" << "" << 0;
        QTest::newRow("letters") << "8471abc" << "" << 0;
        QTest::newRow("empty") << "" << "" << 0;
    }
    void resolveCode()
    {
        QFETCH(QString, typed);
        QFETCH(QString, code);
        QFETCH(int, candidates);
        Library lib;
        QVERIFY(lib.open());
        const ItemCode c = ItemCode::resolve(&lib.sqlca, typed);
        QCOMPARE(c.code, code);
        QCOMPARE(c.problem.isEmpty(), !code.isEmpty());
        QCOMPARE(c.candidates.size(), candidates);
        if (candidates)
            QVERIFY(c.problem.contains(QStringLiteral("8517140010")));
    }

    // Two colleagues: the second one's save from an older version is refused and shown theirs.
    void versionsGuardAColleaguesChange()
    {
        Library lib;
        QVERIFY(lib.open());
        ItemStore zhang(&lib.sqlca);
        zhang.setUserName(QStringLiteral("zhang"));
        const auto first = zhang.save(item(QStringLiteral("P-001"), QStringLiteral("8471.30.00.00")), 0);
        QVERIFY2(first.ok(), qPrintable(first.message));
        QCOMPARE(first.saved.code, QStringLiteral("8471300000"));
        QCOMPARE(first.saved.version, 1);
        QVERIFY(first.saved.basis.contains(QStringLiteral("便携式自动数据处理设备")));

        runtime::Transaction other;
        QVERIFY(lib.connect(other));
        ItemStore li(&other);
        li.setUserName(QStringLiteral("li"));
        Item mine = first.saved;
        mine.reason = QStringLiteral("li 的理由");
        QVERIFY(li.save(mine, 1).ok());

        Item stale = first.saved;
        stale.reason = QStringLiteral("zhang 的理由");
        const auto refused = zhang.save(stale, 1);
        QCOMPARE(refused.status, ItemStore::Status::Conflict);
        QVERIFY(refused.current);
        QCOMPARE(refused.current->changedBy, QStringLiteral("li"));
        QCOMPARE(refused.current->reason, QStringLiteral("li 的理由"));
        QCOMPARE(zhang.item(QStringLiteral("P-001"))->version, 2);

        QCOMPARE(zhang.remove(QStringLiteral("P-001"), 1).status, ItemStore::Status::Conflict);
        QCOMPARE(zhang.remove(QStringLiteral("P-001"), 2).status, ItemStore::Status::Deleted);
        QVERIFY(!zhang.item(QStringLiteral("P-001")));
        other.disconnect();
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("status");
        QTest::newRow("no part number") << " " << "品名" << "8471300000" << int(ItemStore::Status::Refused);
        QTest::newRow("no name") << "P-9" << "" << "8471300000" << int(ItemStore::Status::Refused);
        QTest::newRow("unknown code") << "P-9" << "品名" << "1234567890" << int(ItemStore::Status::Refused);
        QTest::newRow("taken part number") << "P-001" << "品名" << "8471300000" << int(ItemStore::Status::Duplicate);
    }
    void refusals()
    {
        QFETCH(QString, part);
        QFETCH(QString, name);
        QFETCH(QString, code);
        QFETCH(int, status);
        Library lib;
        QVERIFY(lib.open());
        ItemStore store(&lib.sqlca);
        QVERIFY(store.save(item(QStringLiteral("P-001"), QStringLiteral("8517130000")), 0).ok());
        Item it = item(part, code);
        it.name = name;
        const auto r = store.save(it, 0);
        QCOMPARE(int(r.status), status);
        QVERIFY(!r.message.isEmpty());
        QCOMPARE(store.all().size(), 1);
    }

    // A database that refuses writes: nothing changes, and the same save goes through later.
    void readOnlyDatabaseKeepsNothingHalf()
    {
        Library lib;
        QVERIFY(lib.open());
        ItemStore store(&lib.sqlca);
        QVERIFY(store.ensureTable());
        QCOMPARE(lib.sqlca.execute(QStringLiteral("PRAGMA query_only = ON")), 0);
        const auto r = store.save(item(QStringLiteral("P-7"), QStringLiteral("8517130000")), 0);
        QCOMPARE(r.status, ItemStore::Status::DatabaseError);
        QCOMPARE(lib.sqlca.execute(QStringLiteral("PRAGMA query_only = OFF")), 0);
        QVERIFY(store.all().isEmpty());
        QVERIFY(store.save(item(QStringLiteral("P-7"), QStringLiteral("8517130000")), 0).ok());
    }

    // An edition renames one line, changes another's rate and removes a third: exactly those
    // items go on the worklist; a review clears one; the removed code brought back clears its own.
    void anEditionFillsTheWorklist()
    {
        Library lib;
        QVERIFY(lib.open());
        ItemStore store(&lib.sqlca);
        for (const auto &[part, code] : {std::pair{"renamed", "8471300000"}, std::pair{"rated", "8517130000"},
                                         std::pair{"removed", "8517620000"}, std::pair{"untouched", "8517140010"}})
            QVERIFY(store.save(item(QString::fromLatin1(part), QString::fromLatin1(code)), 0).ok());
        QVERIFY(TestDatabase::exec(lib.file, QStringLiteral(
            "UPDATE list_hscode SET name = '笔记本电脑' WHERE code = '8471300000';"
            "UPDATE list_hscode SET sz = '5%' WHERE code = '8517130000';"
            "DELETE FROM list_hscode WHERE code = '8517620000';")));
        auto outcome = ItemReview::checkAll(&lib.sqlca);
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        QCOMPARE(outcome.checked, 4);
        QCOMPARE(outcome.needReview, 3);
        QCOMPARE(store.item(QStringLiteral("renamed"))->reviewChanges,
                 QStringLiteral("名称: 便携式自动数据处理设备 → 笔记本电脑"));
        QCOMPARE(store.item(QStringLiteral("rated"))->reviewChanges, QStringLiteral("最惠国税率: （空） → 5%"));
        const QString removed = store.item(QStringLiteral("removed"))->reviewChanges;
        QVERIFY2(removed.startsWith(QStringLiteral("编码已删除: 8517620000")), qPrintable(removed));
        QVERIFY2(removed.contains(QStringLiteral("8517130000")), qPrintable(removed)); // same heading
        QVERIFY(!store.item(QStringLiteral("untouched"))->needsReview());

        store.setUserName(QStringLiteral("wang"));
        const auto reviewed = store.markReviewed(QStringLiteral("renamed"));
        QVERIFY(reviewed.ok());
        QVERIFY(!reviewed.saved.needsReview());
        QCOMPARE(reviewed.saved.reviewedBy, QStringLiteral("wang"));
        outcome = ItemReview::checkAll(&lib.sqlca);
        QCOMPARE(outcome.needReview, 2); // the review holds at the next check

        QVERIFY(TestDatabase::exec(lib.file, QStringLiteral(
            "INSERT INTO list_hscode (code, name, unit, jksl) VALUES ('8517620000', '交换机', '台', 0);")));
        outcome = ItemReview::checkAll(&lib.sqlca);
        QCOMPARE(outcome.needReview, 1);
        QVERIFY(!store.item(QStringLiteral("removed"))->needsReview());
    }
};

KIV_TEST_APPLESS_MAIN(tst_ItemStore)
#include "tst_itemstore.moc"
