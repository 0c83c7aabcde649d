#include "core/auxiliary/AboutTexts.h"
#include "core/platform/MemoryStatus.h"
#include "ui/auxiliary/f_adjust_winpos.h"
#include "ui/auxiliary/w_about.h"
#include "ui/runtime/LayoutUnits.h"

#include "TestEnv.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class tst_w_about : public QObject
{
    Q_OBJECT
private slots:
    void physicalMemory_data();
    void physicalMemory();
    void pageFileFree_data();
    void pageFileFree();
    void unreadableFiguresSayUnknown();
    void showsTheFiguresOfTheFile();
    void freeShareOfMemoryAndSwap_data();
    void freeShareOfMemoryAndSwap();
    void opensWithAnUnreadableFile();
    void closesByButtonEscAndEnter();
    void openModalWaitsUntilClosed();
};

void tst_w_about::physicalMemory_data()
{
    QTest::addColumn<double>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("64 MiB") << 67108864.0 << QStringLiteral("65,536KB");
    QTest::newRow("0") << 0.0 << QStringLiteral("0KB");
    QTest::newRow("under 1 KB rounds") << 1023.0 << QStringLiteral("1KB");
    QTest::newRow("999 KB, no separator") << 999.0 * 1024 << QStringLiteral("999KB");
    QTest::newRow("1000 KB") << 1000.0 * 1024 << QStringLiteral("1,000KB");
    QTest::newRow("16 GiB") << 17179869184.0 << QStringLiteral("16,777,216KB");
}

void tst_w_about::physicalMemory()
{
    QFETCH(double, bytes);
    QFETCH(QString, expected);
    QCOMPARE(kiv::formatPhysicalMemory(bytes), expected);
}

void tst_w_about::pageFileFree_data()
{
    QTest::addColumn<double>("avail");
    QTest::addColumn<double>("total");
    QTest::addColumn<QString>("expected");
    QTest::newRow("half free") << 512.0 << 1024.0 << QStringLiteral("50.00%可用空间");
    QTest::newRow("a third") << 1.0 << 3.0 << QStringLiteral("33.33%可用空间");
    QTest::newRow("two thirds rounds up") << 2.0 << 3.0 << QStringLiteral("66.67%可用空间");
    QTest::newRow("all free") << 4096.0 << 4096.0 << QStringLiteral("100.00%可用空间");
    QTest::newRow("none free") << 0.0 << 4096.0 << QStringLiteral("0.00%可用空间");
    QTest::newRow("no paging file") << 0.0 << 0.0 << QStringLiteral("0.00%可用空间");
}

void tst_w_about::pageFileFree()
{
    QFETCH(double, avail);
    QFETCH(double, total);
    QFETCH(QString, expected);
    QCOMPARE(kiv::formatPageFileFree(avail, total), expected);
}

void tst_w_about::unreadableFiguresSayUnknown()
{
    MemoryStatus unread; // all 0, ok false
    QCOMPARE(kiv::physicalMemoryText(unread), kiv::unknownMemoryText());
    QCOMPARE(kiv::pageFileText(unread), kiv::unknownMemoryText());

    // Only the paging-file fields missing: the physical figure still shows.
    MemoryStatus partial;
    partial.totalPhysical = 67108864;
    QCOMPARE(kiv::physicalMemoryText(partial), QStringLiteral("65,536KB"));
    QCOMPARE(kiv::pageFileText(partial), kiv::unknownMemoryText());

    MemoryStatus read;
    read.ok = true;
    read.totalPhysical = 67108864;
    read.totalPageFile = 2048;
    read.availPageFile = 1024;
    QCOMPARE(kiv::physicalMemoryText(read), QStringLiteral("65,536KB"));
    QCOMPARE(kiv::pageFileText(read), QStringLiteral("50.00%可用空间"));
}

void tst_w_about::showsTheFiguresOfTheFile()
{
    TestEnv env;
    QFile meminfo(env.path(QStringLiteral("meminfo")));
    QVERIFY(meminfo.open(QIODevice::WriteOnly));
    meminfo.write("MemTotal:          65536 kB\nMemFree:    1000 kB\nMemAvailable:   2000 kB\n"
                  "CommitLimit:    4000 kB\nCommitted_AS:    3000 kB\n");
    meminfo.close();

    w_about window(nullptr, meminfo.fileName());
    QCOMPARE(window.windowTitle(), QStringLiteral("关于"));
    QCOMPARE(window.findChild<QLabel *>("st_totavail")->text(), QStringLiteral("65,536KB"));
    QCOMPARE(window.findChild<QLabel *>("st_pyhsical")->text(), QStringLiteral("3.05%可用空间"));
    QCOMPARE(window.findChild<QLabel *>("st_7")->text(), QStringLiteral("系统物理内存:"));
    QCOMPARE(window.findChild<QLabel *>("st_6")->text(), QStringLiteral("系统资源:"));

    // Placed by its own size.
    const runtime::LayoutUnits units;
    QCOMPARE(window.pos(), units.toPixels(kiv::adjustedWinPos(
                               QSize(units.pixelsToUnitsX(window.width()), units.pixelsToUnitsY(window.height())))));
    QCOMPARE(window.size(), units.toPixels(QSize(1792, 1072)));
}

