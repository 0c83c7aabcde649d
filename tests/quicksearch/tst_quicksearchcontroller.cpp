#include "ui/quicksearch/QuickSearchController.h"

#include "core/quicksearch/ResultModel.h"
#include "core/runtime/TreeModel.h"
#include "core/session/globals.h"
#include "support/SearchFieldProgram.h"
#include "support/TestMain.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/quicksearch/QuickSearchField.h"
#include "ui/quicksearch/QuickSearchPopup.h"
#include "ui/tree/u_tv.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QListView>
#include <QtTest>

namespace {
const char *kRows =
    "INSERT INTO list_hscode(code, name, flag) VALUES"
    " ('01', '活动物', 'Y'), ('0101', 'Horses, asses, mules and hinnies; live', NULL),"
    " ('010121', 'Horses; live, pure-bred breeding animals', NULL),"
    " ('0101210010', '改良种用濒危野马', NULL), ('0101210090', '改良种用马', NULL),"
    " ('0102', 'Bovine animals; live', NULL), ('0102290090', '其他牛', NULL),"
    " ('02', '肉及食用杂碎', 'N'), ('0201', 'Meat of bovine animals, fresh or chilled', NULL),"
    " ('0201100010', '整头及半头鲜或冷藏的野牛肉', NULL);"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, flag) VALUES ('01', 'N', '活动物', 'Y'),"
    " ('0101', 'N', 'Horses, asses, mules and hinnies; live', NULL);";

struct Program : SearchFieldProgram {
    bool startWithIndex() { return SearchFieldProgram::startWithIndex(QString::fromUtf8(kRows)); }
    // The user presses Ctrl+F in the tree and types.
    void type(const QString &text)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(search->field, text);
    }
    QString firstCode() const { return search->results->index(0, 0).data(quicksearch::ResultModel::CodeRole).toString(); }
    QString selectedCode(u_tv *tree) const
    {
        runtime::TreeItem item;
        tree->getItem(tree->findItem(runtime::TreeNavigation::Current, 0), item);
        return item.data.toString();
    }
};
} // namespace

