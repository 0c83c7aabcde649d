#include "LibraryProgram.h"

#include "support/TestMain.h"

#include <QtTest>

// The library window as the user works it: the list filtered as they type and sorted by a click
// on a heading, items added, deleted (asked first) and marked reviewed, a file imported through
// its preview and exported, and going from an item to its code in the trees and the sheet.
class tst_w_library : public QObject
{
    Q_OBJECT
private slots:
    void typingFiltersAndAHeadingSorts()
    {
        Program p;
        QVERIFY(p.startWith({item("P-2", "手机", "8517130000"), item("P-1", "平板", "8517130000"),
                             item("L-1", "笔记本电脑", "8471300000")}));
        QVERIFY(p.openLibrary());
        QCOMPARE(QApplication::focusWidget(), p.library->sle_filter); // typing filters at once
        QCOMPARE(p.shownParts(), (QStringList{"L-1", "P-1", "P-2"}));
        QCOMPARE(p.library->st_count->text(), QStringLiteral("共 3 个商品，0 个待复核"));
        QCOMPARE(p.library->model()->index(0, library::ItemListModel::TariffName).data().toString(),
                 QStringLiteral("便携式自动数据处理设备"));
        QTest::keyClick(p.library->tv_items, Qt::Key_F, Qt::AltModifier); // the label's key
        QCOMPARE(QApplication::focusWidget(), p.library->sle_filter);
        QTest::keyClicks(p.library->sle_filter, QStringLiteral("p-"));
        QCOMPARE(p.shownParts(), (QStringList{"P-1", "P-2"}));
        QCOMPARE(p.library->st_count->text(), QStringLiteral("共 3 个商品，显示 2 个，0 个待复核"));
        QTest::keyClicks(p.library->sle_filter, QStringLiteral("2"));
        QCOMPARE(p.shownParts(), QStringList{"P-2"});
        // The item found is selected: Tab to the list and Enter edit it.
        QCOMPARE(p.library->tv_items->currentIndex().row(), 0);
        QVERIFY(p.library->cb_edit->isEnabled());
        QTest::keyClick(p.library->sle_filter, Qt::Key_Backspace);
        // A click on 料号 turns the order over.
        QHeaderView *header = p.library->tv_items->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
        QCOMPARE(p.shownParts(), (QStringList{"P-2", "P-1"}));
    }

    void addingAnItemRefusesAnUnknownCodeAndKeepsTheInput()
    {
        Program p;
        QVERIFY(p.startWith({}));
        QVERIFY(p.openLibrary());
        QString firstProblem;
        whenShown<ui::ItemDialog>([&](ui::ItemDialog *d) {
            typeInto(d->sle_part, QStringLiteral("A-1"));
            typeInto(d->sle_name, QStringLiteral("laptop"));
            typeInto(d->sle_code, QStringLiteral("9999.99.99"));
            QTest::mouseClick(d->cb_save, Qt::LeftButton);
            firstProblem = p.recorder.texts().value(0);
            // Refused: still open with what was typed, the keyboard in the code.
            if (!d->isVisible() || d->sle_name->text() != QLatin1String("laptop") || !d->sle_code->hasFocus()) {
                d->reject(); // the checks below fail
                return;
            }
            d->sle_code->selectAll();
            QTest::keyClicks(d->sle_code, QStringLiteral("8471.30.00"));
            typeInto(d->sle_elements, QStringLiteral("无品牌|X1"));
            QTest::mouseClick(d->cb_save, Qt::LeftButton);
        });
        QTest::mouseClick(p.library->cb_add, Qt::LeftButton);
        QVERIFY2(firstProblem.contains(QStringLiteral("9999")), qPrintable(firstProblem));
        QCOMPARE(p.stored(QStringLiteral("code")), QStringList{"8471300000"}); // an 8-digit code completed
        QCOMPARE(p.stored(QStringLiteral("element_values")), QStringList{"无品牌|X1"});
        QCOMPARE(p.shownParts(), QStringList{"A-1"});
        QCOMPARE(p.library->model()->itemAt(0)->name, QStringLiteral("laptop"));
    }

