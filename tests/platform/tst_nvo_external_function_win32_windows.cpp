#include "support/TestMain.h"
#include "ui/platform/WindowHandles.h"
#include "ui/platform/nvo_external_function_win32.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

// The window, timer and key-state functions, on widgets the tests make.

using nvo = nvo_external_function_win32;

namespace {

// Counts the timer events it receives, by id.
class TimerWidget : public QWidget
{
public:
    QHash<int, int> ticks;

protected:
    void timerEvent(QTimerEvent *event) override { ++ticks[event->timerId()]; }
};

} // namespace

class tst_nvo_external_function_win32_windows : public QObject
{
    Q_OBJECT

private slots:
    void keyState();
    void findAndReadWindows();
    void windowRelations();
    void showMoveAndRetitle();
    void activeWindowAndFlash();
    void destroyedWindowsAreGone();
    void timers();
};

void tst_nvo_external_function_win32_windows::keyState()
{
    nvo n;
    for (int key : {0x01, 0x02, 0x04, 0x10, 0x11, 0x12, 0xA0, 0x41, 0x0D, -5, 5000})
        QVERIFY2(!n.uf_getkeystatus(key), qPrintable(QString::number(key)));

    QPushButton button(QStringLiteral("按住"));
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QTest::mousePress(&button, Qt::LeftButton);
    QVERIFY(n.uf_getkeystatus(0x01));
    QCOMPARE(n.getasynckeystate(0x01), qint16(0x8000));
    QVERIFY(!n.uf_getkeystatus(0x02));
    QTest::mouseRelease(&button, Qt::LeftButton);
    QVERIFY(!n.uf_getkeystatus(0x01));
    QCOMPARE(n.getasynckeystate(0x01), qint16(0));
}

void tst_nvo_external_function_win32_windows::findAndReadWindows()
{
    nvo n;
    const QString title = QStringLiteral("Kivtree 查找窗口");
    QWidget window;
    window.setWindowTitle(title);
    const quint32 handle = WindowHandles::handleOf(&window);
    QVERIFY(handle > 0);

    QCOMPARE(n.of_findwindow(0, title), handle);
    QCOMPARE(n.of_findwindow(0, QStringLiteral("KIVTREE 查找窗口")), handle);
    QCOMPARE(n.of_findwindow(0, QStringLiteral("Kivtree")), 0u);
    QCOMPARE(n.of_findwindow(32770, title), 0u); // no class atoms here
    QVERIFY(n.of_findwindow(0, QString()) != 0);

    QString text;
    QCOMPARE(n.uf_getwindowtext(handle, text, 100), int(title.size()));
    QCOMPARE(text, title);
    // Room for the terminator: a buffer of 8 holds 7 characters.
    QCOMPARE(n.uf_getwindowtext(handle, text, 8), 7);
    QCOMPARE(text, title.left(7));
    text = QStringLiteral("kept");
    QCOMPARE(n.uf_getwindowtext(handle, text, 0), 0);
    QCOMPARE(text, QStringLiteral("kept"));
    QCOMPARE(n.uf_getwindowtext(0, text, 100), 0);
    QVERIFY(text.isEmpty());

    QVERIFY(!n.uf_iswindowvisible(handle));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(n.uf_iswindowvisible(handle));
    QCOMPARE(n.of_findwindow(0, title), handle);
}

void tst_nvo_external_function_win32_windows::windowRelations()
{
    nvo n;
    QWidget window;
    auto *first = new QPushButton(QStringLiteral("第一"), &window);
    auto *second = new QLabel(QStringLiteral("第二"), &window);
    QDialog dialog(&window);
    const quint32 w = WindowHandles::handleOf(&window);
    const quint32 a = WindowHandles::handleOf(first);
    const quint32 b = WindowHandles::handleOf(second);

    // The topmost child is the one made last; the next one lies below it.
    QCOMPARE(n.uf_getwindow(w, nvo::gw_child), b);
    QCOMPARE(n.uf_getwindow(b, nvo::gw_hwndnext), a);
    QCOMPARE(n.uf_getwindow(a, nvo::gw_hwndnext), 0u);
    QCOMPARE(n.uf_getwindow(a, nvo::gw_hwndprev), b);
    QCOMPARE(n.uf_getwindow(b, nvo::gw_hwndprev), 0u);
    QCOMPARE(n.uf_getwindow(a, nvo::gw_hwndfirst), b);
    QCOMPARE(n.uf_getwindow(b, nvo::gw_hwndlast), a);
    QCOMPARE(n.uf_getwindow(a, nvo::gw_child), 0u);
    QCOMPARE(n.uf_getwindow(a, 99), 0u);

    // A dialog is owned by its parent window; neither a top window nor a control has an owner.
    QCOMPARE(n.uf_getwindow(WindowHandles::handleOf(&dialog), nvo::gw_owner), w);
    QCOMPARE(n.uf_getwindow(w, nvo::gw_owner), 0u);
    QCOMPARE(n.uf_getwindow(a, nvo::gw_owner), 0u);
    // The dialog is a window, not a control of its parent.
    QVERIFY(n.uf_getwindow(w, nvo::gw_child) != WindowHandles::handleOf(&dialog));

    QString text;
    QCOMPARE(n.uf_getwindowtext(a, text, 50), 2);
    QCOMPARE(text, QStringLiteral("第一"));
    QCOMPARE(n.uf_getwindowtext(b, text, 50), 2);
    QCOMPARE(text, QStringLiteral("第二"));
}

