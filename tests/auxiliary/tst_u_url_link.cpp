#include "core/session/globals.h"
#include "support/TestMain.h"
#include "ui/auxiliary/u_url_link.h"
#include "ui/runtime/LayoutUnits.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>

// Stands in for the browser: records the addresses the desktop would open.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class tst_u_url_link : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void looksLikeALink();
    void opensTheAddress();
    void clickNeedsPressAndReleaseOverTheLabel();
    void hoverAndClickLeaveTheLookAlone();
    void screenReadersSeeAPressableLink();
    void longTextIsNotCutOff();

private:
    UrlRecorder m_browser;
};

void tst_u_url_link::init()
{
    m_browser.urls.clear();
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_browser, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_browser, "open");
}

void tst_u_url_link::cleanup()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

void tst_u_url_link::looksLikeALink()
{
    QWidget window;
    u_url_link link(&window);
    QCOMPARE(link.text(), QStringLiteral("网址"));
    QCOMPARE(link.size(), runtime::LayoutUnits().toPixels(QSize(590, 96)));
    QCOMPARE(link.palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(link.palette().color(QPalette::Window), window.palette().color(QPalette::Button));
    QVERIFY(link.font().underline());
    QCOMPARE(link.font().pointSize(), 12);
    QCOMPARE(link.font().family(), QStringLiteral("Arial"));
    QCOMPARE(link.focusPolicy(), Qt::NoFocus);

    // The hand is the drawn picture with its hot spot on the fingertip, not a stock shape.
    const QCursor cursor = link.cursor();
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QVERIFY(!cursor.pixmap().isNull());
    QCOMPARE(cursor.hotSpot(), QPoint(6, 0));
    // The fingertip pixel is opaque: the hot spot lies on the picture.
    QVERIFY(qAlpha(cursor.pixmap().toImage().pixel(6, 0)) == 255);
}

void tst_u_url_link::opensTheAddress()
{
    u_url_link link;
    QCOMPARE(link.uf_url_link(QString::fromLatin1(kiv::kWebAddress)), 1);
    QCOMPARE(m_browser.urls, QList<QUrl>{QUrl(QString::fromLatin1(kiv::kWebAddress))});
    // The result does not depend on whether anything opened the address.
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::setUrlHandler(QStringLiteral("nosuchscheme"), &m_browser, "open");
    QCOMPARE(link.uf_url_link(QStringLiteral("nosuchscheme://x")), 1);
    QDesktopServices::unsetUrlHandler(QStringLiteral("nosuchscheme"));
}

void tst_u_url_link::clickNeedsPressAndReleaseOverTheLabel()
{
    QWidget window;
    window.resize(400, 200);
    auto *link = new u_url_link(&window);
    link->move(10, 10);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(link, &u_url_link::clicked);

    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(clicks.count(), 1);

    QTest::mouseClick(link, Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(clicks.count(), 1);

    // Pressed over the label, released beside it: no click.
    QTest::mousePress(link, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 20, 5));
    QCOMPARE(clicks.count(), 1);
}

void tst_u_url_link::hoverAndClickLeaveTheLookAlone()
{
    QWidget window;
    window.resize(400, 200);
    auto *link = new u_url_link(&window);
    link->setText(QStringLiteral("Velquor（Velquor）软件工作室"));
    link->move(10, 10);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QImage before = link->grab().toImage();
    QTest::mouseMove(link, QPoint(5, 5));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), link->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(link, &enter);
    QCOMPARE(link->grab().toImage(), before);
    QTest::mousePress(link, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(link->grab().toImage(), before);
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(link->grab().toImage(), before);
}

void tst_u_url_link::screenReadersSeeAPressableLink()
{
    u_url_link link;
    link.setText(QStringLiteral("Velquor（Velquor）软件工作室"));
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&link);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Link);
    QCOMPARE(accessible->text(QAccessible::Name), link.text());
    QAccessibleActionInterface *actions = accessible->actionInterface();
    QVERIFY(actions);
    QSignalSpy clicks(&link, &u_url_link::clicked);
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicks.count(), 1);
}

void tst_u_url_link::longTextIsNotCutOff()
{
    QWidget window;
    window.resize(600, 200);
    auto *link = new u_url_link(&window);
    link->setText(QStringLiteral("Velquor（Velquor）软件工作室"));
    link->setGeometry(10, 10, 40, 24);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(link->width() >= QFontMetrics(link->font()).horizontalAdvance(link->text()));
    QCOMPARE(link->pos(), QPoint(10, 10));

    // A label wider than its text keeps its width.
    auto *wide = new u_url_link(&window);
    wide->setGeometry(10, 50, 500, 30);
    wide->fitToText();
    QCOMPARE(wide->size(), QSize(500, 30));
}

KIV_TEST_MAIN(tst_u_url_link)
#include "tst_u_url_link.moc"
