#include "ui/menu/m_main.h"

#include "core/runtime/Transaction.h"
#include "core/session/globals.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "ui/auxiliary/w_about.h"
#include "ui/find/w_findats.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/options/w_sys_option.h"
#include "ui/tree/u_tv.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {
// A frame window with the two user events of the main window, counting their runs.
class CountingWindow : public QMainWindow
{
    Q_OBJECT
public:
    int postopens = 0;
    int refreshes = 0;
public slots:
    void ue_postopen() { ++postopens; }
    void ue_refresh() { ++refreshes; }
};

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void openUrl(const QUrl &url) { urls.append(url); }
};

QStringList namesOf(const QList<QAction *> &actions)
{
    QStringList names;
    for (const QAction *a : actions)
        names.append(a->objectName());
    return names;
}

bool activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Chapter 01 of each list is selected, chapter 02 of the customs list is not.
const char *kRows = "INSERT INTO list_hscode(code, name, flag) VALUES"
                    " ('01', '活动物', 'Y'), ('0101', 'Horses', NULL), ('02', '肉', 'N'), ('0201', 'Meat', NULL);"
                    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, flag) VALUES ('01', 'N', '活动物', 'Y');";
// The small database of kRows, connected as sqlca for a real main window.
struct Connected {
    TestEnv env;
    MessageRecorder recorder;
    QString file = env.path(QStringLiteral("K-I-V.db"));
    std::unique_ptr<runtime::Transaction> transaction = std::make_unique<runtime::Transaction>();

    bool open()
    {
        if (!TestDatabase::create(file) || !TestDatabase::exec(file, QString::fromUtf8(kRows)))
            return false;
        gs_docname = env.configHome() + QStringLiteral("/velquor_kiv.ini");
        transaction->dbParm = QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(file));
        transaction->autoCommit = false;
        sqlca = transaction.get();
        return transaction->connect() == 0;
    }
    ~Connected()
    {
        transaction->disconnect();
        sqlca = nullptr;
    }
};
} // namespace