void tst_nvo_external_function_win32_windows::showMoveAndRetitle()
{
    nvo n;
    QWidget window;
    auto *button = new QPushButton(QStringLiteral("旧"), &window);
    const quint32 w = WindowHandles::handleOf(&window);
    const quint32 b = WindowHandles::handleOf(button);

    QVERIFY(!n.showwindow(w, nvo::sw_show)); // was hidden
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(n.uf_iswindowvisible(w));
    QVERIFY(n.uf_iswindowvisible(b));
    QVERIFY(!n.isiconic(w));
    QVERIFY(n.showwindow(w, nvo::sw_minimize));
    QVERIFY(n.isiconic(w));
    QVERIFY(n.showwindow(w, nvo::sw_restore));
    QVERIFY(!n.isiconic(w));
    QVERIFY(n.showwindow(b, nvo::sw_hide));
    QVERIFY(!n.uf_iswindowvisible(b));
    QVERIFY(n.uf_iswindowvisible(w));
    QVERIFY(!n.showwindow(b, nvo::sw_show));
    QVERIFY(n.uf_iswindowvisible(b));

    QVERIFY(n.movewindow(b, 5, 6, 70, 30, true));
    QCOMPARE(button->geometry(), QRect(5, 6, 70, 30));
    QVERIFY(n.movewindow(w, 40, 50, 320, 240, false));
    QCOMPARE(window.size(), QSize(320, 240));

    QVERIFY(n.setwindowtexta(w, QStringLiteral("新标题")));
    QCOMPARE(window.windowTitle(), QStringLiteral("新标题"));
    QCOMPARE(n.of_findwindow(0, QStringLiteral("新标题")), w);
    QVERIFY(n.setwindowtexta(b, QStringLiteral("新")));
    QCOMPARE(button->text(), QStringLiteral("新"));

    QVERIFY(n.showwindow(w, nvo::sw_hide));
    QVERIFY(!n.uf_iswindowvisible(w));
    QVERIFY(!n.uf_iswindowvisible(b)); // hidden with its window
}

void tst_nvo_external_function_win32_windows::activeWindowAndFlash()
{
    nvo n;
    QWidget window;
    window.setWindowTitle(QStringLiteral("Kivtree 活动"));
    const quint32 w = WindowHandles::handleOf(&window);
    QVERIFY(!n.uf_flash_window(w, true)); // not active: it was hidden
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(n.getactivewindow(), w);
    QVERIFY(n.uf_flash_window(w, true));
    QVERIFY(n.uf_flash_window(w, false));
    QVERIFY(!n.uf_flash_window(0, true));
}

void tst_nvo_external_function_win32_windows::destroyedWindowsAreGone()
{
    nvo n;
    auto *window = new QWidget;
    window->setWindowTitle(QStringLiteral("Kivtree 将关闭"));
    auto *child = new QPushButton(QStringLiteral("x"), window);
    window->show();
    const quint32 w = WindowHandles::handleOf(window);
    const quint32 c = WindowHandles::handleOf(child);
    QCOMPARE(WindowHandles::widgetOf(w), window);
    delete window;

    QVERIFY(!WindowHandles::widgetOf(w));
    QVERIFY(!WindowHandles::widgetOf(c));
    QCOMPARE(n.of_findwindow(0, QStringLiteral("Kivtree 将关闭")), 0u);
    QString text = QStringLiteral("kept");
    QCOMPARE(n.uf_getwindowtext(w, text, 50), 0);
    QVERIFY(!n.uf_iswindowvisible(w));
    QCOMPARE(n.uf_getwindow(w, nvo::gw_child), 0u);
    QCOMPARE(n.uf_settimer(w, 1, 10), 0u);
    QVERIFY(!n.uf_killtimer(w, 1));
    QVERIFY(!n.showwindow(c, nvo::sw_show));
    QVERIFY(!n.movewindow(c, 0, 0, 1, 1, true));
    QVERIFY(!n.setwindowtexta(w, QStringLiteral("y")));
    QVERIFY(!n.isiconic(w));
    // A handle is never given to another widget.
    QWidget next;
    QVERIFY(WindowHandles::handleOf(&next) != w);
    QVERIFY(WindowHandles::handleOf(&next) != c);
    QCOMPARE(WindowHandles::handleOf(nullptr), 0u);
}

void tst_nvo_external_function_win32_windows::timers()
{
    nvo n;
    TimerWidget window;
    const quint32 w = WindowHandles::handleOf(&window);
    QCOMPARE(n.uf_settimer(w, 42, 10), 42u);
    QCOMPARE(n.uf_settimer(w, 43, 10), 43u);
    QTRY_VERIFY(window.ticks.value(42) >= 2 && window.ticks.value(43) >= 2);
    QVERIFY(n.uf_killtimer(w, 42));
    QVERIFY(!n.uf_killtimer(w, 42));
    const int stopped = window.ticks.value(42);
    const int running = window.ticks.value(43);
    QTRY_VERIFY(window.ticks.value(43) >= running + 2);
    QCOMPARE(window.ticks.value(42), stopped);
    QVERIFY(n.uf_killtimer(w, 43));

    // The same id again after it was killed.
    QCOMPARE(n.uf_settimer(w, 42, 10), 42u);
    QTRY_VERIFY(window.ticks.value(42) > stopped);
    QVERIFY(n.uf_killtimer(w, 42));

    QCOMPARE(n.settimer(w, 7, 10, 0x401000), 0u); // no callbacks by address
    QCOMPARE(n.uf_settimer(0, 7, 10), 0u);
    QCOMPARE(n.uf_settimer(0xFFFFFF, 7, 10), 0u);
    QVERIFY(!n.uf_killtimer(0, 7));
    QVERIFY(!window.ticks.contains(7));
}

KIV_TEST_MAIN(tst_nvo_external_function_win32_windows)
#include "tst_nvo_external_function_win32_windows.moc"