void tst_w_about::freeShareOfMemoryAndSwap_data()
{
    QTest::addColumn<QByteArray>("meminfo");
    QTest::addColumn<QString>("physical");
    QTest::addColumn<QString>("free");
    QTest::newRow("swap") << QByteArray("MemTotal: 8000000 kB\nMemAvailable: 3000000 kB\nSwapTotal: 2000000 kB\n"
                                        "SwapFree: 1500000 kB\nCommitLimit: 6000000 kB\nCommitted_AS: 5000000 kB\n")
                          << "8,000,000KB" << "45.00%可用空间";
    QTest::newRow("no swap, committed above the limit")
        << QByteArray("MemTotal: 16000000 kB\nMemAvailable: 12000000 kB\nSwapTotal: 0 kB\nSwapFree: 0 kB\n"
                      "CommitLimit: 8000000 kB\nCommitted_AS: 9500000 kB\n")
        << "16,000,000KB" << "75.00%可用空间";
    QTest::newRow("nearly full") << QByteArray("MemTotal: 16000000 kB\nMemAvailable: 100 kB\nSwapTotal: 0 kB\n")
                                 << "16,000,000KB" << "0.01%可用空间";
    QTest::newRow("full") << QByteArray("MemTotal: 1000 kB\nMemAvailable: 0 kB\nSwapTotal: 9 kB\nSwapFree: 0 kB\n")
                          << "1,000KB" << "0.00%可用空间";
    QTest::newRow("all free") << QByteArray("MemTotal: 1000 kB\nMemAvailable: 1000 kB\nSwapTotal: 9 kB\n"
                                            "SwapFree: 9 kB\n")
                              << "1,000KB" << "100.00%可用空间";
}

void tst_w_about::freeShareOfMemoryAndSwap()
{
    QFETCH(QByteArray, meminfo);
    TestEnv env;
    QFile file(env.path(QStringLiteral("meminfo")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(meminfo) == meminfo.size());
    file.close();
    w_about window(nullptr, file.fileName());
    QTEST(window.findChild<QLabel *>("st_totavail")->text(), "physical");
    QTEST(window.findChild<QLabel *>("st_pyhsical")->text(), "free");
}

void tst_w_about::opensWithAnUnreadableFile()
{
    TestEnv env;
    w_about window(nullptr, env.path(QStringLiteral("no-such-meminfo")));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.findChild<QLabel *>("st_totavail")->text(), kiv::unknownMemoryText());
    QCOMPARE(window.findChild<QLabel *>("st_pyhsical")->text(), kiv::unknownMemoryText());
}

void tst_w_about::closesByButtonEscAndEnter()
{
    {
        w_about window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *button = window.findChild<QPushButton *>("cb_1");
        QCOMPARE(button->text(), QStringLiteral("退出(&E)"));
        QVERIFY(button->isDefault());
        button->click();
        QVERIFY(!window.isVisible());
    }
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        w_about window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window, key);
        QVERIFY2(!window.isVisible(), qPrintable(QString::number(key)));
    }
    // Either Enter key on the focused exit button presses it.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        w_about window;
        window.show();
        QTest::keyClick(window.findChild<QPushButton *>("cb_1"), key);
        QVERIFY2(!window.isVisible(), qPrintable(QString::number(key)));
    }
}

void tst_w_about::openModalWaitsUntilClosed()
{
    QString seenTitle;
    bool sawFigures = false;
    QTimer::singleShot(0, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        seenTitle = modal->windowTitle();
        sawFigures = !modal->findChild<QLabel *>("st_totavail")->text().isEmpty();
        static_cast<QDialog *>(modal)->reject();
    });
    // Should the window not be found, this closes every top-level dialog so the test cannot hang.
    QTimer watchdog;
    connect(&watchdog, &QTimer::timeout, this, [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QDialog *>(w))
                dialog->reject();
    });
    watchdog.start(5000);

    w_about::openModal();
    QCOMPARE(seenTitle, QStringLiteral("关于"));
    QVERIFY(sawFigures);
}

KIV_TEST_MAIN(tst_w_about)
#include "tst_w_about.moc"
