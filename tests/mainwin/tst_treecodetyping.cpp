#include "core/runtime/TreeModel.h"
#include "support/RunningProgram.h"
#include "support/TestMain.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/tree/u_tv.h"

#include <QApplication>
#include <QtTest>

// Digits typed in a commodity tree go to the code that begins with them; labels stay as they are.
namespace {
const char *kRows =
    "INSERT INTO list_hscode(code, name, flag) VALUES ('01', '活动物', 'Y'),"
    " ('0101', 'Horses, asses, mules and hinnies; live', NULL), ('0101210010', '改良种用濒危野马', NULL),"
    " ('84', '核反应堆、锅炉、机器、机械器具及其零件', 'Y'), ('8470', 'Calculating machines', NULL),"
    " ('8471', 'Automatic data-processing machines', NULL), ('847130', 'Portable machines', NULL),"
    " ('8471300000', '便携式自动数据处理设备', NULL);"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, flag) VALUES ('84', 'N', '核反应堆', 'Y');";
} // namespace

class tst_TreeCodeTyping : public QObject
{
    Q_OBJECT
private slots:
    void digitsGoToTheCodeThatBeginsWithThem_data()
    {
        QTest::addColumn<QStringList>("bursts"); // typed quickly, one after the other
        QTest::addColumn<bool>("pause");         // between the bursts
        QTest::addColumn<QStringList>("labels"); // the selected item after each burst
        const QString chapter = QStringLiteral("[84]核反应堆、锅炉、机器、机械器具及其零件");
        const QString heading = QStringLiteral("[8471]Automatic data-processing machines");
        QTest::newRow("84, typing on to 8471") << QStringList{"84", "71"} << false << QStringList{chapter, heading};
        QTest::newRow("three digits: the first heading") << QStringList{"847"} << false
                                                         << QStringList{"[8470]Calculating machines"};
        QTest::newRow("down to a collapsed line") << QStringList{"8471300"} << false
                                                  << QStringList{"[8471300000]便携式自动数据处理设备"};
        QTest::newRow("a pause starts a new code") << QStringList{"8471", "0101"} << true
                                                   << QStringList{heading, "[0101]Horses, asses, mules and hinnies; live"};
        QTest::newRow("no such code keeps the selection") << QStringList{"84", "99"} << false
                                                          << QStringList{chapter, chapter};
    }
    void digitsGoToTheCodeThatBeginsWithThem()
    {
        QFETCH(QStringList, bursts);
        QFETCH(bool, pause);
        QFETCH(QStringList, labels);
        RunningProgram p;
        QVERIFY(p.makeDatabase(QString::fromUtf8(kRows)) && p.start());
        u_tv *tree = p.window->tv_1;
        for (int i = 0; i < bursts.size(); ++i) {
            if (i > 0 && pause)
                QTest::qWait(QApplication::keyboardInputInterval() + 100);
            QTest::keyClicks(QApplication::focusWidget(), bursts.at(i));
            QCOMPARE(tree->currentIndex().data(Qt::DisplayRole).toString(), labels.at(i));
        }
        QVERIFY(tree->visualRect(tree->currentIndex()).isValid()); // opened down to it
        // Other keys keep the tree's own search by a label's beginning.
        QTest::keyClick(tree, Qt::Key_Home);
        QTest::keyClick(tree, Qt::Key_BracketLeft);
        QCOMPARE(tree->currentIndex().data(Qt::DisplayRole).toString().left(4), QStringLiteral("[01]"));
    }
};

KIV_TEST_MAIN(tst_TreeCodeTyping)
#include "tst_treecodetyping.moc"
