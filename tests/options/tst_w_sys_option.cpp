#include "OptionsFixture.h"

#include "support/TestMain.h"

#include <QtTest>

class tst_w_sys_option : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        gs_hgtype = QStringLiteral("R");
        gs_jmwtype = QStringLiteral("R");
    }
    void controlsAndTexts();
    void openingReadsTheSettings_data();
    void openingReadsTheSettings();
    void checkBoxesEnableTheirRadioButtons();
    void choicesFollowEveryWayOfChecking_data() { ButtonDriver::addWaysOfChecking(); }
    void choicesFollowEveryWayOfChecking();
    void enterPressesOnlyAFocusedButton_data();
    void enterPressesOnlyAFocusedButton();
    void saveWritesSettingsFlagsAndReloadsTheMainWindow();
    void selectAllChangesOnlyTheWindowsRows();
    void selectAllOnAnEmptyList();
    void refusedSecondListSavesNothingUntilRetried();
    void readOnlyDatabaseSavesNothing();
    void unwritableProfileLeavesTheDialogWorking();
    void sortingThenSavingSavesEveryFlagAsShown();
    void oneModelessWindowOverALoadingMainWindow();
    void helpAndLink();
};

void tst_w_sys_option::controlsAndTexts()
{
    Fixture f;
    QVERIFY(f.prepare());
    auto w = openDialog();
    QCOMPARE(w->windowTitle(), QStringLiteral("Kivtree@用户个性设置"));
    QVERIFY(!w->isModal());
    QCOMPARE(w->size(), runtime::LayoutUnits().toPixels(QSize(2921, 1804)));
    const QList<QPair<QWidget *, const char *>> texts = {
        {w->gb_1, "海关商品树@设置："}, {w->gb_2, "外经委商品树@设置："}, {w->gb_3, ""}, {w->gb_4, ""},
        {w->st_1, "运行时默认显示的海关商品大类设置："}, {w->st_3, "运行时默认显示的外经委商品大类设置："},
        {w->cbx_1, "同时显示商品详细"}, {w->cbx_2, "同时显示名细"}, {w->cb_4, "全选"}, {w->cb_6, "全选"},
        {w->cb_5, "全不选 "}, {w->cb_7, "全不选 "}, {w->rb_1, "右击弹出明细"}, {w->rb_3, "右击弹出明细"},
        {w->rb_2, "双击弹出明细"}, {w->rb_4, "双击弹出明细"}, {w->st_5, "Velquor（Velquor）软件工作室"},
        {w->cb_2, "确定(&Y)"}, {w->cb_1, "取消(&C)"}, {w->cb_3, "应用(&A)"}, {w->cb_8, "帮助(&H)"}};
    for (const auto &[widget, text] : texts) {
        const QString shown = widget->property(qobject_cast<QGroupBox *>(widget) ? "title" : "text").toString();
        QCOMPARE(shown, QString::fromUtf8(text));
    }
    QVERIFY(!w->st_1->isEnabled() && !w->st_3->isEnabled());
    QCOMPARE(w->st_1->buddy(), w->dw_1);

    // The chapter lists: chapter rows only, their headings, the flag as a Y/N check box.
    QAbstractItemModelTester tester(w->dw_1->dataModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(shownFlags(w->dw_1), (QStringList{"01=Y", "02=N", "03=Y"}));
    QCOMPARE(shownFlags(w->dw_2), (QStringList{"01=Y", "02=N"}));
    runtime::DataViewModel *model = w->dw_1->dataModel();
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("代码"));
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("商品大类名称"));
    QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("显示"));
    QCOMPARE(w->dw_2->dataModel()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("名称"));
    QVERIFY(model->isCheckBox(2));
    QCOMPARE(model->index(0, 2).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(model->index(1, 2).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    toggleFlag(w->dw_1, 2);
    QCOMPARE(w->dw_1->dataView()->itemString(2, QStringLiteral("flag")), QStringLiteral("Y"));
    toggleFlag(w->dw_1, 2);
    QCOMPARE(w->dw_1->dataView()->itemString(2, QStringLiteral("flag")), QStringLiteral("N"));
    QVERIFY(f.recorder.boxes().isEmpty());
}

void tst_w_sys_option::openingReadsTheSettings_data()
{
    QTest::addColumn<QByteArray>("profile");
    QTest::addColumn<QString>("hgtype");
    QTest::addColumn<QString>("jmwtype");
    QTest::addColumn<QString>("checked"); // cbx_1 rb_1 rb_2 cbx_2 rb_3 rb_4 as 0/1
    QTest::newRow("both off") << kProfile << "R" << "R" << "000000";
    QTest::newRow("keys missing") << QByteArray("[data]\r\n") << "R" << "R" << "000000";
    QTest::newRow("customs right click") << QByteArray("[data]\r\nHGDETAIL=Y\r\n") << "R" << "D" << "110000";
    QTest::newRow("customs, type empty") << QByteArray("[data]\r\nhgdetail=Y\r\n") << "" << "" << "101000";
    QTest::newRow("foreign double click") << QByteArray("[Data]\r\nWJDETAIL=Y\r\n") << "R" << "D" << "000101";
    QTest::newRow("both on") << QByteArray("[data]\r\nHGDETAIL=Y\r\nWJDETAIL=Y\r\n") << "D" << "R" << "101110";
    QTest::newRow("lower-case y is off") << QByteArray("[data]\r\nHGDETAIL=y\r\n") << "R" << "R" << "000000";
}

void tst_w_sys_option::openingReadsTheSettings()
{
    QFETCH(QByteArray, profile);
    QFETCH(QString, hgtype);
    QFETCH(QString, jmwtype);
    QFETCH(QString, checked);
    Fixture f;
    QVERIFY(f.prepare(profile));
    gs_hgtype = hgtype;
    gs_jmwtype = jmwtype;
    auto w = openDialog();
    QString shown;
    for (QAbstractButton *b : std::initializer_list<QAbstractButton *>{w->cbx_1, w->rb_1, w->rb_2, w->cbx_2, w->rb_3,
                                                                      w->rb_4})
        shown += b->isChecked() ? u'1' : u'0';
    QCOMPARE(shown, checked);
    // Opening never disables a radio button, whatever the check boxes show.
    for (QRadioButton *r : {w->rb_1, w->rb_2, w->rb_3, w->rb_4})
        QVERIFY(r->isEnabled());
}

void tst_w_sys_option::checkBoxesEnableTheirRadioButtons()
{
    Fixture f;
    QVERIFY(f.prepare("[data]\r\nHGDETAIL=N\r\nWJDETAIL=Y\r\n"));
    auto w = openDialog();
    QVERIFY(w->rb_3->isChecked());
    QTest::mouseClick(w->cbx_2, Qt::LeftButton);
    QVERIFY(!w->cbx_2->isChecked());
    QVERIFY(!w->rb_3->isEnabled() && !w->rb_4->isEnabled());
    QVERIFY(w->rb_3->isChecked()); // only the enabled state changed
    QVERIFY(w->rb_1->isEnabled());  // the other side is left alone
    QTest::mouseClick(w->cbx_1, Qt::LeftButton);
    QVERIFY(w->rb_1->isEnabled() && w->rb_2->isEnabled());
    QTest::mouseClick(w->cbx_1, Qt::LeftButton);
    QVERIFY(!w->rb_1->isEnabled() && !w->rb_2->isEnabled());
    // The two sides' radio buttons do not exclude each other.
    QTest::mouseClick(w->cbx_1, Qt::LeftButton);
    QTest::mouseClick(w->rb_1, Qt::LeftButton);
    QVERIFY(w->rb_1->isChecked() && w->rb_3->isChecked());

    QCOMPARE(w->wf_updateset(), 1);
    QCOMPARE(profileKey("WJDETAIL"), QStringLiteral("N"));
    QCOMPARE(profileKey("jmwtype"), QStringLiteral("R")); // from rb_3, disabled but checked
    QCOMPARE(profileKey("HGDETAIL"), QStringLiteral("Y"));
    QCOMPARE(profileKey("hgtype"), QStringLiteral("R"));
}

void tst_w_sys_option::choicesFollowEveryWayOfChecking()
{
    QFETCH(QString, way);
    Fixture f;
    QVERIFY(f.prepare("[data]\r\nHGDETAIL=Y\r\nWJDETAIL=N\r\n"));
    auto w = openDialog();
    QVERIFY(w->rb_1->isChecked());
    QVERIFY(ButtonDriver::turnOver(w->rb_2, way));
    // The check box takes its radio buttons' availability with it, off and on again.
    QVERIFY(ButtonDriver::turnOver(w->cbx_1, way));
    QVERIFY(!w->rb_1->isEnabled() && !w->rb_2->isEnabled());
    QVERIFY(ButtonDriver::turnOver(w->cbx_1, way));
    QVERIFY(w->rb_1->isEnabled() && w->rb_2->isEnabled());
    QVERIFY(ButtonDriver::turnOver(w->cbx_2, way));
    QTest::mouseClick(w->cb_3, Qt::LeftButton);
    QCOMPARE(profileKey("hgtype"), QStringLiteral("D"));
    QCOMPARE(profileKey("HGDETAIL"), QStringLiteral("Y"));
    QCOMPARE(profileKey("WJDETAIL"), QStringLiteral("Y"));
}

void tst_w_sys_option::enterPressesOnlyAFocusedButton_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<bool>("open");
    const QStringList loaded{"01=Y", "02=N", "03=Y"};
    QTest::newRow("全选, Return") << "cb_4" << int(Qt::Key_Return) << QStringList{"01=Y", "02=Y", "03=Y"} << true;
    QTest::newRow("全不选, Enter") << "cb_5" << int(Qt::Key_Enter) << QStringList{"01=N", "02=N", "03=N"} << true;
    QTest::newRow("取消, Return") << "cb_1" << int(Qt::Key_Return) << loaded << false;
    QTest::newRow("check box, Enter") << "cbx_1" << int(Qt::Key_Enter) << loaded << true;
    QTest::newRow("chapter list, Return") << "dw_1" << int(Qt::Key_Return) << loaded << true;
    QTest::newRow("chapter list, Enter") << "dw_1" << int(Qt::Key_Enter) << loaded << true;
}

