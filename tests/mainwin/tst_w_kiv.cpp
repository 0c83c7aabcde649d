#include "ui/mainwin/w_kiv.h"

#include "ui/auxiliary/u_url_link.h"

#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/session/globals.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "ui/mainwin/DetailPanel.h"
#include "ui/mainwin/MainLayout.h"
#include "ui/mainwin/SplitterBar.h"
#include "ui/mainwin/TrayIcon.h"
#include "ui/runtime/DataForm.h"
#include "ui/runtime/LayoutUnits.h"
#include "ui/tree/u_tv.h"

#include <QFile>
#include <QLabel>
#include <QApplication>
#include <QCloseEvent>
#include <QEnterEvent>
#include <QFrame>
#include <QSpontaneKeyEvent>
#include <QToolBar>
#include <QtTest>

#include <memory>

using runtime::TreeItem;
using runtime::TreeNavigation;

namespace {
const char *kRows =
    "INSERT INTO list_hscode(code, name, unit, zssl_set, tsl, flag) VALUES"
    " ('01', '活动物', NULL, NULL, NULL, 'Y'),"
    " ('0101', 'Horses', NULL, NULL, NULL, NULL),"
    " ('010121', 'Pure-bred', '千克', NULL, NULL, NULL),"
    " ('0101210010', '改良种用濒危野马', '千克', '9%', 0, NULL),"
    " ('0101210090', NULL, '千克', '9%', 9, NULL),"
    " ('02', '肉', NULL, NULL, NULL, 'N'),"
    " ('0201', 'Meat', NULL, NULL, NULL, NULL);"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, unit, flag) VALUES"
    " ('01', 'N', '活动物', NULL, 'Y'), ('0101', 'N', 'Horses', 'kg', NULL);";

struct Fixture {
    TestEnv env;
    MessageRecorder recorder;
    QString file = env.path(QStringLiteral("K-I-V.db"));
    std::unique_ptr<runtime::Transaction> transaction = std::make_unique<runtime::Transaction>();

    bool open(const QByteArray &profile = "[data]\r\nHGDETAIL=N\r\nWJDETAIL=N\r\nHGtype=R\r\njmwtype=R\r\n",
              const char *rows = kRows)
    {
        gs_docname = env.configHome() + QStringLiteral("/velquor_kiv.ini");
        QFile ini(gs_docname);
        if (!profile.isNull() && (!ini.open(QIODevice::WriteOnly) || ini.write(profile) != profile.size()))
            return false;
        ini.close();
        if (!TestDatabase::create(file) || !TestDatabase::exec(file, QString::fromUtf8(rows)))
            return false;
        transaction->dbParm = QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(file));
        transaction->autoCommit = false;
        sqlca = transaction.get();
        return transaction->connect() == 0;
    }
    ~Fixture() { sqlca = nullptr; }
};

long childOf(const u_tv *tree, long handle, int index)
{
    long child = tree->findItem(TreeNavigation::Child, handle);
    for (int i = 0; i < index && child > 0; ++i)
        child = tree->findItem(TreeNavigation::Next, child);
    return child;
}

// The texts a label had whenever it was painted.
class PaintedTexts : public QObject
{
public:
    explicit PaintedTexts(QLabel *label)
        : m_label(label)
    {
        label->installEventFilter(this);
    }
    QStringList texts;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && (texts.isEmpty() || texts.last() != m_label->text()))
            texts.append(m_label->text());
        return false;
    }

private:
    QLabel *m_label;
};

QString labelOf(const u_tv *tree, long handle)
{
    TreeItem item;
    return tree->getItem(handle, item) == 1 ? item.label : QString();
}
} // namespace