class tst_m_main : public QObject
{
    Q_OBJECT
private slots:
    void itemsHaveCaptionsShortcutsAndMicroHelp_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("microhelp");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::newRow("m_option") << "m_option" << "系统设置[&O]\tF2" << "系统设置" << "系统设置" << QKeySequence(Qt::Key_F2);
        QTest::newRow("m_gen") << "m_gen" << "重新生成[&G]\tF4" << "重新生成" << "重新生成" << QKeySequence(Qt::Key_F4);
        QTest::newRow("m_output") << "m_output" << "快速查找[&F]\tF3" << "快速查找" << "快速查找" << QKeySequence(Qt::Key_F3);
        QTest::newRow("m_refresh") << "m_refresh" << "刷 新 树[&R]\tF5" << "刷  新  树" << "刷  新  树"
                                   << QKeySequence(Qt::Key_F5);
        QTest::newRow("m_exit") << "m_exit" << "退  出[&X]" << "退出" << "" << QKeySequence();
        QTest::newRow("m_1") << "m_1" << "欢迎光临Velquor工作室\tF7" << "欢迎光临Velquor工作室!"
                             << "欢迎光临Velquor工作室!" << QKeySequence(Qt::Key_F7);
        QTest::newRow("m_about") << "m_about" << "关于[&A]...\tF8" << "关于" << "" << QKeySequence(Qt::Key_F8);
    }

    void itemsHaveCaptionsShortcutsAndMicroHelp()
    {
        QFETCH(QString, name);
        QMainWindow window;
        m_main::install(&window);
        auto *action = window.findChild<QAction *>(name);
        QVERIFY(action);
        QFETCH(QString, text);
        QFETCH(QString, microhelp);
        QFETCH(QString, tag);
        QFETCH(QKeySequence, shortcut);
        QCOMPARE(action->text(), text);
        QCOMPARE(action->statusTip(), microhelp);
        QCOMPARE(action->property("tag").toString(), tag);
        QCOMPARE(action->shortcut(), shortcut);
        QCOMPARE(action->shortcutContext(), Qt::WindowShortcut);
    }

    void dropDownsHoldTheirItemsInMenuOrder()
    {
        QMainWindow window;
        m_main *menu = m_main::install(&window);
        const QList<QAction *> top = window.menuBar()->actions();
        QCOMPARE(top.size(), 2);
        QCOMPARE(top.at(0)->text(), QStringLiteral("文件[&F]"));
        QCOMPARE(top.at(0)->statusTip(), QStringLiteral("文件"));
        QCOMPARE(top.at(1)->text(), QStringLiteral("帮助[&H]"));
        QCOMPARE(namesOf(menu->m_wj->actions()),
                 QStringList({"m_option", "m_11", "m_gen", "m_output", "m_refresh", "m_2", "m_exit"}));
        QCOMPARE(namesOf(menu->m_h->actions()), QStringList({"m_3", "m_1", "m_4", "m_about"}));
        for (QAction *separator : {menu->m_11, menu->m_2, menu->m_3, menu->m_4})
            QVERIFY(separator->isSeparator());
        QCOMPARE(menu->m_3->statusTip(), QStringLiteral("系统信息"));
        QVERIFY(!menu->m_option->isSeparator());
    }

    void toolbarShowsSevenButtonsInOrderWithTextsAndGaps()
    {
        QMainWindow window;
        m_main *menu = m_main::install(&window);
        QCOMPARE(window.findChildren<QToolBar *>().size(), 1);
        QToolBar *bar = menu->toolbar;
        QCOMPARE(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(namesOf(bar->actions()),
                 QStringList({"space_m_option", "m_option", "space_m_gen", "m_gen", "m_output", "m_refresh", "m_1",
                              "space_m_about", "m_about", "space_m_exit", "m_exit"}));
        const QStringList texts = {"系统设置", "重新生成", "快速查找", "刷  新  树", "欢迎光临", "关    于", "退出"};
        QStringList shown;
        for (QAction *action : bar->actions()) {
            auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action));
            if (!button)
                continue;
            QVERIFY2(!button->icon().isNull(), qPrintable(action->objectName()));
            shown.append(button->text());
        }
        QCOMPARE(shown, texts);
    }

    void statusLineShowsMicroHelpWhileHovered()
    {
        QMainWindow window;
        window.setCentralWidget(new QWidget);
        m_main *menu = m_main::install(&window);
        window.resize(800, 400);
        QVERIFY(activate(window));
        QCOMPARE(menu->microHelp->text(), QStringLiteral("我们服务于您的信息化建设!"));
        QVERIFY(menu->microHelp->isVisible());

        QWidget *button = menu->toolbar->widgetForAction(menu->m_gen);
        QTest::mouseMove(button, button->rect().center());
        QTRY_COMPARE(window.statusBar()->currentMessage(), QStringLiteral("重新生成"));
        QVERIFY(!menu->microHelp->isVisible());

        QTest::mouseMove(window.centralWidget(), window.centralWidget()->rect().center());
        QTRY_VERIFY(window.statusBar()->currentMessage().isEmpty());
        QVERIFY(menu->microHelp->isVisible());
    }

    void functionKeysPostTheUserEvents()
    {
        CountingWindow window;
        m_main::install(&window);
        QVERIFY(activate(window));
        QTest::keyClick(&window, Qt::Key_F4);
        QCOMPARE(window.postopens, 0); // posted: runs after the key has been handled
        QTRY_COMPARE(window.postopens, 1);
        QTest::keyClick(&window, Qt::Key_F5);
        QCOMPARE(window.refreshes, 0);
        QTRY_COMPARE(window.refreshes, 1);
        QCOMPARE(window.postopens, 1);
    }

    void f5RebuildsFromMemoryAndF4ReloadsTheDatabase()
    {
        Connected db;
        QVERIFY(db.open());
        const QString &file = db.file;
        MessageRecorder &recorder = db.recorder;
        {
            w_kiv window;
            QVERIFY(activate(window));
            window.ue_postopen();
            QCOMPARE(window.tv_1->itemCount(), 3); // root, 01, 0101

            QVERIFY(TestDatabase::exec(file, QStringLiteral("UPDATE list_hscode SET flag = 'Y' WHERE code = '02'")));
            window.tv_1->deleteAllItems();
            QTest::keyClick(&window, Qt::Key_F5);
            QTRY_COMPARE(window.tv_1->itemCount(), 3); // rebuilt from the rows in memory

            QTest::keyClick(&window, Qt::Key_F4);
            QTRY_COMPARE(window.tv_1->itemCount(), 5); // chapter 02 now comes from the database
            QVERIFY(recorder.boxes().isEmpty());
        }
    }

    void f2AndF3OpenTheOptionsAndTheFindWindowOnce()
    {
        Connected db;
        QVERIFY(db.open());
        MessageRecorder &recorder = db.recorder;
        {
            w_kiv window;
            QVERIFY(activate(window));
            window.ue_postopen();
            QTest::keyClick(&window, Qt::Key_F2);
            QTRY_VERIFY(w_sys_option::openInstance());
            QPointer<w_sys_option> options = w_sys_option::openInstance();
            QVERIFY(options->isVisible());
            QVERIFY(!options->isModal());
            QVERIFY(activate(window));
            QTest::keyClick(&window, Qt::Key_F2);
            QCOMPARE(window.findChildren<w_sys_option *>().size(), 1); // raised, not opened twice

            QVERIFY(activate(window));
            QTest::keyClick(&window, Qt::Key_F3);
            QTRY_COMPARE(window.findChildren<w_findats *>().size(), 1);
            w_findats *find = window.findChildren<w_findats *>().first();
            QVERIFY(find->isVisible());
            QVERIFY(!find->isModal());
            QVERIFY(activate(window));
            QTest::keyClick(&window, Qt::Key_F3);
            QCOMPARE(window.findChildren<w_findats *>().size(), 1);
            options->close();
            find->close();
            QVERIFY(recorder.boxes().isEmpty());
        }
    }

    void exitAsksAndDecliningKeepsTheWindowOpen()
    {
        TestEnv env;
        MessageRecorder recorder;
        w_kiv window;
        window.show();
        auto *exit = window.findChild<QAction *>(QStringLiteral("m_exit"));
        QVERIFY(exit);
        recorder.answer(2);
        exit->trigger();
        QCOMPARE(recorder.boxes().size(), 1);
        QCOMPARE(recorder.boxes().at(0).text, QStringLiteral("是否真的退出 [Kivtree] 吗?"));
        QVERIFY(window.isVisible());

        recorder.answer(1);
        exit->trigger();
        QCOMPARE(recorder.boxes().size(), 2);
        QVERIFY(!window.isVisible());
    }

    void f7OpensTheWebAddress()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "openUrl");
        QMainWindow window;
        m_main::install(&window);
        QVERIFY(activate(window));
        QTest::keyClick(&window, Qt::Key_F7);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(catcher.urls, QList<QUrl>({QUrl(QString::fromLatin1(kiv::kWebAddress))}));
    }

    void f8OpensTheAboutWindowModally()
    {
        QMainWindow window;
        m_main::install(&window);
        QVERIFY(activate(window));
        QString seen;
        QTimer::singleShot(0, this, [&seen] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *about = qobject_cast<w_about *>(modal)) {
                seen = QString::fromLatin1(about->metaObject()->className());
                about->close();
            }
        });
        QTest::keyClick(&window, Qt::Key_F8);
        QCOMPARE(seen, QStringLiteral("w_about"));
    }
};

KIV_TEST_MAIN(tst_m_main)
#include "tst_m_main.moc"