class tst_QuickSearchController : public QObject
{
    Q_OBJECT
private slots:
    void enterGoesToTheBestCode_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("code");
        QTest::newRow("full code") << "0101210010" << "0101210010";
        QTest::newRow("code with a dot") << "0101.21" << "010121";
        QTest::newRow("pinyin initials") << "qtn" << "0102290090";
        QTest::newRow("English word prefix") << "bovi" << "0102";
        QTest::newRow("code that is not there") << "0101299999" << "0101";
    }
    void enterGoesToTheBestCode()
    {
        QFETCH(QString, input);
        QFETCH(QString, code);
        Program p;
        QVERIFY(p.startWithIndex());
        p.type(input);
        QVERIFY(p.search->popup->isVisible());
        QCOMPARE(QApplication::focusWidget(), p.search->field); // typing on while the list answers
        QCOMPARE(p.firstCode(), code);
        QTest::keyClick(p.search->field, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), p.window->tv_1);
        QCOMPARE(p.selectedCode(p.window->tv_1), code);
        QVERIFY(!p.search->popup->isVisible());
    }

    void arrowsAndClicksChooseOtherRowsOfBothLists()
    {
        Program p;
        QVERIFY(p.startWithIndex());
        p.type(QStringLiteral("0101"));
        QVERIFY(p.search->results->rowCount() >= 3);
        QCOMPARE(p.search->popup->summary(), QStringLiteral("共 %1 条").arg(p.search->results->rowCount()));
        QTest::keyClick(p.search->field, Qt::Key_Down);
        const QModelIndex second = p.search->results->index(1, 0);
        // A screen reader hears the row the arrow moved to, though the keyboard stays in the field.
        QCOMPARE(QAccessible::queryAccessibleInterface(p.search->field)->text(QAccessible::Description),
                 second.data(Qt::AccessibleTextRole).toString());
        const QString list = second.data(quicksearch::ResultModel::ListNameRole).toString();
        QTest::keyClick(p.search->field, Qt::Key_Return);
        u_tv *tree = list == QStringLiteral("外经贸") ? p.window->tv_2 : p.window->tv_1;
        QCOMPARE(p.selectedCode(tree), second.data(quicksearch::ResultModel::CodeRole).toString());

        p.type(QStringLiteral("horses"));
        QListView *view = p.search->popup->lv_results;
        QVERIFY(p.search->results->rowCount() >= 2);
        const QModelIndex last = p.search->results->index(p.search->results->rowCount() - 1, 0);
        const QString lastCode = last.data(quicksearch::ResultModel::CodeRole).toString();
        const bool lastForeign = last.data(quicksearch::ResultModel::ListNameRole).toString() == QStringLiteral("外经贸");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(last).center());
        QCOMPARE(p.selectedCode(lastForeign ? p.window->tv_2 : p.window->tv_1), lastCode);
    }

    void escapeEmptiesTheFieldThenReturnsToTheTree()
    {
        Program p;
        QVERIFY(p.startWithIndex());
        p.type(QStringLiteral("ma"));
        QTest::keyClick(p.search->field, Qt::Key_Escape);
        QVERIFY(p.search->field->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), p.search->field);
        QTest::keyClick(p.search->field, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), p.window->tv_1);
        QVERIFY(!p.search->popup->isVisible());
    }

    void codesOfChaptersNotLoadedAreNamed()
    {
        Program p;
        QVERIFY(p.startWithIndex());
        p.type(QStringLiteral("0201100010"));
        QVERIFY2(p.search->popup->summary().contains(QStringLiteral("在未选择的章节中")), qPrintable(p.search->popup->summary()));
        QTest::keyClick(p.search->field, Qt::Key_Return); // nothing to go to: no crash, the field keeps the keyboard
        QVERIFY(p.selectedCode(p.window->tv_1) != QStringLiteral("0201100010"));
    }

    // The empty field offers the codes the user went to, newest first, after a restart too.
    void recentCodesSurviveARestart()
    {
        Program p;
        QVERIFY(p.startWithIndex());
        for (const char *code : {"0102290090", "0101210010"}) {
            p.type(QString::fromLatin1(code));
            QTest::keyClick(p.search->field, Qt::Key_Return);
        }
        const QString profile = gs_docname;
        p.stop();
        QVERIFY(p.start());
        gs_docname = profile;
        p.search = QuickSearchController::of(p.window.get());
        QVERIFY(QTest::qWaitFor([&p] { return p.search->isIndexReady(); }));
        p.type(QString());
        QVERIFY(p.search->popup->isVisible());
        QCOMPARE(p.search->results->rowCount(), 2);
        QCOMPARE(p.firstCode(), QStringLiteral("0101210010"));
        QCOMPARE(p.search->results->index(0, 0).data(quicksearch::ResultModel::NameRole).toString(),
                 QStringLiteral("改良种用濒危野马"));
    }

    // Typed before the index is ready: answered when it is, with the text in the field then.
    void typingDuringTheBuildIsAnsweredWhenReady()
    {
        Program p;
        QVERIFY(p.makeDatabase(QString::fromUtf8(kRows)));
        QVERIFY(p.start());
        p.search = QuickSearchController::of(p.window.get());
        QVERIFY(!p.search->isIndexReady());
        p.type(QStringLiteral("01012"));
        QCOMPARE(p.search->results->rowCount(), 0);
        QTest::keyClick(p.search->field, Qt::Key_1);
        QVERIFY(QTest::qWaitFor([&p] { return p.search->isIndexReady(); }));
        QCOMPARE(p.firstCode(), QStringLiteral("010121"));
        QAbstractItemModelTester tester(p.search->results, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTest::keyClicks(p.search->field, QStringLiteral("0010"));
        QCOMPARE(p.firstCode(), QStringLiteral("0101210010"));
    }
};

KIV_TEST_MAIN(tst_QuickSearchController)
#include "tst_quicksearchcontroller.moc"