class tst_w_kiv : public QObject
{
    Q_OBJECT
private slots:
    void loadingBuildsBothTrees()
    {
        Fixture f;
        QVERIFY(f.open());
        w_kiv window;
        window.ue_postopen();
        QVERIFY(f.recorder.boxes().isEmpty());
        const long root1 = window.tv_1->findItem(TreeNavigation::Root, 0);
        QCOMPARE(labelOf(window.tv_1, root1), QStringLiteral("海关商品树"));
        QVERIFY(window.tv_1->isItemExpanded(root1));
        const long chapter = childOf(window.tv_1, root1, 0);
        QCOMPARE(labelOf(window.tv_1, chapter), QStringLiteral("[01]活动物"));
        QCOMPARE(childOf(window.tv_1, root1, 1), -1L); // chapter 02 is not selected
        const long sub = childOf(window.tv_1, childOf(window.tv_1, chapter, 0), 0);
        QCOMPARE(labelOf(window.tv_1, childOf(window.tv_1, sub, 1)), QStringLiteral("[0101210090]*未知名称"));
        QCOMPARE(labelOf(window.tv_2, window.tv_2->findItem(TreeNavigation::Root, 0)),
                 QStringLiteral("外经贸局商品树"));
        QCOMPARE(window.dw_1->rowCount(), 5L);
        QVERIFY(!window.st_1->isVisible());
        QCOMPARE(window.st_1->text(), QStringLiteral("正在@数据读取完成!欢迎使用本软件!"));
        QCOMPARE(gs_hgtype, QStringLiteral("R"));
        QVERIFY(!window.isPanelVisible(window.dw_1));
        QVERIFY(!window.isPanelVisible(window.dw_2));
    }

    void selectingAnItemMovesThePanelToItsRow()
    {
        Fixture f;
        QVERIFY(f.open("[data]\r\nHGDETAIL=Y\r\nWJDETAIL=N\r\n"));
        w_kiv window;
        window.show();
        window.ue_postopen();
        QVERIFY(window.isPanelVisible(window.dw_1));
        QVERIFY(!window.isPanelVisible(window.dw_2));
        const long handle = window.dw_1->item(4, QStringLiteral("handle")).toLongLong();
        QCOMPARE(window.tv_1->selectItem(handle), 1);
        QCOMPARE(window.dw_1->currentRow(), 4L);
        QCOMPARE(window.dwPanel_1->form()->fieldText(QStringLiteral("code")), QStringLiteral("0101210010"));
        QCOMPARE(window.dwPanel_1->form()->fieldText(QStringLiteral("name")), QStringLiteral("改良种用濒危野马"));
        QCOMPARE(window.dwPanel_1->form()->fieldText(QStringLiteral("zssl_set")), QStringLiteral("9%"));
        // The root's data "0" matches no row: the panel stays where it was.
        window.tv_1->selectItem(window.tv_1->findItem(TreeNavigation::Root, 0));
        QCOMPARE(window.dw_1->currentRow(), 4L);
    }

    void refreshNeverHidesAPanel()
    {
        Fixture f;
        QVERIFY(f.open("[data]\r\nHGDETAIL=Y\r\n"));
        w_kiv window;
        window.show();
        window.ue_postopen();
        QVERIFY(window.isPanelVisible(window.dw_1));
        QFile ini(gs_docname);
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[data]\r\nHGDETAIL=N\r\n");
        ini.close();
        window.ue_refresh();
        QVERIFY(window.isPanelVisible(window.dw_1));
        QCOMPARE(window.tv_1->itemCount(), 6);
    }

    void clickModesPopThePanelUp()
    {
        Fixture f;
        QVERIFY(f.open("[data]\r\nhgtype=D\r\njmwtype=X\r\n"));
        w_kiv window;
        window.show();
        window.ue_postopen();
        const long handle = window.dw_1->item(1, QStringLiteral("handle")).toLongLong();
        emit window.tv_1->rightClicked(handle);
        QVERIFY(!window.isPanelVisible(window.dw_1));
        emit window.tv_1->doubleClicked(handle);
        QVERIFY(window.isPanelVisible(window.dw_1));
        const long handle2 = window.dw_2->item(1, QStringLiteral("handle")).toLongLong();
        emit window.tv_2->rightClicked(handle2);
        emit window.tv_2->doubleClicked(handle2);
        QVERIFY(!window.isPanelVisible(window.dw_2));
    }

