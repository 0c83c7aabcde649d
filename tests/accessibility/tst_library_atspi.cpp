#include "app/LibraryFeature.h"
#include "core/library/ItemStore.h"
#include "core/runtime/Transaction.h"
#include "support/AtSpiSession.h"
#include "support/RunningProgram.h"
#include "support/SystemPython.h"
#include "support/TestMain.h"
#include "ui/library/w_library.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/tree/u_tv.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

// The window 商品归类库 as a screen reader walks it: a client process on the accessibility bus
// lists what the window shows; the filter, the list with its headings and items, and every
// button must be there with the name a user hears. Runs under Xvfb on a bus of its own.
namespace {
const char *kRows =
    "INSERT INTO list_hscode(code, name, flag) VALUES ('84', '机器', 'Y'), ('8471300000', '便携式自动数据处理设备', NULL);"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, flag) VALUES ('84', 'N', '机器', 'Y');";

QStringList walkLibrary()
{
    return walkWindow(QStringLiteral("商品归类库"));
}

bool heard(const QStringList &seen, const QString &roles, const QString &name)
{
    return heardIn(seen, roles, name);
}
} // namespace

class tst_LibraryAtSpi : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (const QString reason = atSpiUnavailable(); !reason.isEmpty())
            QSKIP(qPrintable(reason));
    }

    void aScreenReaderFindsEveryControlOfTheLibrary()
    {
        RunningProgram p;
        QVERIFY(p.makeDatabase(QString::fromUtf8(kRows)));
        QVERIFY(p.start());
        library::Item it;
        it.partNumber = QStringLiteral("NB-7");
        it.name = QStringLiteral("笔记本电脑");
        it.code = QStringLiteral("8471300000");
        QVERIFY(library::ItemStore(p.transaction.get()).save(it, 0).ok());
        LibraryFeature::install(p.window.get());
        QTest::keyClick(p.window->tv_1, Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(ui::w_library::openInstance() && ui::w_library::openInstance()->isVisible());

        const QStringList seen = walkLibrary();
        const QString all = seen.join(u'\n');
        QVERIFY2(heard(seen, QStringLiteral("text|entry"), QStringLiteral("筛选")), qPrintable(all));
        QVERIFY2(heard(seen, QStringLiteral("check box"), QStringLiteral("只看待复核")), qPrintable(all));
        QVERIFY2(heard(seen, QStringLiteral("table"), QStringLiteral("商品列表")), qPrintable(all));
        for (const char *heading : {"料号", "品名", "规格型号", "商品编码", "税则名称", "状态"})
            QVERIFY2(heard(seen, QStringLiteral("column header|table column header"), QString::fromUtf8(heading)),
                     qPrintable(all));
        QVERIFY2(heard(seen, QStringLiteral("table cell"), QStringLiteral("NB-7")), qPrintable(all));
        QVERIFY2(heard(seen, QStringLiteral("table cell"), QStringLiteral("便携式自动数据处理设备")), qPrintable(all));
        for (const char *button : {"新增", "编辑", "删除", "标记已复核", "转到编码", "重新复核", "导入", "导出"})
            QVERIFY2(heard(seen, QStringLiteral("push button"), QString::fromUtf8(button)), qPrintable(all));
    }
};

KIV_TEST_MAIN(tst_LibraryAtSpi)
#include "tst_library_atspi.moc"
