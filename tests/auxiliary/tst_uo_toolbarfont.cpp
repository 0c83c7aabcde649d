#include "support/TestMain.h"
#include "ui/auxiliary/uo_toolbarfont.h"

#include <QAction>
#include <QMainWindow>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

class tst_uo_toolbarfont : public QObject
{
    Q_OBJECT
private slots:
    void setsFontAndExtentOfTheToolbar();
    void extentSetsTheLeastWidth();
    void laterButtonsTakeTheExtent();
    void sizesInPointsAndPixels();
    void everyToolbarOfTheFrame();
    void frameWithoutToolbarIsLeftAlone();

private:
    static QToolButton *button(QToolBar *bar, QAction *action)
    {
        return qobject_cast<QToolButton *>(bar->widgetForAction(action));
    }
};

namespace {
struct Frame {
    QMainWindow window;
    QToolBar *bar = nullptr;
    QList<QAction *> actions;
    explicit Frame(const QStringList &texts)
    {
        bar = window.addToolBar(QStringLiteral("main"));
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        for (const QString &text : texts)
            actions.append(bar->addAction(QIcon(), text));
    }
};
} // namespace

void tst_uo_toolbarfont::setsFontAndExtentOfTheToolbar()
{
    Frame frame({QStringLiteral("关    于"), QStringLiteral("系统设置")});
    uo_toolbarfont font;
    QCOMPARE(font.of_gettoolbarhandle(&frame.window), frame.bar);

    font.of_settoolbarfont(&frame.window, QStringLiteral("宋体"), -12, QStringLiteral("1234567"));
    QCOMPARE(frame.bar->font().family(), QStringLiteral("宋体"));
    QCOMPARE(frame.bar->font().pointSize(), 12);
    // The buttons draw their texts in that font.
    for (QAction *action : frame.actions) {
        QCOMPARE(button(frame.bar, action)->font().family(), QStringLiteral("宋体"));
        QCOMPARE(button(frame.bar, action)->font().pointSize(), 12);
    }
    // The frame itself and its other widgets keep their font.
    QVERIFY(frame.window.font().pointSize() != 12 || frame.window.font().family() != QStringLiteral("宋体"));
}

void tst_uo_toolbarfont::extentSetsTheLeastWidth()
{
    Frame frame({QStringLiteral("退出"), QStringLiteral("关    于"), QStringLiteral("欢迎光临Velquor工作室的长文字")});
    uo_toolbarfont font;
    font.of_settoolbarfont(&frame.window, QStringLiteral("宋体"), -12, QStringLiteral("1234567"));
    frame.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame.window));

    QToolButton *shortText = button(frame.bar, frame.actions[0]);
    QToolButton *longText = button(frame.bar, frame.actions[2]);
    const QFontMetrics metrics(shortText->font());
    const int extent = metrics.horizontalAdvance(QStringLiteral("1234567"));
    QVERIFY(extent > metrics.horizontalAdvance(QStringLiteral("退出")));
    QVERIFY(shortText->width() >= extent);
    // Buttons with texts shorter than the extent share one width; a longer text is wider.
    QCOMPARE(button(frame.bar, frame.actions[1])->width(), shortText->width());
    QVERIFY(longText->width() > shortText->width());

    // A new extent text replaces the old one.
    font.of_settoolbarfont(&frame.window, QStringLiteral("宋体"), -12, QStringLiteral("1"));
    QVERIFY(shortText->minimumWidth() < extent);
    font.of_settoolbarfont(&frame.window, QStringLiteral("宋体"), -12, QString());
    QCOMPARE(shortText->minimumWidth(), 0);
}

void tst_uo_toolbarfont::laterButtonsTakeTheExtent()
{
    Frame frame({QStringLiteral("退出")});
    frame.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame.window));
    uo_toolbarfont().of_settoolbarfont(&frame.window, QStringLiteral("宋体"), -12, QStringLiteral("1234567"));

    QAction *later = frame.bar->addAction(QIcon(), QStringLiteral("刷  新  树"));
    QToolButton *laterButton = button(frame.bar, later);
    QTRY_VERIFY(laterButton->isVisible());
    QCOMPARE(laterButton->minimumWidth(), button(frame.bar, frame.actions[0])->minimumWidth());
    QVERIFY(laterButton->minimumWidth() > 0);
}

void tst_uo_toolbarfont::sizesInPointsAndPixels()
{
    Frame frame({QStringLiteral("退出")});
    uo_toolbarfont font;
    font.of_settoolbarfont(&frame.window, QString(), 20, QStringLiteral("1234567"));
    QCOMPARE(frame.bar->font().pixelSize(), 20);
    const QString family = frame.bar->font().family();
    font.of_settoolbarfont(&frame.window, QString(), 0, QStringLiteral("1234567"));
    QCOMPARE(frame.bar->font().pixelSize(), 20); // 0 keeps the size, an empty name the face
    QCOMPARE(frame.bar->font().family(), family);
    font.of_settoolbarfont(&frame.window, QStringLiteral("宋体"), -9, QStringLiteral("1234567"));
    QCOMPARE(frame.bar->font().pointSize(), 9);
}

void tst_uo_toolbarfont::everyToolbarOfTheFrame()
{
    Frame frame({QStringLiteral("退出")});
    QToolBar *second = frame.window.addToolBar(QStringLiteral("second"));
    second->addAction(QStringLiteral("关于"));
    // A toolbar deeper inside the window is not the frame's.
    auto *central = new QWidget(&frame.window);
    auto *inner = new QToolBar(central);
    frame.window.setCentralWidget(central);
    const QFont innerFont = inner->font();

    uo_toolbarfont font;
    QCOMPARE(font.of_gettoolbars(&frame.window), (QList<QToolBar *>{frame.bar, second}));
    font.of_settoolbarfont(&frame.window, QStringLiteral("宋体"), -12, QStringLiteral("1234567"));
    QCOMPARE(second->font().pointSize(), 12);
    QCOMPARE(inner->font(), innerFont);
}

void tst_uo_toolbarfont::frameWithoutToolbarIsLeftAlone()
{
    QMainWindow window;
    const QFont before = window.font();
    const int children = window.children().size();
    uo_toolbarfont font;
    QCOMPARE(font.of_gettoolbarhandle(&window), nullptr);
    font.of_settoolbarfont(&window, QStringLiteral("宋体"), -12, QStringLiteral("1234567"));
    QCOMPARE(window.font(), before);
    QCOMPARE(window.children().size(), children);

    QCOMPARE(font.of_gettoolbarhandle(nullptr), nullptr);
    font.of_settoolbarfont(nullptr, QStringLiteral("宋体"), -12, QStringLiteral("1234567"));
}

KIV_TEST_MAIN(tst_uo_toolbarfont)
#include "tst_uo_toolbarfont.moc"