    void missingTablesEndTheApplicationWithAMessage()
    {
        Fixture f;
        QVERIFY(f.open());
        QVERIFY(TestDatabase::exec(f.file, QStringLiteral("DROP TABLE list_jmwcode;")));
        w_kiv window;
        window.ue_postopen();
        QCOMPARE(f.recorder.texts(), QStringList{QStringLiteral("创建商品数据存储失败,系统将退出!")});
        QCOMPARE(f.recorder.boxes().first().title, QStringLiteral("系统提醒您:"));
        QCOMPARE(f.recorder.beeps(), 1);
    }

    void closingAsksFirst()
    {
        Fixture f;
        QVERIFY(f.open());
        w_kiv window;
        window.show();
        f.recorder.answer(2);
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QCOMPARE(f.recorder.boxes().last().text, QStringLiteral("是否真的退出 [Kivtree] 吗?"));
        QCOMPARE(f.recorder.boxes().last().defaultButton, 2);
        f.recorder.answer(1);
        QVERIFY(window.close());
    }

    void withoutATrayTheUserIsToldAndMinimizingStaysUsual()
    {
        Fixture f;
        QVERIFY(f.open());
        TrayIcon::setAvailableForTesting(0);
        w_kiv window;
        window.open();
        TrayIcon::setAvailableForTesting(-1);
        QCOMPARE(f.recorder.boxes().first().title, QStringLiteral("Systray error"));
        QCOMPARE(f.recorder.boxes().first().text, QStringLiteral("Cannot add the systray icon!"));
        QVERIFY(!window.trayIcon()->isShown());
        window.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(window.isVisible());
    }

    void trayIconBringsTheWindowBack()
    {
        Fixture f;
        QVERIFY(f.open());
        TrayIcon::setAvailableForTesting(1);
        w_kiv window;
        window.open();
        TrayIcon::setAvailableForTesting(-1);
        QVERIFY(window.trayIcon()->isShown());
        QCOMPARE(window.findChild<QToolBar *>()->windowTitle(), QStringLiteral("Welcome Velquor Workroom!"));
        QCOMPARE(window.trayIcon()->icondata().cbsize, 88u);
        QCOMPARE(window.trayIcon()->icondata().uflags, 7u);
        QCOMPARE(QByteArray(window.trayIcon()->icondata().sztip.data()), QByteArray("Kivtree V2.2"));
        window.showMinimized();
        QTRY_VERIFY(!window.isVisible()); // minimized to the tray
        window.trayIcon()->command(TrayIcon::wm_rbuttonup);
        QVERIFY(window.isVisible());
        QVERIFY(window.isMaximized());
        window.hide();
        window.trayIcon()->command(1); // a single click does nothing
        QVERIFY(!window.isVisible());
        window.trayIcon()->command(TrayIcon::wm_lbuttondblclk);
        QVERIFY(window.isVisible());
        // Closing through the program still asks first.
        f.recorder.answer(2);
        QVERIFY(!window.close());
        QCOMPARE(f.recorder.boxes().last().text, QStringLiteral("是否真的退出 [Kivtree] 吗?"));
    }

    void clockShowsDateAndTime()
    {
        Fixture f;
        QVERIFY(f.open());
        w_kiv window;
        window.timer();
        QCOMPARE(window.st_time->text().size(), 19);
        QVERIFY(QDateTime::fromString(window.st_time->text(), QStringLiteral("yyyy-MM-dd hh:mm:ss")).isValid());
    }

    void closeBoxHidesToTheTrayWithoutAsking()
    {
        Fixture f;
        QVERIFY(f.open());
        TrayIcon::setAvailableForTesting(1);
        w_kiv window;
        window.open();
        TrayIcon::setAvailableForTesting(-1);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCloseEvent closeBox;
        QSpontaneKeyEvent::setSpontaneous(&closeBox); // as the window system sends it
        qApp->notify(&window, &closeBox); // sendEvent would clear the spontaneous flag
        QVERIFY(!closeBox.isAccepted());
        QVERIFY(!window.isVisible());
        QVERIFY(f.recorder.boxes().isEmpty());
    }

