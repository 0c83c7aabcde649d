#include "core/find/ListPrefixIndex.h"
#include "support/TestMain.h"

#include <QListWidget>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

class tst_listprefixindex : public QObject
{
    Q_OBJECT
private slots:
    void answersLikeAScanOfTheList()
    {
        QListWidget list;
        ListPrefixIndex index(list.model());
        auto scan = [&list](const QString &text) {
            for (int i = 0; i < list.count(); ++i)
                if (list.item(i)->text().startsWith(text))
                    return true;
            return false;
        };
        QVERIFY(!index.anyBeginsWith(QString()));
        // Short texts over a small alphabet, so that many are beginnings of others.
        QRandomGenerator random(11);
        auto text = [&random] {
            QString t;
            for (int i = int(random.bounded(0, 5)); i > 0; --i)
                t += QStringLiteral("ab@[]其").at(int(random.bounded(6)));
            return t;
        };
        for (int round = 0; round < 400; ++round) {
            switch (random.bounded(6)) {
            case 0:
                if (list.count() > 0)
                    delete list.takeItem(int(random.bounded(list.count())));
                break;
            case 1:
                if (list.count() > 0)
                    list.item(int(random.bounded(list.count())))->setText(text());
                break;
            default:
                list.insertItem(int(random.bounded(list.count() + 1)), text());
            }
            const QString probe = text();
            QCOMPARE(index.anyBeginsWith(probe), scan(probe));
            QCOMPARE(index.size(), qsizetype(list.count()));
        }
        list.sortItems();
        QCOMPARE(index.size(), qsizetype(list.count()));
        list.clear();
        QCOMPARE(index.size(), qsizetype(0));
        QVERIFY(!index.anyBeginsWith(QStringLiteral("a")));
    }

    void dataBesideTheTextKeepsTheIndex()
    {
        QListWidget list;
        list.addItems({QStringLiteral("海关商品  @[01]马"), QStringLiteral("外经委商品@[01]马")});
        ListPrefixIndex index(list.model()); // made over a list that already has entries
        list.item(0)->setData(Qt::UserRole, QStringLiteral("01"));
        QVERIFY(index.anyBeginsWith(QStringLiteral("海关商品  @")));
        QVERIFY(index.anyBeginsWith(QStringLiteral("外经委商品@[01]马")));
        QVERIFY(!index.anyBeginsWith(QStringLiteral("外经委商品@[01]马匹")));
        QVERIFY(!index.anyBeginsWith(QStringLiteral("海关商品 @")));
    }
};

KIV_TEST_MAIN(tst_listprefixindex)
#include "tst_listprefixindex.moc"
