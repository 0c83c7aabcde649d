#include "ui/mainwin/MainWindowKeys.h"

#include "support/TestMain.h"
#include "ui/menu/m_main.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QtTest>

// The main window's keys while one of its menus holds the keyboard. The menu's commands are
// cut off from their windows, so each key shows as one trigger of its item.
class tst_MainWindowKeys : public QObject
{
    Q_OBJECT

    struct Window {
        QMainWindow frame;
        m_main *menu = m_main::install(&frame);
        Window()
        {
            MainWindowKeys::install(&frame);
            for (QAction *action : frame.actions())
                QObject::disconnect(action, &QAction::triggered, menu, nullptr);
        }
        bool activate()
        {
            frame.show();
            frame.activateWindow();
            return QTest::qWaitForWindowActive(&frame);
        }
        QAction *action(const QString &name) { return frame.findChild<QAction *>(name); }
        // Opens a drop-down with the mouse, as a user does.
        bool openDropDown(QMenu *dropDown)
        {
            QMenuBar *bar = frame.menuBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(dropDown->menuAction()).center());
            return QTest::qWaitFor([&] { return QApplication::activePopupWidget() == dropDown; });
        }
    };

private slots:
    void functionKeysWorkWithADropDownOpen_data()
    {
        QTest::addColumn<QString>("dropDown");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("item");
        QTest::newRow("F2 in 文件") << "m_wj" << int(Qt::Key_F2) << "m_option";
        QTest::newRow("F3 in 文件") << "m_wj" << int(Qt::Key_F3) << "m_output";
        QTest::newRow("F5 in 文件") << "m_wj" << int(Qt::Key_F5) << "m_refresh";
        QTest::newRow("F2 in 帮助") << "m_h" << int(Qt::Key_F2) << "m_option";
        QTest::newRow("F8 in 帮助") << "m_h" << int(Qt::Key_F8) << "m_about";
    }

    void functionKeysWorkWithADropDownOpen()
    {
        QFETCH(QString, dropDown);
        QFETCH(int, key);
        QFETCH(QString, item);
        Window w;
        QVERIFY(w.activate());
        QSignalSpy triggered(w.action(item), &QAction::triggered);
        QMenu *menu = dropDown == QLatin1String("m_wj") ? w.menu->m_wj : w.menu->m_h;
        QVERIFY(w.openDropDown(menu));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key(key));
        QTRY_COMPARE(triggered.size(), 1);
        QVERIFY(!menu->isVisible());
        QVERIFY(!QApplication::activePopupWidget());
        QTest::qWait(50);
        QCOMPARE(triggered.size(), 1); // once, not again by the window's own shortcut
    }

    void keysOfTheMenuItselfStayTheMenus()
    {
        Window w;
        QVERIFY(w.activate());
        QSignalSpy options(w.action(QStringLiteral("m_option")), &QAction::triggered);
        QVERIFY(w.openDropDown(w.menu->m_wj));
        // A key the window has no command for, and the menu's own arrow key, leave it open.
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_F9);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Down);
        QVERIFY(w.menu->m_wj->isVisible());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!w.menu->m_wj->isVisible());
        QCOMPARE(options.size(), 0);
        // Without a menu open the window's own shortcut answers, once.
        QVERIFY(w.activate());
        QTest::keyClick(&w.frame, Qt::Key_F2);
        QTRY_COMPARE(options.size(), 1);
        QTest::qWait(50);
        QCOMPARE(options.size(), 1);
    }

    void contextMenusOfTheWindowPassTheKeysOnToo()
    {
        Window w;
        auto *control = new QWidget(&w.frame);
        w.frame.setCentralWidget(control);
        QVERIFY(w.activate());
        QSignalSpy refresh(w.action(QStringLiteral("m_refresh")), &QAction::triggered);
        QMenu context(control);
        context.addAction(QStringLiteral("申报信息"));
        context.popup(control->mapToGlobal(QPoint(10, 10)));
        QTRY_COMPARE(QApplication::activePopupWidget(), &context);
        QTest::keyClick(&context, Qt::Key_F5);
        QTRY_COMPARE(refresh.size(), 1);
        QVERIFY(!context.isVisible());
    }
};

KIV_TEST_MAIN(tst_MainWindowKeys)
#include "tst_mainwindowkeys.moc"