    void closeBoxWithoutATrayAsksTheClosingQuestion()
    {
        Fixture f;
        QVERIFY(f.open());
        TrayIcon::setAvailableForTesting(0);
        w_kiv window;
        window.open();
        TrayIcon::setAvailableForTesting(-1);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        f.recorder.answer(2); // No
        QCloseEvent closeBox;
        QSpontaneKeyEvent::setSpontaneous(&closeBox);
        qApp->notify(&window, &closeBox); // sendEvent would clear the spontaneous flag
        QVERIFY(!closeBox.isAccepted());
        QVERIFY(window.isVisible()); // nobody could reach a window hidden without a tray
        QCOMPARE(f.recorder.boxes().last().text, QStringLiteral("是否真的退出 [Kivtree] 吗?"));
    }

    void draggingTheBarMovesOnlyTheBarUntilRelease()
    {
        Fixture f;
        QVERIFY(f.open());
        w_kiv window;
        window.showNormal();
        window.resize(1000, 700);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.tv_1->width() > 0);
        QWidget *bar = window.st_vertical;
        const QRect tree1 = window.tv_1->geometry();
        const QRect tree2 = window.tv_2->geometry();
        QCOMPARE(bar->x(), tree1.right() + 1); // the bar stands at the left tree's right edge

        // Moving over the bar without a pressed button changes nothing.
        QTest::mouseMove(bar, QPoint(2, 50));
        QCOMPARE(bar->x(), tree1.right() + 1);

