#include "core/session/globals.h"
#include "ui/auxiliary/f_adjust_winpos.h"
#include "ui/auxiliary/u_url_link.h"
#include "ui/auxiliary/w_help.h"
#include "ui/runtime/LayoutUnits.h"

#include "TestEnv.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <QtTest>

class HelpUrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class tst_w_help : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void helpNumber_data();
    void helpNumber();
    void showsTheChosenText();
    void numberAboveTheLastGivesAnEmptyBox();
    void longTextScrollsAndStaysReadOnly();
    void missingBitmapsLeaveEmptyPictures();
    void linkOpensTheWebAddress();
    void closesByButtonEscAndEnter();
    void openWithParmWaitsUntilClosed();

private:
    static QString text(const w_help &window) { return window.findChild<QPlainTextEdit *>("mle_1")->toPlainText(); }
    // The help file's CR LF line ends show as plain line breaks.
    static QString shown(QString help) { return help.replace(QLatin1String("\r\n"), QLatin1String("\n")); }
    HelpUrlRecorder m_browser;
};

void tst_w_help::init()
{
    for (int i = 1; i <= 7; ++i)
        gs_help[i] = QStringLiteral("\r\n第%1条帮助 text %1\r\n").arg(i);
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_browser, "open");
}

void tst_w_help::cleanup()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    gs_help = {};
}

void tst_w_help::helpNumber_data()
{
    QTest::addColumn<QString>("parm");
    QTest::addColumn<int>("number");
    QTest::newRow("4") << "4" << 4;
    QTest::newRow("blanks around") << " 3 " << 3;
    QTest::newRow("largest") << "32767" << 32767;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("negative") << "-1" << -1;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("trailing letters") << "4a" << 0;
    QTest::newRow("fraction") << "3.5" << 0;
    QTest::newRow("exponent") << "1e2" << 0;
    QTest::newRow("beyond 16 bits") << "32768" << 0;
    QTest::newRow("huge") << "99999999999999999999" << 0;
}

void tst_w_help::helpNumber()
{
    QFETCH(QString, parm);
    QFETCH(int, number);
    QCOMPARE(w_help::helpNumber(parm), number);
    {
        w_help window(parm);
        QCOMPARE(window.closedAtOnce(), number <= 0);
    }
    if (number > 0)
        return;
    // openWithParm must return without ever showing a modal window.
    bool modalShown = false;
    QTimer watchdog;
    connect(&watchdog, &QTimer::timeout, this, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modalShown = true;
            static_cast<QDialog *>(modal)->reject();
        }
    });
    watchdog.start(50);
    w_help::openWithParm(parm);
    QVERIFY(!modalShown);
}

void tst_w_help::showsTheChosenText()
{
    for (const int n : {1, 3, 4, 7}) {
        w_help window(QString::number(n));
        QVERIFY(!window.closedAtOnce());
        QCOMPARE(text(window), shown(gs_help[n]));
        QCOMPARE(window.windowTitle(), QStringLiteral("帮助"));
    }
    // The text is set, then the window placed by its size.
    w_help window(QStringLiteral("4"));
    const runtime::LayoutUnits units;
    QCOMPARE(window.size(), units.toPixels(QSize(1998, 1288)));
    QCOMPARE(window.pos(), units.toPixels(kiv::adjustedWinPos(
                               QSize(units.pixelsToUnitsX(window.width()), units.pixelsToUnitsY(window.height())))));
}

void tst_w_help::numberAboveTheLastGivesAnEmptyBox()
{
    for (const char *parm : {"8", "9", "32767"}) {
        w_help window(QString::fromLatin1(parm));
        QVERIFY(!window.closedAtOnce());
        QVERIFY2(text(window).isEmpty(), parm);
    }
}

