#include "support/TestMain.h"
#include "ui/menu/HelpKey.h"

#include <QtTest>

// Which help text F1 opens in each window of the program.
class tst_HelpKey : public QObject
{
    Q_OBJECT
private slots:
    void eachWindowHasItsTopic_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("topic");
        QTest::newRow("main window") << "w_kiv" << "1";
        QTest::newRow("find dialog") << "w_findats" << "3";
        QTest::newRow("options dialog") << "w_sys_option" << "4";
        QTest::newRow("sheet") << "w_sheet" << "5";
        QTest::newRow("import") << "w_edition_import" << "5";
        QTest::newRow("export") << "w_export" << "5";
        QTest::newRow("data source") << "w_datasource" << "5";
        QTest::newRow("library") << "w_library" << "5";
        QTest::newRow("about: the overview") << "w_about" << "1";
        QTest::newRow("the help window itself: none") << "w_help" << "";
    }
    void eachWindowHasItsTopic()
    {
        QFETCH(QString, window);
        QFETCH(QString, topic);
        QCOMPARE(HelpKey::topicFor(window), topic);
    }
};

KIV_TEST_MAIN(tst_HelpKey)
#include "tst_helpkey.moc"
