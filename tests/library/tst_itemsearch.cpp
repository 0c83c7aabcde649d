#include "core/library/ItemSearch.h"
#include "support/TestMain.h"

#include <QtTest>

using library::Item;
using library::ItemSearch;

namespace {
Item item(const QString &part, const QString &name, const QString &model)
{
    Item it;
    it.partNumber = part;
    it.name = name;
    it.model = model;
    it.code = QStringLiteral("8471300000");
    it.reason = QStringLiteral("归类总规则一"); // not searched
    return it;
}
} // namespace

class tst_ItemSearch : public QObject
{
    Q_OBJECT
private slots:
    void findsByPartNumberNameAndModel_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<int>("total");
        QTest::newRow("part number itself first, then those beginning with it")
            << "ab-1" << 10 << QStringList{"AB-1", "AB-10", "XAB-1"} << 3;
        QTest::newRow("name") << "笔记本" << 10 << QStringList{"AB-10", "XAB-1"} << 2;
        QTest::newRow("model, case ignored") << "thinkpad" << 10 << QStringList{"AB-10"} << 1;
        QTest::newRow("every word, in any field") << "笔记本 x1" << 10 << QStringList{"XAB-1"} << 1;
        QTest::newRow("a word none holds") << "笔记本 手机" << 10 << QStringList{} << 0;
        QTest::newRow("the reason is not searched") << "归类" << 10 << QStringList{} << 0;
        QTest::newRow("blanks only") << "   " << 10 << QStringList{} << 0;
        QTest::newRow("limit keeps the best, total counts all") << "ab" << 2 << QStringList{"AB-1", "AB-10"} << 3;
    }
    void findsByPartNumberNameAndModel()
    {
        QFETCH(QString, text);
        QFETCH(int, limit);
        QFETCH(QStringList, found);
        QFETCH(int, total);
        ItemSearch search;
        search.setItems({item("XAB-1", "笔记本电脑", "X1 Carbon"), item("AB-10", "笔记本", "ThinkPad"),
                         item("AB-1", "手机", "")});
        int counted = -1;
        QStringList parts;
        for (const auto &hit : search.find(text, limit, &counted))
            parts << hit.partNumber;
        QCOMPARE(parts, found);
        QCOMPARE(counted, total);
    }
};

KIV_TEST_GUILESS_MAIN(tst_ItemSearch)
#include "tst_itemsearch.moc"