void tst_w_help::longTextScrollsAndStaysReadOnly()
{
    // 30,000 bytes of UTF-8 in lines, as a help file near its size limit would hold.
    QString help;
    while (help.toUtf8().size() < 30000)
        help += QStringLiteral("第%1行：商品编码的帮助说明。\r\n").arg(help.size());
    gs_help[5] = help;

    w_help window(QStringLiteral("5"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *box = window.findChild<QPlainTextEdit *>("mle_1");
    QCOMPARE(box->toPlainText(), shown(help));
    QVERIFY(box->isReadOnly());
    QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QTRY_VERIFY(box->verticalScrollBar()->maximum() > 0);

    QScrollBar *bar = box->verticalScrollBar();
    bar->setValue(bar->maximum());
    QCOMPARE(bar->value(), bar->maximum());
    QTest::keyClick(box, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClicks(box, QStringLiteral("xyz"));
    QTest::keyClick(box, Qt::Key_Delete);
    QCOMPARE(box->toPlainText(), shown(help));
    QVERIFY(window.isVisible()); // typing into the box does not close it
}

void tst_w_help::missingBitmapsLeaveEmptyPictures()
{
    {
        w_help window(QStringLiteral("1"));
        const QLabel *top = window.findChild<QLabel *>("p_1");
        QVERIFY(!top->pixmap().isNull());
        QCOMPARE(top->size(), top->pixmap().deviceIndependentSize().toSize());
        QVERIFY(!window.findChild<QLabel *>("p_2")->pixmap().isNull());
    }
    TestEnv env;
    kiv::initAppResources();
    QVERIFY(QDir().mkdir(env.path(QStringLiteral("bmp"))));
    QVERIFY(QFile::copy(QStringLiteral(":/app/bitmaps/helptop.png"), env.path(QStringLiteral("bmp/helptop.png"))));
    {
        w_help window(QStringLiteral("2"), nullptr, env.path(QStringLiteral("bmp")));
        QVERIFY(!window.findChild<QLabel *>("p_1")->pixmap().isNull());
        QVERIFY(window.findChild<QLabel *>("p_2")->pixmap().isNull());
        QCOMPARE(text(window), shown(gs_help[2]));
    }
    {
        w_help window(QStringLiteral("2"), nullptr, env.path(QStringLiteral("nothing-here")));
        QVERIFY(window.findChild<QLabel *>("p_1")->pixmap().isNull());
        QVERIFY(window.findChild<QLabel *>("p_2")->pixmap().isNull());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
}

void tst_w_help::linkOpensTheWebAddress()
{
    w_help window(QStringLiteral("3"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *link = window.findChild<u_url_link *>("st_ww");
    QCOMPARE(link->text(), QStringLiteral("Velquor（Velquor）软件工作室"));
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(m_browser.urls, QList<QUrl>{QUrl(QString::fromLatin1(kiv::kWebAddress))});
    QVERIFY(window.isVisible());
}

void tst_w_help::closesByButtonEscAndEnter()
{
    {
        w_help window(QStringLiteral("3"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *button = window.findChild<QPushButton *>("cb_3");
        QCOMPARE(button->text(), QStringLiteral("关闭[&C]"));
        button->click();
        QVERIFY(!window.isVisible());
    }
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        w_help window(QStringLiteral("3"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window, key);
        QVERIFY2(!window.isVisible(), qPrintable(QString::number(key)));
    }
    // Either Enter key on the focused close button presses it.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        w_help window(QStringLiteral("3"));
        window.show();
        QTest::keyClick(window.findChild<QPushButton *>("cb_3"), key);
        QVERIFY2(!window.isVisible(), qPrintable(QString::number(key)));
    }
    // Enter closes it even while the text box has the focus.
    w_help window(QStringLiteral("3"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *box = window.findChild<QPlainTextEdit *>("mle_1");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(!window.isVisible());
}

void tst_w_help::openWithParmWaitsUntilClosed()
{
    QString seenText;
    QTimer::singleShot(0, this, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            seenText = modal->findChild<QPlainTextEdit *>("mle_1")->toPlainText();
            static_cast<QDialog *>(modal)->reject();
        }
    });
    QTimer watchdog; // never hang, should the window not be found
    connect(&watchdog, &QTimer::timeout, this, [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QDialog *>(w))
                dialog->reject();
    });
    watchdog.start(5000);
    w_help::openWithParm(QStringLiteral("4"));
    QCOMPARE(seenText, shown(gs_help[4]));
}

KIV_TEST_MAIN(tst_w_help)
#include "tst_w_help.moc"
