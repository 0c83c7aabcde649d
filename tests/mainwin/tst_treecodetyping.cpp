#include "mainwin/TreeCodeTyping.h"

#include "mainwin/TreeCodes.h"
#include "mainwin/u_tv.h"
#include "mainwin/w_kiv.h"
#include "runtime/TreeModel.h"
#include "support/RunningProgram.h"

#include <QApplication>
#include <QtTest>

// Digits typed in a commodity tree go to the code that begins with them.
namespace {
const char *kRows =
    "INSERT INTO list_hscode(code, name, flag) VALUES"
    " ('01', '活动物', 'Y'), ('0101', 'Horses, asses, mules and hinnies; live', NULL),"
    " ('0101210010', '改良种用濒危野马', NULL),"
    " ('84', '核反应堆、锅炉、机器、机械器具及其零件', 'Y'), ('8470', 'Calculating machines', NULL),"
    " ('8471', 'Automatic data-processing machines', NULL),"
    " ('847130', 'Portable automatic data-processing machines', NULL),"
    " ('8471300000', '便携式自动数据处理设备', NULL);"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, flag) VALUES ('84', 'N', '核反应堆', 'Y'),"
    " ('8471', 'N', 'Automatic data-processing machines', NULL);";

QString selectedLabel(u_tv *tree)
{
    runtime::TreeItem item;
    tree->getItem(tree->findItem(runtime::TreeNavigation::Current, 0), item);
    return item.label;
}
} // namespace

class tst_TreeCodeTyping : public QObject
{
    Q_OBJECT
private slots:
    void digitsTypedTogetherGoToTheCodeThatBeginsWithThem_data()
    {
        QTest::addColumn<QStringList>("bursts"); // typed quickly, one after the other
        QTest::addColumn<bool>("pause");         // between the bursts
        QTest::addColumn<QStringList>("labels"); // the selected item after each burst
        const QString chapter = QStringLiteral("[84]核反应堆、锅炉、机器、机械器具及其零件");
        const QString heading = QStringLiteral("[8471]Automatic data-processing machines");
        QTest::newRow("chapter") << QStringList{"84"} << false << QStringList{chapter};
        QTest::newRow("typing on to the heading") << QStringList{"84", "71"} << false << QStringList{chapter, heading};
        QTest::newRow("three digits: the first heading") << QStringList{"847"} << false
                                                         << QStringList{"[8470]Calculating machines"};
        QTest::newRow("down to a collapsed line") << QStringList{"8471300"} << false
                                                  << QStringList{"[8471300000]便携式自动数据处理设备"};
        QTest::newRow("a pause starts a new code")
            << QStringList{"8471", "0101"} << true
            << QStringList{heading, "[0101]Horses, asses, mules and hinnies; live"};
        QTest::newRow("no such code keeps the selection") << QStringList{"84", "99"} << false
                                                          << QStringList{chapter, chapter};
    }
    void digitsTypedTogetherGoToTheCodeThatBeginsWithThem()
    {
        QFETCH(QStringList, bursts);
        QFETCH(bool, pause);
        QFETCH(QStringList, labels);
        RunningProgram p;
        QVERIFY(p.makeDatabase(QString::fromUtf8(kRows)));
        QVERIFY(p.start());
        u_tv *tree = p.window->tv_1;
        QCOMPARE(QApplication::focusWidget(), tree);
        for (int i = 0; i < bursts.size(); ++i) {
            if (i > 0 && pause)
                QTest::qWait(QApplication::keyboardInputInterval() + 100);
            QTest::keyClicks(tree, bursts.at(i));
            QCOMPARE(selectedLabel(tree), labels.at(i));
        }
        QVERIFY(tree->currentIndex().isValid());
        QVERIFY(tree->visualRect(tree->currentIndex()).isValid()); // expanded to it
    }

    void lettersKeepTheTreesSearchByLabel()
    {
        RunningProgram p;
        QVERIFY(p.makeDatabase(QString::fromUtf8(kRows)));
        QVERIFY(p.start());
        u_tv *tree = p.window->tv_2;
        tree->setFocus();
        QTest::keyClicks(tree, QStringLiteral("84"));
        QCOMPARE(selectedLabel(tree), QStringLiteral("[84]核反应堆"));
        QTest::keyClicks(tree, QStringLiteral("71"));
        QCOMPARE(selectedLabel(tree), QStringLiteral("[8471]Automatic data-processing machines"));
        QTest::qWait(QApplication::keyboardInputInterval() + 100);
        QTest::keyClick(tree, Qt::Key_Home); // the root
        QTest::keyClick(tree, Qt::Key_BracketLeft); // a label's beginning, as before
        QCOMPARE(selectedLabel(tree), QStringLiteral("[84]核反应堆"));
    }

    void firstWithPrefixFollowsTheTreesOrder()
    {
        runtime::TreeModel model;
        const long root = model.insertItemLast(0, {QStringLiteral("root"), QVariant()});
        const long chapter = model.insertItemLast(root, {QStringLiteral("[84]"), QStringLiteral("84")});
        const long a = model.insertItemLast(chapter, {QStringLiteral("[8470]"), QStringLiteral("8470")});
        const long b = model.insertItemLast(chapter, {QStringLiteral("[8471]"), QStringLiteral("8471")});
        const long line = model.insertItemLast(b, {QStringLiteral("[8471300000]"), QStringLiteral("8471300000")});
        QCOMPARE(TreeCodes::firstWithPrefix(model, QStringLiteral("8")), chapter);
        QCOMPARE(TreeCodes::firstWithPrefix(model, QStringLiteral("847")), a);
        QCOMPARE(TreeCodes::firstWithPrefix(model, QStringLiteral("8471")), b);
        QCOMPARE(TreeCodes::firstWithPrefix(model, QStringLiteral("84713")), line);
        QCOMPARE(TreeCodes::firstWithPrefix(model, QStringLiteral("85")), 0L);
        QCOMPARE(TreeCodes::firstWithPrefix(model, QString()), 0L);
    }
};

QTEST_MAIN(tst_TreeCodeTyping)
#include "tst_treecodetyping.moc"
