// Qt's own texts in Chinese whatever the locale: the exit question's buttons, the print
// preview's tools; the program's own texts stay as they are.
#include "core/session/QtTranslation.h"

#include "support/RunningProgram.h"
#include "support/TestMain.h"
#include "ui/export/ExportCommands.h"
#include "ui/export/w_export.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/tree/u_tv.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace {

const char *kRows = "INSERT INTO list_hscode(code, name, flag) VALUES ('01', '活动物', 'Y');"
                    "INSERT INTO list_jmwcode(jmw_code, name, flag) VALUES ('01', '活动物', 'Y');";

QStringList actionTexts(const QWidget *window)
{
    QStringList texts;
    for (const QAction *action : window->findChildren<QAction *>())
        texts.append(action->text() + QLatin1Char('|') + action->toolTip());
    return texts;
}

// Installed once for the tests that need it, whichever runs first.
bool installOnce(QString *problem)
{
    static bool installed = false;
    if (!installed)
        installed = QtTranslation::install(qApp, problem);
    return installed;
}

} // namespace

class tst_QtTranslation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // An English desktop: the Chinese comes from the catalogue, not from the locale.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QString problem;
        QVERIFY(!QtTranslation::install(qApp, &problem, QDir::tempPath() + QStringLiteral("/no-such-folder")));
        QVERIFY2(problem.contains(QStringLiteral("qt6-translations-l10n")), qPrintable(problem));
    }

    // The exit question as the user meets it: the real message box, answered with a click.
    void exitQuestionHasChineseButtons()
    {
        RunningProgram p;
        QVERIFY(p.makeDatabase(QString::fromUtf8(kRows)) && p.start());
        const QStringList ownTexts = actionTexts(p.window.get());
        QString problem;
        QVERIFY2(installOnce(&problem), qPrintable(problem));
        QCOMPARE(actionTexts(p.window.get()), ownTexts);

        runtime::setMessageHandler({}); // the real box, not the recorder
        QStringList buttons;
        QString question;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            question = box->text();
            for (QAbstractButton *b : box->buttons())
                buttons.append(b->text());
            QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
        });
        QVERIFY(!p.window->closequery()); // 否: the window stays
        QCOMPARE(question, QStringLiteral("是否真的退出 [Kivtree] 吗?"));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));
    }

    // 打印... as the user opens it: the print preview's tools are Chinese.
    void printPreviewSpeaksChinese()
    {
        QString problem;
        QVERIFY2(installOnce(&problem), qPrintable(problem));
        RunningProgram p;
        QVERIFY(p.makeDatabase(QString::fromUtf8(kRows)) && p.start());
        QTest::keyClick(p.window->tv_1, Qt::Key_P, Qt::ControlModifier);
        w_export *dialog = nullptr;
        QTRY_VERIFY((dialog = p.window->findChild<w_export *>()) && dialog->isVisible());
        QTest::keyClick(dialog, Qt::Key_Return);
        const ExportCommands *commands = ExportCommands::of(p.window.get());
        QTRY_VERIFY(commands->preview() && commands->preview()->isVisible());
        QStringList tips;
        for (const QAction *action : commands->preview()->findChildren<QAction *>())
            if (!action->toolTip().isEmpty())
                tips.append(action->toolTip());
        QVERIFY2(tips.contains(QStringLiteral("下一页")) && tips.contains(QStringLiteral("打印设置")),
                 qPrintable(tips.join(u' ')));
        QVERIFY2(!tips.join(u' ').contains(QStringLiteral("Next page")), qPrintable(tips.join(u' ')));
        commands->preview()->close();
    }
};

KIV_TEST_MAIN(tst_QtTranslation)
#include "tst_qttranslation.moc"