    // A colleague saved the item while it was being edited here: saving asks whose text stays.
    void aColleaguesNewerChangeIsShownBeforeItIsOverwritten_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("stillEditing");
        QTest::newRow("是: mine overwrites") << 1 << "我的品名" << false;
        QTest::newRow("否: theirs stays") << 2 << "同事的品名" << false;
        QTest::newRow("取消: editing goes on") << 3 << "同事的品名" << true;
    }
    void aColleaguesNewerChangeIsShownBeforeItIsOverwritten()
    {
        QFETCH(int, answer);
        QFETCH(QString, stored);
        QFETCH(bool, stillEditing);
        Program p;
        QVERIFY(p.startWith({item("A-1", "手机", "8517130000")}));
        QVERIFY(p.openLibrary());
        p.selectRow(QStringLiteral("A-1"));
        p.recorder.answer(answer);
        bool editing = false;
        whenShown<ui::ItemDialog>([&](ui::ItemDialog *d) {
            // The colleague, on a connection of their own.
            runtime::Transaction colleague;
            library::Item theirs = item("A-1", "同事的品名", "8517130000");
            const bool saved = TestDatabase::connect(colleague, p.file)
                && library::ItemStore(&colleague).save(theirs, 1).ok();
            colleague.disconnect();
            if (!saved) {
                d->reject();
                return;
            }
            typeInto(d->sle_name, QStringLiteral("我的品名"));
            QTest::mouseClick(d->cb_save, Qt::LeftButton);
            editing = d->isVisible();
            if (editing)
                d->reject();
        });
        QTest::keyClick(p.library->tv_items, Qt::Key_Return);
        QCOMPARE(p.recorder.boxes().size(), 1);
        QCOMPARE(p.recorder.boxes().first().title, QStringLiteral("商品已被他人修改"));
        QVERIFY2(p.recorder.texts().first().contains(QStringLiteral("同事的品名")), qPrintable(p.recorder.texts().first()));
        QCOMPARE(editing, stillEditing);
        QCOMPARE(p.stored(QStringLiteral("name")), QStringList{stored});
        if (!stillEditing)
            QCOMPARE(p.library->model()->itemAt(0)->name, stored);
    }

    // The database refuses the write: the message says so, the dialog keeps what was typed, and
    // the same 保存 goes through once writing works again.
    void aRefusedWriteKeepsTheEditForARetry()
    {
        Program p;
        QVERIFY(p.startWith({item("A-1", "手机", "8517130000")}));
        QVERIFY(p.openLibrary());
        p.selectRow(QStringLiteral("A-1"));
        QString keptName;
        whenShown<ui::ItemDialog>([&](ui::ItemDialog *d) {
            typeInto(d->sle_name, QStringLiteral("新品名"));
            p.transaction->execute(QStringLiteral("PRAGMA query_only = ON"));
            QTest::mouseClick(d->cb_save, Qt::LeftButton);
            p.transaction->execute(QStringLiteral("PRAGMA query_only = OFF"));
            keptName = d->isVisible() ? d->sle_name->text() : QString();
            QTest::mouseClick(d->cb_save, Qt::LeftButton); // the retry
        });
        QTest::mouseClick(p.library->cb_edit, Qt::LeftButton);
        QCOMPARE(p.recorder.texts().size(), 1);
        QVERIFY2(p.recorder.texts().first().startsWith(QStringLiteral("数据库拒绝了修改，您的输入仍保留")),
                 qPrintable(p.recorder.texts().first()));
        QCOMPARE(keptName, QStringLiteral("新品名"));
        QCOMPARE(p.stored(QStringLiteral("name || ':' || version")), QStringList{"新品名:2"});
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("否 keeps it") << 2 << QStringList{"A-1", "A-2"};
        QTest::newRow("是 deletes it") << 1 << QStringList{"A-2"};
    }
    void deleteAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, left);
        Program p;
        QVERIFY(p.startWith({item("A-1", "手机", "8517130000"), item("A-2", "电脑", "8471300000")}));
        QVERIFY(p.openLibrary());
        p.selectRow(QStringLiteral("A-1"));
        p.recorder.answer(answer);
        QTest::keyClick(p.library->tv_items, Qt::Key_Delete);
        QCOMPARE(p.recorder.texts(), QStringList{"删除商品“A-1 手机”？"});
        QCOMPARE(p.stored(QStringLiteral("part_no")), left);
        QCOMPARE(p.shownParts(), left);
    }

    void markingReviewedClearsTheWorklistEntry()
    {
        Program p;
        QVERIFY(p.startWith({item("A-1", "手机", "8517130000"), item("A-2", "电脑", "8471300000")}));
        QVERIFY(TestDatabase::exec(p.file, QStringLiteral("UPDATE item SET review_changes = '名称: 手机 → 智能手机' "
                                                          "WHERE part_no = 'A-1'")));
        QVERIFY(p.openLibrary());
        QCOMPARE(p.library->st_count->text(), QStringLiteral("共 2 个商品，1 个待复核"));
        QTest::mouseClick(p.library->cbx_review, Qt::LeftButton);
        QCOMPARE(p.shownParts(), QStringList{"A-1"});
        p.selectRow(QStringLiteral("A-1"));
        QVERIFY(p.library->cb_reviewed->isEnabled());
        QTest::mouseClick(p.library->cb_reviewed, Qt::LeftButton);
        QCOMPARE(p.stored(QStringLiteral("review_changes")), (QStringList{"", ""}));
        QCOMPARE(p.shownParts(), QStringList{}); // only items waiting are shown
        QCOMPARE(p.library->st_count->text(), QStringLiteral("共 2 个商品，显示 0 个，0 个待复核"));
    }

    void importShowsEachRefusedRowAndAppliesTheRest()
    {
        Program p;
        QVERIFY(p.startWith({item("OLD", "旧商品", "8471300000")}));
        QVERIFY(p.openLibrary());
        const QString path = p.env.path(QStringLiteral("items.csv"));
        QVERIFY(TestEnv::writeFile(path, QByteArray("\xEF\xBB\xBF") + QStringLiteral("料号,品名,规格型号,商品编码,申报要素,归类依据\r\n"
                                                        "N-1,手机,黑色,8517.13.00.00,无品牌|M1,\r\n"
                                                        "N-2,未知,,9999999999,,\r\n"
                                                        "N-1,重复,,8517130000,,\r\n"
                                                        "N-3,,,8517130000,,\r\n"
                                                        "OLD,旧商品改,,84713000,,\r\n")
                                             .toUtf8()));
        p.library->setFileChooser([&](QWidget *, bool save) { return save ? QString() : path; });
        QStringList refused;
        QString summary;
        whenShown<ui::ImportPreview>([&](ui::ImportPreview *d) {
            summary = d->st_summary->text();
            for (int row = 0; row < d->tbl_refused->rowCount(); ++row)
                refused << d->tbl_refused->item(row, 0)->text() + u' ' + d->tbl_refused->item(row, 2)->text();
            QTest::mouseClick(d->cb_apply, Qt::LeftButton);
        });
        QTest::mouseClick(p.library->cb_import, Qt::LeftButton);
        QCOMPARE(summary, QStringLiteral("可导入 2 行（新增 1，更新 1），拒绝 3 行。"));
        QCOMPARE(refused.size(), 3);
        QVERIFY2(refused.at(0).startsWith(QStringLiteral("3 商品编码“9999999999”不在")), qPrintable(refused.join('\n')));
        QVERIFY2(refused.at(1).startsWith(QStringLiteral("4 料号“N-1”在文件中重复")), qPrintable(refused.join('\n')));
        QVERIFY2(refused.at(2).startsWith(QStringLiteral("5 缺少")), qPrintable(refused.join('\n')));
        QCOMPARE(p.stored(QStringLiteral("part_no || ':' || name || ':' || code")),
                 (QStringList{"N-1:手机:8517130000", "OLD:旧商品改:8471300000"}));
        QCOMPARE(p.shownParts(), (QStringList{"N-1", "OLD"}));
    }

    void exportWritesWhatAnImportReads()
    {
        Program p;
        QVERIFY(p.startWith({item("A-1", "=手机", "8517130000")}));
        QVERIFY(p.openLibrary());
        const QString path = p.env.path(QStringLiteral("out.csv"));
        p.library->setFileChooser([&](QWidget *, bool save) { return save ? path : QString(); });
        QTest::mouseClick(p.library->cb_export, Qt::LeftButton);
        QCOMPARE(p.recorder.texts(), QStringList{"已导出 1 个商品到 out.csv。"});
        const QByteArray bytes = TestEnv::readFile(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF")); // Excel reads it as UTF-8
        const QString text = QString::fromUtf8(bytes.mid(3));
        QVERIFY2(text.startsWith(QStringLiteral("料号,品名,规格型号,商品编码,申报要素,归类依据,税则名称,状态\r\n")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("A-1,'=手机,,8517130000,,,智能手机,正常")), qPrintable(text)); // no formula
    }

    void goingToACodeSelectsItOrSaysItsChapterIsNotLoaded_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("sheetSays");
        QTest::newRow("loaded chapter") << "8471300000" << "8471300000" << "";
        QTest::newRow("chapter not loaded") << "8517130000" << "84" << "在未选择的章节中";
    }
    void goingToACodeSelectsItOrSaysItsChapterIsNotLoaded()
    {
        QFETCH(QString, code);
        QFETCH(QString, selected);
        QFETCH(QString, sheetSays);
        Program p;
        QVERIFY(p.startWith({item("A-1", "商品", code)}));
        p.window->tv_1->selectItem(p.handleOf(QStringLiteral("84")));
        QVERIFY(p.openLibrary());
        p.selectRow(QStringLiteral("A-1"));
        QTest::keyClick(p.library, Qt::Key_G, Qt::AltModifier);
        QTRY_VERIFY(w_sheet::openInstance() && w_sheet::openInstance()->isVisible());
        w_sheet *sheet = w_sheet::openInstance();
        QCOMPARE(p.selectedCode(), selected);
        QTRY_COMPARE(sheet->content() ? sheet->content()->code : QString(), code);
        QCOMPARE(sheet->st_missing->text(), sheetSays);
        QCOMPARE(p.recorder.texts(), QStringList{});
    }

    // The search field shows items found by part number, name or model as the group 我的商品
    // above the tariff's lines; Enter on one goes to its code, also in a chapter not loaded.
    void theSearchFieldFindsItemsAboveTheTariffsLines()
    {
        Program p;
        QVERIFY(p.startWith({item("NB-1", "便携电脑", "8471300000"), item("PH-1", "手机", "8517130000")}));
        QuickSearchController *search = QuickSearchController::of(p.window.get());
        QVERIFY(search);
        QTRY_VERIFY(search->isIndexReady());
        QTest::keyClick(p.window->tv_1, Qt::Key_F, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::focusWidget(), search->field);
        typeText(search->field, QStringLiteral("便携"));
        QTRY_VERIFY(search->results->rowCount() >= 2);
        QCOMPARE(search->results->index(0).data().toString(), QStringLiteral("我的商品  8471300000  NB-1  便携电脑"));
        QVERIFY(search->results->index(1).data().toString().startsWith(QStringLiteral("海关  8471300000")));
        // Export takes the tariff's lines of the list, not the item above them.
        const ExportCommands *exports = ExportCommands::of(p.window.get());
        QVERIFY(exports);
        QCOMPARE(exports->searchResults().size(), search->results->rowCount() - 1);
        // An item added in the library is found at the next search.
        QVERIFY(p.openLibrary());
        whenShown<ui::ItemDialog>([&](ui::ItemDialog *d) {
            typeInto(d->sle_part, QStringLiteral("PH-2"));
            typeInto(d->sle_name, QStringLiteral("便携手机"));
            typeInto(d->sle_code, QStringLiteral("8517130000"));
            QTest::mouseClick(d->cb_save, Qt::LeftButton);
        });
        QTest::mouseClick(p.library->cb_add, Qt::LeftButton);
        p.window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), p.window.get());
        QTest::keyClick(p.window->tv_1, Qt::Key_F, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::focusWidget(), search->field);
        typeText(search->field, QStringLiteral("ph-2"));
        QTRY_VERIFY(search->results->rowCount() >= 1);
        QCOMPARE(search->results->index(0).data(quicksearch::ResultModel::ListNameRole).toString(),
                 QStringLiteral("我的商品"));
        QCOMPARE(search->results->index(0).data(quicksearch::ResultModel::CodeRole).toString(),
                 QStringLiteral("8517130000"));
        QTest::keyClick(search->field, Qt::Key_Return);
        QTRY_VERIFY(w_sheet::openInstance() && w_sheet::openInstance()->isVisible());
        QTRY_COMPARE(w_sheet::openInstance()->content() ? w_sheet::openInstance()->content()->code : QString(),
                     QStringLiteral("8517130000"));
        QCOMPARE(w_sheet::openInstance()->st_missing->text(), QStringLiteral("在未选择的章节中"));
    }

    void theSheetStartsANewItemWithItsCodeAndElements()
    {
        Program p;
        QVERIFY(p.startWith({}));
        p.window->tv_1->selectItem(p.handleOf(QStringLiteral("8471300000")));
        QTest::keyClick(p.window->tv_1, Qt::Key_F6);
        QTRY_VERIFY(w_sheet::openInstance() && w_sheet::openInstance()->isVisible());
        w_sheet *sheet = w_sheet::openInstance();
        auto *add = sheet->findChild<QPushButton *>(QStringLiteral("cb_addtolibrary"));
        QVERIFY(add);
        QCOMPARE(add->text(), QStringLiteral("加入归类库(&L)"));
        sheet->tab_pages->setCurrentIndex(2);
        QTRY_VERIFY(sheet->ep_elements->field(1));
        typeInto(sheet->ep_elements->field(1), QStringLiteral("X1"));
        QString code, elements;
        whenShown<ui::ItemDialog>([&](ui::ItemDialog *d) {
            code = d->sle_code->text();
            elements = d->sle_elements->text();
            typeInto(d->sle_part, QStringLiteral("NB-1"));
            typeInto(d->sle_name, QStringLiteral("笔记本"));
            QTest::mouseClick(d->cb_save, Qt::LeftButton);
        });
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(code, QStringLiteral("8471300000"));
        QCOMPARE(elements, QStringLiteral("|X1"));
        QCOMPARE(p.stored(QStringLiteral("part_no || ':' || element_values")), QStringList{"NB-1:|X1"});
        QVERIFY(ui::w_library::openInstance() && ui::w_library::openInstance()->isVisible());
    }
};

KIV_TEST_MAIN(tst_w_library)
#include "tst_w_library.moc"