        const QPoint grip(bar->width() / 2, 50);
        QTest::mousePress(bar, Qt::LeftButton, {}, grip);
        const int target = tree1.x() + tree1.width() / 2;
        QTest::mouseMove(bar, bar->mapFromParent(QPoint(target, bar->y() + 50)));
        QCOMPARE(bar->x(), target);
        QCOMPARE(window.tv_1->geometry(), tree1); // the trees wait for the release
        QCOMPARE(window.tv_2->geometry(), tree2);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->mapFromParent(QPoint(target, bar->y() + 50)));

        const int barX = bar->x();
        QVERIFY(qAbs(barX - target) <= 2); // units round to pixels
        QCOMPARE(window.tv_1->x(), tree1.x());
        QVERIFY(qAbs(window.tv_1->geometry().right() + 1 - barX) <= 2);
        QVERIFY(qAbs(window.tv_2->x() - (barX + bar->width())) <= 2);
        QVERIFY(window.tv_2->width() > tree2.width());
        QVERIFY(f.recorder.boxes().isEmpty());
    }

    void droppingTheBarTooFarLeftSaysSoOnce()
    {
        Fixture f;
        QVERIFY(f.open());
        w_kiv window;
        window.showNormal();
        window.resize(1000, 700);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget *bar = window.st_vertical;
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 50));
        const QPoint nearTheLeftEdge = bar->mapFromParent(QPoint(2, bar->y() + 50));
        QTest::mouseMove(bar, nearTheLeftEdge);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, nearTheLeftEdge);
        QCOMPARE(f.recorder.boxes().size(), 1);
        QCOMPARE(f.recorder.boxes().first().title, QStringLiteral(":-)"));
        QCOMPARE(f.recorder.boxes().first().text, QStringLiteral("我觉得太小了!"));
        const runtime::LayoutUnits units;
        QVERIFY(qAbs(units.pixelsToUnitsX(bar->x()) - MainLayout::kLeftLimit) <= 1);
        QCOMPARE(window.tv_1->geometry().right() + 1, bar->x());

        // A resize of the window centres the bar again.
        window.resize(1100, 700);
        QTRY_VERIFY(bar->x() > window.width() / 2 - 60);
        QVERIFY(bar->x() < window.width() / 2 + 20);
    }

    void panelsGoToTheTrayWithTheWindowAndComeBack_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("close box") << "close";
        QTest::newRow("minimize") << "minimize";
    }

    void panelsGoToTheTrayWithTheWindowAndComeBack()
    {
        QFETCH(QString, way);
        Fixture f;
        QVERIFY(f.open("[data]\r\nHGDETAIL=Y\r\nWJDETAIL=N\r\n"));
        TrayIcon::setAvailableForTesting(1);
        w_kiv window;
        window.open();
        TrayIcon::setAvailableForTesting(-1);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.isPanelVisible(window.dw_1));
        window.dwPanel_1->move(window.dwPanel_1->pos() + QPoint(37, 23)); // the user moved it
        const QPoint place = window.dwPanel_1->pos();
        if (way == QLatin1String("close")) {
            QCloseEvent closeBox;
            QSpontaneKeyEvent::setSpontaneous(&closeBox);
            qApp->notify(&window, &closeBox);
        } else {
            window.showMinimized();
        }
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(!window.dwPanel_1->isVisible());
        QVERIFY(!window.dwPanel_2->isVisible());
        window.trayIcon()->command(TrayIcon::wm_lbuttondblclk);
        QVERIFY(window.isVisible());
        QVERIFY(window.dwPanel_1->isVisible());
        QCOMPARE(window.dwPanel_1->pos(), place);
        QVERIFY(!window.dwPanel_2->isVisible()); // hidden before, hidden after
        QVERIFY(f.recorder.boxes().isEmpty());
    }

    void linkLabelIsUnderlinedOnlyUnderThePointer()
    {
        Fixture f;
        QVERIFY(f.open());
        w_kiv window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.st_2->font().underline());
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), window.st_2->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(window.st_2, &enter);
        QVERIFY(window.st_2->font().underline());
        QVERIFY(window.st_2->font().bold()); // the rest of its look stays
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(window.st_2, &leave);
        QVERIFY(!window.st_2->font().underline());
    }

    void separatorLinesRunUnderTheToolbarToTheRightEdge_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("narrow") << 700;
        QTest::newRow("wide") << 1200;
    }

    void separatorLinesRunUnderTheToolbarToTheRightEdge()
    {
        QFETCH(int, width);
        Fixture f;
        QVERIFY(f.open());
        w_kiv window;
        window.show();
        window.resize(width, 600);
        QTRY_COMPARE(window.width(), width);
        QApplication::processEvents();
        const runtime::LayoutUnits units;
        const int end = units.unitsToPixelsX(units.pixelsToUnitsX(window.frameGeometry().width()));
        const QToolBar *toolbar = window.findChild<QToolBar *>();
        for (const QFrame *line : {window.ln_1, window.ln_2}) {
            QVERIFY(line->isVisible());
            QCOMPARE(line->geometry().left(), 0);
            QCOMPARE(line->width(), end);
            QVERIFY(line->mapTo(&window, QPoint(0, 0)).y() >= toolbar->geometry().bottom());
            QVERIFY(line->geometry().bottom() < window.tv_1->geometry().top());
        }
        QCOMPARE(window.ln_1->palette().color(QPalette::Window), QColor(128, 128, 128));
        QVERIFY(window.ln_1->geometry().bottom() < window.ln_2->geometry().top()); // grey over light
    }

    void loadingTextsArePaintedWhileTheirStepRuns()
    {
        Fixture f;
        QVERIFY(f.open());
        w_kiv window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The first text shows whole.
        QVERIFY(window.st_1->width() >= window.st_1->sizeHint().width());
        PaintedTexts painted(window.st_1);
        window.ue_postopen(); // runs without returning to the event loop, as a posted event does
        QStringList expected{QStringLiteral("正在@读取商品信息,请稍候...."),
                             QStringLiteral("正在@创建商品数据存储成功!继续...."),
                             QStringLiteral("正在@创建创建海关商品树成功!继续....")};
        for (const QString &text : expected)
            QVERIFY2(painted.texts.contains(text), qPrintable(painted.texts.join(QLatin1Char('|'))));
        QVERIFY(painted.texts.indexOf(expected[0]) < painted.texts.indexOf(expected[2]));
    }
};

KIV_TEST_MAIN(tst_w_kiv)
#include "tst_w_kiv.moc"
