#include "core/quicksearch/ResultModel.h"
#include "support/AtSpiSession.h"
#include "support/RunningProgram.h"
#include "support/SystemPython.h"
#include "support/TestMain.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/quicksearch/QuickSearchController.h"
#include "ui/quicksearch/QuickSearchField.h"
#include "ui/quicksearch/QuickSearchPopup.h"
#include "ui/sheet/w_sheet.h"
#include "ui/tree/u_tv.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

// The search field as a screen reader finds it: a client process on the accessibility bus
// listens while the user, writing a note in the sheet, presses Ctrl+F and types. It must hear
// the field's focus event, find the field focused by walking the tree from the application
// down, and read the results and the count line. Runs under Xvfb on a bus of its own.
namespace {
const char *kRows =
    "INSERT INTO list_hscode(code, name, flag) VALUES"
    " ('01', '活动物', 'Y'), ('0101', 'Horses, asses, mules and hinnies; live', NULL),"
    " ('010121', 'Horses; live, pure-bred breeding animals', NULL),"
    " ('0101210010', '改良种用濒危野马', NULL), ('0101210090', '改良种用马', NULL);"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, flag) VALUES ('01', 'N', '活动物', 'Y'),"
    " ('0101', 'N', 'Horses, asses, mules and hinnies; live', NULL);";


QString clientScript()
{
    return QStringLiteral(KIV_SOURCE_DIR "/tests/accessibility/searchfield_client.py");
}
} // namespace

class tst_SearchFieldAtSpi : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (const QString reason = atSpiUnavailable(); !reason.isEmpty())
            QSKIP(qPrintable(reason));
        // The accessibility bus runs before the program starts, as on a screen reader's desktop.
        QVERIFY(atSpiRegistryAnswers());
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    }

    void aScreenReaderHearsAndReadsTheSearchFieldAfterCtrlFInTheSheet()
    {
        RunningProgram p;
        QVERIFY(p.makeDatabase(QString::fromUtf8(kRows)));
        QVERIFY(p.start());
        auto *search = QuickSearchController::of(p.window.get());
        QVERIFY(QTest::qWaitFor([search] { return search->isIndexReady(); }));
        // The user selects a line, opens the sheet and goes into its note.
        p.window->tv_1->selectItem(p.handleOf(QStringLiteral("0101210010")));
        QTest::keyClick(p.window->tv_1, Qt::Key_F6);
        QTRY_VERIFY(w_sheet::openInstance() && w_sheet::openInstance()->isVisible());
        QTest::keyClick(p.window->tv_1, Qt::Key_F6);
        w_sheet *sheet = w_sheet::openInstance();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(sheet->mle_note));

        QProcess client;
        client.start(systemPython(), {clientScript(), QCoreApplication::applicationName()});
        QVERIFY(client.waitForStarted());
        QByteArray said;
        QDeadlineTimer listening(60000);
        while (!said.contains("ready") && client.state() == QProcess::Running && !listening.hasExpired()) {
            QTest::qWait(50);
            said += client.readAllStandardOutput();
        }
        QVERIFY2(said.contains("ready"), (said + client.readAllStandardError()).constData());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(search->field));
        QTest::keyClicks(search->field, QStringLiteral("horse"));
        QTRY_VERIFY_WITH_TIMEOUT(client.state() == QProcess::NotRunning, 40000);
        const QByteArray out = client.readAllStandardOutput();
        QVERIFY2(client.exitCode() == 0, (out + client.readAllStandardError()).constData());

        const QJsonObject seen = QJsonDocument::fromJson(out.trimmed().split('\n').last()).object();
        QVERIFY2(!seen.isEmpty(), out.constData());
        const QJsonArray events = seen.value(QStringLiteral("focusEvents")).toArray();
        QVERIFY(!events.isEmpty());
        QVERIFY(events.first().toObject().value(QStringLiteral("focused")).toBool());
        const QJsonObject field = seen.value(QStringLiteral("field")).toObject();
        QCOMPARE(field.value(QStringLiteral("name")).toString(), QStringLiteral("搜索"));
        QVERIFY(field.value(QStringLiteral("focused")).toBool());
        QVERIFY(field.value(QStringLiteral("editable")).toBool());
        // Up from the field: the menu bar, then the main window.
        const QJsonArray path = seen.value(QStringLiteral("path")).toArray();
        QVERIFY2(path.size() >= 3 && path.at(1).toString() == QStringLiteral("menu bar"),
                 QJsonDocument(path).toJson().constData());

        QStringList shown;
        for (int row = 0; row < search->results->rowCount(); ++row)
            shown << search->results->index(row, 0).data(Qt::AccessibleTextRole).toString();
        QVERIFY(!shown.isEmpty());
        QStringList heard;
        for (const QJsonValue &item : seen.value(QStringLiteral("items")).toArray())
            heard << item.toString();
        QCOMPARE(heard, shown);
        QVERIFY(seen.value(QStringLiteral("labels")).toArray().contains(search->popup->summary()));
        QCOMPARE(sheet->mle_note->toPlainText(), QString()); // nothing typed into the note
    }
};

KIV_TEST_MAIN(tst_SearchFieldAtSpi)
#include "tst_searchfield_atspi.moc"