void tst_w_sys_option::enterPressesOnlyAFocusedButton()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    Fixture f;
    QVERIFY(f.prepare());
    auto w = openDialog();
    auto *control = w->findChild<QWidget *>(focus);
    control->setFocus();
    QCOMPARE(w->focusWidget(), control);
    QTest::keyClick(control, Qt::Key(key));
    QTEST(shownFlags(w->dw_1), "flags");
    QTEST(w->isVisible(), "open");
    QVERIFY(!w->cbx_1->isChecked());
    QCOMPARE(f.hgFlags(), (QStringList{"01=Y", "02=N", "03=Y"}));
}

void tst_w_sys_option::saveWritesSettingsFlagsAndReloadsTheMainWindow()
{
    Fixture f;
    QVERIFY(f.prepare("[data]\r\nWJDETAIL=N\r\nHGtype=R\r\njmwtype=R\r\n"));
    w_kiv main;
    auto w = openDialog();
    QCOMPARE(main.dw_1->rowCount(), 0L); // the main window has not loaded yet
    toggleFlag(w->dw_1, 2);               // 02 on
    toggleFlag(w->dw_2, 1);               // 01 off
    QTest::mouseClick(w->cb_3, Qt::LeftButton);
    QVERIFY(f.recorder.boxes().isEmpty());
    QVERIFY(w->isVisible()); // 应用 stays open
    // HGDETAIL was missing: it is written as "N", and a side without a checked radio is "D".
    QCOMPARE(profileKey("HGDETAIL"), QStringLiteral("N"));
    QCOMPARE(profileKey("hgtype"), QStringLiteral("D"));
    QCOMPARE(gs_hgtype, QStringLiteral("D"));
    QFile ini(gs_docname);
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(ini.readAll().contains("HGtype=D\r\n")); // the key keeps its spelling
    // Committed: another connection sees both lists' changes.
    QCOMPARE(f.hgFlags(), (QStringList{"01=Y", "02=Y", "03=Y"}));
    QCOMPARE(f.wmFlags(), (QStringList{"01=N", "02=N"}));
    QCOMPARE(w->dw_1->dataView()->modifiedCount(), 0L);
    QCOMPARE(w->dw_2->dataView()->modifiedCount(), 0L);
    // The main window reloaded with the new chapters: 01, 02 and 03 customs, no foreign trade.
    QCOMPARE(treeChapters(main.tv_1), 3L);
    QCOMPARE(treeChapters(main.tv_2), 0L);

    // 确定 saves again (nothing changed) and closes.
    QTest::mouseClick(w->cb_2, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QVERIFY(f.recorder.boxes().isEmpty());
}

void tst_w_sys_option::selectAllChangesOnlyTheWindowsRows()
{
    Fixture f;
    QVERIFY(f.prepare());
    auto w = openDialog();
    QTest::mouseClick(w->cb_4, Qt::LeftButton);
    QCOMPARE(shownFlags(w->dw_1), (QStringList{"01=Y", "02=Y", "03=Y"}));
    QCOMPARE(shownFlags(w->dw_2), (QStringList{"01=Y", "02=N"}));
    QTest::mouseClick(w->cb_7, Qt::LeftButton);
    QCOMPARE(shownFlags(w->dw_2), (QStringList{"01=N", "02=N"}));
    QTest::mouseClick(w->cb_5, Qt::LeftButton);
    QCOMPARE(shownFlags(w->dw_1), (QStringList{"01=N", "02=N", "03=N"}));
    QTest::mouseClick(w->cb_6, Qt::LeftButton);
    QCOMPARE(shownFlags(w->dw_2), (QStringList{"01=Y", "02=Y"}));
    QCOMPARE(f.hgFlags(), (QStringList{"01=Y", "02=N", "03=Y"}));
    // Enter in a check box presses no button (全不选 would clear the list).
    w->cbx_1->setFocus();
    QTest::keyClick(w->cbx_1, Qt::Key_Return);
    QCOMPARE(shownFlags(w->dw_1), (QStringList{"01=N", "02=N", "03=N"}));
    QCOMPARE(shownFlags(w->dw_2), (QStringList{"01=Y", "02=Y"}));
    QVERIFY(w->isVisible());
    // 取消 closes without saving, and so does Esc.
    QTest::mouseClick(w->cb_1, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QCOMPARE(f.hgFlags(), (QStringList{"01=Y", "02=N", "03=Y"}));
    QCOMPARE(f.wmFlags(), (QStringList{"01=Y", "02=N"}));
    QCOMPARE(profileKey("hgtype"), QStringLiteral("R"));
    auto again = openDialog();
    QTest::mouseClick(again->cb_4, Qt::LeftButton);
    QTest::keyClick(again.get(), Qt::Key_Escape);
    QVERIFY(!again->isVisible());
    QCOMPARE(f.hgFlags(), (QStringList{"01=Y", "02=N", "03=Y"}));
}

void tst_w_sys_option::selectAllOnAnEmptyList()
{
    Fixture f;
    QVERIFY(f.prepare(kProfile, "INSERT INTO list_hscode(code, name, flag) VALUES ('0101', 'Horses', NULL);"));
    auto w = openDialog();
    QCOMPARE(w->dw_1->dataView()->rowCount(), 0L);
    QTest::mouseClick(w->cb_4, Qt::LeftButton);
    QTest::mouseClick(w->cb_5, Qt::LeftButton);
    QTest::mouseClick(w->cb_6, Qt::LeftButton);
    QCOMPARE(w->dw_1->dataView()->modifiedCount(), 0L);
    QCOMPARE(w->wf_updateset(), 1);
    QVERIFY(f.recorder.boxes().isEmpty());
}

void tst_w_sys_option::refusedSecondListSavesNothingUntilRetried()
{
    Fixture f;
    QVERIFY(f.prepare());
    w_kiv main;
    auto w = openDialog();
    QVERIFY(TestDatabase::exec(f.file, QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON list_jmwcode "
                                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    toggleFlag(w->dw_1, 2); // 02 on
    toggleFlag(w->dw_2, 2); // 02 on
    QTest::mouseClick(w->cb_2, Qt::LeftButton);
    QCOMPARE(f.recorder.boxes().size(), 1);
    QCOMPARE(f.recorder.boxes().first().title, QStringLiteral("Warning :"));
    QCOMPARE(f.recorder.boxes().first().text, QStringLiteral("Hello User,The Operate is  invalidation!!"));
    QCOMPARE(f.recorder.boxes().first().buttons, runtime::MessageButtons::Ok);
    QVERIFY(w->isVisible()); // 确定 stays open after a failed save
    // The first list's written change was rolled back with the second's refusal.
    QCOMPARE(f.hgFlags(), (QStringList{"01=Y", "02=N", "03=Y"}));
    QCOMPARE(f.wmFlags(), (QStringList{"01=Y", "02=N"}));
    // The edits and their change flags stay in the window; the main window was not reloaded.
    QCOMPARE(shownFlags(w->dw_1), (QStringList{"01=Y", "02=Y", "03=Y"}));
    QCOMPARE(w->dw_1->dataView()->modifiedCount(), 1L);
    QCOMPARE(w->dw_2->dataView()->modifiedCount(), 1L);
    QCOMPARE(main.dw_1->rowCount(), 0L);

    QVERIFY(TestDatabase::exec(f.file, QStringLiteral("DROP TRIGGER refuse")));
    QTest::mouseClick(w->cb_2, Qt::LeftButton);
    QCOMPARE(f.recorder.boxes().size(), 1);
    QVERIFY(!w->isVisible());
    QCOMPARE(f.hgFlags(), (QStringList{"01=Y", "02=Y", "03=Y"}));
    QCOMPARE(f.wmFlags(), (QStringList{"01=Y", "02=Y"}));
    QCOMPARE(treeChapters(main.tv_2), 2L);
}

void tst_w_sys_option::readOnlyDatabaseSavesNothing()
{
    Fixture f;
    QVERIFY(f.prepare(kProfile, kRows, true));
    auto w = openDialog();
    QCOMPARE(w->dw_1->dataView()->rowCount(), 3L);
    toggleFlag(w->dw_1, 1);
    QTest::mouseClick(w->cb_3, Qt::LeftButton);
    QCOMPARE(f.recorder.texts(), (QStringList{"Hello User,The Operate is  invalidation!!"}));
    QCOMPARE(w->dw_1->dataView()->modifiedCount(), 1L);
    QCOMPARE(f.hgFlags(), (QStringList{"01=Y", "02=N", "03=Y"}));
    // The connection stays usable: a retry fails the same way and warns again.
    QCOMPARE(w->wf_updateset(), -1);
    QVERIFY(f.transaction->isConnected());
}

void tst_w_sys_option::unwritableProfileLeavesTheDialogWorking()
{
    Fixture f;
    QVERIFY(f.prepare());
    gs_docname = f.env.path(QStringLiteral("no/such/folder/velquor_kiv.ini"));
    auto w = openDialog();
    QVERIFY(!w->cbx_1->isChecked() && !w->cbx_2->isChecked());
    QTest::mouseClick(w->cbx_1, Qt::LeftButton);
    QTest::mouseClick(w->rb_1, Qt::LeftButton);
    toggleFlag(w->dw_1, 3); // 03 off
    QTest::mouseClick(w->cb_3, Qt::LeftButton);
    QVERIFY(f.recorder.boxes().isEmpty()); // the profile writes are not checked
    QCOMPARE(gs_hgtype, QStringLiteral("R"));
    QCOMPARE(f.hgFlags(), (QStringList{"01=Y", "02=N", "03=N"}));
    QVERIFY(!QFile::exists(gs_docname));
    // The settings read back as "N".
    auto again = openDialog();
    QVERIFY(!again->cbx_1->isChecked());
    QVERIFY(!again->rb_1->isChecked());
}

void tst_w_sys_option::sortingThenSavingSavesEveryFlagAsShown()
{
    Fixture f;
    QVERIFY(f.prepare());
    auto w = openDialog();
    clickHeader(w->dw_1, "code");
    clickHeader(w->dw_1, "code"); // descending: 03, 02, 01
    QCOMPARE(shownFlags(w->dw_1), (QStringList{"03=Y", "02=N", "01=Y"}));
    toggleFlag(w->dw_1, 1); // 03 off
    toggleFlag(w->dw_1, 2); // 02 on
    clickHeader(w->dw_2, "jmw_code");
    clickHeader(w->dw_2, "jmw_code");
    QCOMPARE(shownFlags(w->dw_2), (QStringList{"02=N", "01=Y"}));
    toggleFlag(w->dw_2, 1); // 02 on
    QCOMPARE(w->wf_updateset(), 1);
    QCOMPARE(f.hgFlags(), (QStringList{"01=Y", "02=Y", "03=N"}));
    QCOMPARE(f.wmFlags(), (QStringList{"01=Y", "02=Y"}));
    // The lists keep the order the user chose.
    QCOMPARE(shownFlags(w->dw_1), (QStringList{"03=N", "02=Y", "01=Y"}));
}

void tst_w_sys_option::oneModelessWindowOverALoadingMainWindow()
{
    Fixture f;
    QVERIFY(f.prepare());
    w_kiv main;
    main.show();
    w_sys_option *w = w_sys_option::openFor(&main);
    QVERIFY(w && w->isVisible());
    QCOMPARE(w_sys_option::openInstance(), w);
    QCOMPARE(w_sys_option::openFor(&main), w);
    QCOMPARE(w->parentWidget(), &main);
    // The main window has not loaded its rows; the dialog loads its own once its posted event runs.
    QCOMPARE(main.dw_1->rowCount(), 0L);
    QCOMPARE(w->dw_1->dataView()->rowCount(), 0L);
    QCoreApplication::processEvents();
    QCOMPARE(w->dw_1->dataView()->rowCount(), 3L);
    // The main window stays usable beside it.
    QVERIFY(!w->isModal() && !QApplication::activeModalWidget());
    QTest::mouseClick(w->cb_5, Qt::LeftButton);
    QTest::mouseClick(w->cb_2, Qt::LeftButton);
    QCOMPARE(treeChapters(main.tv_1), 0L);
    QTRY_VERIFY(!w_sys_option::openInstance()); // deleted once closed
    w = w_sys_option::openFor(&main);
    QTest::keyClick(w, Qt::Key_Escape);
    QTRY_VERIFY(!w_sys_option::openInstance());
    QVERIFY(f.recorder.boxes().isEmpty());
}

void tst_w_sys_option::helpAndLink()
{
    Fixture f;
    QVERIFY(f.prepare());
    gs_help[4] = QStringLiteral("第四条帮助");
    auto w = openDialog();
    QString helpShown;
    QTimer watchdog;
    connect(&watchdog, &QTimer::timeout, this, [&] {
        if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            if (auto *text = modal->findChild<QPlainTextEdit *>(QStringLiteral("mle_1")))
                helpShown = text->toPlainText();
            modal->reject();
        }
    });
    watchdog.start(20);
    QTest::mouseClick(w->cb_8, Qt::LeftButton);
    watchdog.stop();
    QCOMPARE(helpShown, QStringLiteral("第四条帮助"));
    gs_help = {};

    UrlRecorder browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
    QTest::mouseClick(w->st_5, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(browser.urls, (QList<QUrl>{QUrl(QString::fromLatin1(kiv::kWebAddress))}));
}

KIV_TEST_MAIN(tst_w_sys_option)
#include "moc_OptionsFixture.cpp"
#include "tst_w_sys_option.moc"
