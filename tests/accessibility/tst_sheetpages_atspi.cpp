#include "support/AtSpiSession.h"
#include "support/RunningProgram.h"
#include "support/SystemPython.h"
#include "support/TestMain.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/sheet/w_sheet.h"
#include "ui/tree/u_tv.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTabWidget>
#include <QtTest>

// The sheet's 税费计算 and 申报要素填写 pages as a screen reader walks them: a client process on
// the accessibility bus lists what the window shows, and each field must be there with the name
// its label gives it. Runs under Xvfb on a bus of its own.
namespace {
const char *kRows =
    "INSERT INTO list_hscode(code, name, unit, note, sz, zssl_set, zssl_set1, flag) VALUES"
    " ('91', '钟表及其零件', NULL, NULL, NULL, NULL, NULL, 'Y'),"
    " ('9102210090', '其他自动上弦的机械手表', '只', '千克', '11%', '13%',"
    "  '完税价大于等于10000元：20%，完税价小于10000元：0。', NULL);"
    "INSERT INTO tariff_line(code, general_rate, declaration_elements) VALUES"
    " ('9102210090', '80%', '1:品牌类型;2:出口享惠情况;3:用途;4:型号');"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, flag) VALUES ('91', 'N', '钟表', 'Y');";


QStringList walkSheet()
{
    return walkWindow(QStringLiteral("申报信息"));
}

bool heard(const QStringList &seen, const QString &roles, const QString &name)
{
    return heardIn(seen, roles, name);
}
} // namespace

class tst_SheetPagesAtSpi : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (const QString reason = atSpiUnavailable(); !reason.isEmpty())
            QSKIP(qPrintable(reason));
        // The accessibility bus runs before the program starts, as on a screen reader's desktop.
        QVERIFY(atSpiRegistryAnswers());
    }

    void aScreenReaderFindsEveryFieldOfThePages()
    {
        RunningProgram p;
        QVERIFY(p.makeDatabase(QString::fromUtf8(kRows)));
        QVERIFY(p.start());
        p.window->tv_1->selectItem(p.handleOf(QStringLiteral("9102210090")));
        QTest::keyClick(p.window->tv_1, Qt::Key_F6);
        QTRY_VERIFY(w_sheet::openInstance() && w_sheet::openInstance()->isVisible());
        w_sheet *sheet = w_sheet::openInstance();

        sheet->tab_pages->setCurrentIndex(1);
        QStringList seen = walkSheet();
        const QString entry = QStringLiteral("text|entry|password text");
        QVERIFY2(heard(seen, QStringLiteral("page tab"), QStringLiteral("税费计算")), qPrintable(seen.join(u'\n')));
        QVERIFY2(heard(seen, entry, QStringLiteral("完税价格")), qPrintable(seen.join(u'\n')));
        QVERIFY2(heard(seen, entry, QStringLiteral("汇率")), qPrintable(seen.join(u'\n')));
        QVERIFY2(heard(seen, entry, QStringLiteral("数量（只）")), qPrintable(seen.join(u'\n')));
        QVERIFY2(heard(seen, QStringLiteral("combo box"), QStringLiteral("币制")), qPrintable(seen.join(u'\n')));
        QVERIFY2(heard(seen, QStringLiteral("combo box"), QStringLiteral("原产地适用")), qPrintable(seen.join(u'\n')));
        QVERIFY2(heard(seen, QStringLiteral("check box"), QStringLiteral("合计不含50元以下免征的税额")),
                 qPrintable(seen.join(u'\n')));
        QVERIFY2(heard(seen, entry, QStringLiteral("进口税费结果")), qPrintable(seen.join(u'\n')));
        QVERIFY2(heard(seen, QStringLiteral("push button"), QStringLiteral("复制结果")), qPrintable(seen.join(u'\n')));

        sheet->tab_pages->setCurrentIndex(2);
        seen = walkSheet();
        for (const char *element : {"品牌类型", "出口享惠情况", "用途", "型号"})
            QVERIFY2(heard(seen, entry + QStringLiteral("|combo box"), QString::fromUtf8(element)),
                     qPrintable(seen.join(u'\n')));
        QVERIFY2(heard(seen, QStringLiteral("push button"), QStringLiteral("复制规格型号")), qPrintable(seen.join(u'\n')));
        QVERIFY2(heard(seen, entry, QStringLiteral("规格型号")), qPrintable(seen.join(u'\n')));
    }
};

KIV_TEST_MAIN(tst_SheetPagesAtSpi)
#include "tst_sheetpages_atspi.moc"
