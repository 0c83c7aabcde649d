#include "FindDialogFixture.h"

#include "support/TestMain.h"

#include <QtTest>

// The find dialog as a window: its controls, keys, hints, help and closing.
class tst_w_findats : public QObject
{
    Q_OBJECT
private slots:
    void opensWithItsControlsInTheirInitialState()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        QCOMPARE(d->windowTitle(), QStringLiteral("快速查找"));
        QVERIFY(!d->isModal());
        QCOMPARE(d->parentWidget(), f.window.get());
        QCOMPARE(d->font().family(), QStringLiteral("Arial"));
        QCOMPARE(d->font().pointSize(), 9);
        QCOMPARE(d->palette().color(QPalette::Window), QColor(212, 208, 200));
        QCOMPARE(d->is_tree, QStringLiteral("H"));
        QCOMPARE(d->is_type, QStringLiteral("C"));
        QCOMPARE(d->is_find, QStringLiteral("C"));

        const QList<QPair<QAbstractButton *, QString>> buttons = {
            {d->cbx_2, "查找所有"}, {d->cb_5, "帮助(&H)"}, {d->cb_4, "上一个(&P)"}, {d->cb_1, "下一个(&N)"},
            {d->rb_7, "匹配查找"}, {d->rb_6, "精确查找"}, {d->rb_5, "根据商品代码查找名称"},
            {d->rb_4, "根据商品名称查找代码"}, {d->cb_2, "查找(&Y)"}, {d->cb_3, "关闭(&C)"}, {d->cbx_1, "显示明细"},
            {d->rb_3, "同时查找 "}, {d->rb_2, "查找外经委商品树"}, {d->rb_1, "查找海关商品树"}};
        for (const auto &[button, text] : buttons)
            QCOMPARE(button->text(), text);
        QCOMPARE(d->st_4->text(), QStringLiteral("查询结果:"));
        QCOMPARE(d->st_3->text(), QStringLiteral("外经代码："));
        QCOMPARE(d->st_2->text(), QStringLiteral("商品名称："));
        QCOMPARE(d->st_1->text(), QStringLiteral("海关代码："));
        QCOMPARE(d->gb_1->title(), QStringLiteral("设置查询树"));
        QCOMPARE(d->gb_2->title(), QStringLiteral("设置查询方式"));
        QCOMPARE(d->gb_3->title(), QStringLiteral("录入查询条件"));
        QCOMPARE(d->st_2->buddy(), d->sle_2);
        QCOMPARE(d->st_1->buddy(), d->sle_1);
        QCOMPARE(d->st_3->buddy(), d->sle_3);
        QCOMPARE(d->st_4->buddy(), d->lb_1);
        QVERIFY(d->rb_1->parentWidget() == d->gb_1 && d->rb_5->parentWidget() == d->gb_2
                && d->sle_3->parentWidget() == d->gb_3 && d->cbx_2->parentWidget() == d->gb_3);

        for (QAbstractButton *checked :
             std::initializer_list<QAbstractButton *>{d->rb_1, d->rb_4, d->rb_6, d->cbx_2, d->cbx_1})
            QVERIFY2(checked->isChecked(), qPrintable(checked->text()));
        QVERIFY(d->sle_2->isEnabled());
        QVERIFY(!d->sle_1->isEnabled());
        QVERIFY(!d->sle_3->isEnabled());
        QVERIFY(!d->cb_1->isEnabled());
        QVERIFY(!d->cb_4->isEnabled());
        QVERIFY(d->cb_2->isDefault());
        QCOMPARE(d->lb_1->count(), 0);
        QCOMPARE(d->lb_1->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(d->rb_1->layoutDirection(), Qt::RightToLeft); // text left of the button
        QCOMPARE(d->rb_6->layoutDirection(), Qt::LeftToRight);

        // Placed by its own size, in layout units.
        const runtime::LayoutUnits units;
        const QPoint expected = units.toPixels(kiv::adjustedWinPos(
            QSize(units.pixelsToUnitsX(d->width()), units.pixelsToUnitsY(d->height()))));
        QCOMPARE(d->pos(), expected);
        QVERIFY(d->lb_1->geometry().bottom() < d->height());
        QVERIFY(d->cb_5->geometry().right() < d->width());
    }

    void tabVisitsFieldsListAndButtonsByTheirNumbers()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        QCOMPARE(QApplication::focusWidget(), d->sle_2);
        auto tabs = [](int count) {
            QList<QWidget *> visited;
            for (int i = 0; i < count; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                visited.append(QApplication::focusWidget());
            }
            return visited;
        };
        // The disabled fields and buttons are passed by, and so are the radio buttons and
        // check boxes (tab number 0).
        QCOMPARE(tabs(5), (QList<QWidget *>{d->cb_5, d->lb_1, d->cb_3, d->cb_2, d->sle_2}));
        d->cbx_2->click();
        d->rb_3->click();
        d->rb_5->click();
        d->sle_1->setFocus();
        QCOMPARE(tabs(8), (QList<QWidget *>{d->sle_3, d->cb_3, d->cb_4, d->cb_2, d->cb_1, d->cb_5, d->lb_1, d->sle_1}));
    }

    void choicesSetTheStateAndEnableTheFields()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        auto enabled = [d] {
            return QString::fromLatin1("%1%2%3").arg(int(d->sle_1->isEnabled())).arg(int(d->sle_2->isEnabled()))
                .arg(int(d->sle_3->isEnabled()));
        };
        // Searching by name, a tree choice changes is_tree only.
        d->rb_2->click();
        QCOMPARE(d->is_tree, QStringLiteral("J"));
        QCOMPARE(enabled(), QStringLiteral("010"));
        QVERIFY(d->rb_4->isChecked()); // the groups are independent
        d->rb_5->click();
        QCOMPARE(d->is_type, QStringLiteral("N"));
        QCOMPARE(enabled(), QStringLiteral("001"));
        QVERIFY(!d->rb_4->isChecked() && d->rb_2->isChecked());
        d->rb_1->click();
        QCOMPARE(enabled(), QStringLiteral("100"));
        d->rb_3->click();
        QCOMPARE(d->is_tree, QStringLiteral("A"));
        QCOMPARE(enabled(), QStringLiteral("101"));
        d->rb_4->click();
        QCOMPARE(d->is_type, QStringLiteral("C"));
        QCOMPARE(enabled(), QStringLiteral("010"));
        d->rb_1->click();
        QCOMPARE(d->is_tree, QStringLiteral("H"));
        QCOMPARE(enabled(), QStringLiteral("010"));
        d->rb_5->click();
        QCOMPARE(enabled(), QStringLiteral("100"));

        d->rb_7->click();
        QCOMPARE(d->is_find, QStringLiteral("M"));
        QVERIFY(!d->rb_6->isChecked());
        d->rb_6->click();
        QCOMPARE(d->is_find, QStringLiteral("C"));
        d->cbx_2->click();
        QVERIFY(d->cb_1->isEnabled() && d->cb_4->isEnabled());
        d->cbx_2->click();
        QVERIFY(!d->cb_1->isEnabled() && !d->cb_4->isEnabled());
        QVERIFY(f.recorder.boxes().isEmpty());
    }

    void choicesFollowEveryWayOfChecking_data() { ButtonDriver::addWaysOfChecking(); }
    void choicesFollowEveryWayOfChecking()
    {
        QFETCH(QString, way);
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        // Both trees by parts, then both by code: what the searches find shows their modes.
        QVERIFY(ButtonDriver::turnOver(d->rb_3, way));
        QVERIFY(ButtonDriver::turnOver(d->rb_7, way));
        QCOMPARE(f.find(QStringLiteral("其他")), (QStringList{f.hs(4), f.hs(5), f.hs(9), f.jmw(3)}));
        QVERIFY(ButtonDriver::turnOver(d->rb_5, way));
        QVERIFY(d->sle_1->isEnabled() && d->sle_3->isEnabled() && !d->sle_2->isEnabled());
        d->sle_1->setText(QStringLiteral("0102"));
        d->sle_3->setText(QStringLiteral("0102"));
        d->cb_2->click();
        QCOMPARE(f.entries(), (QStringList{f.hs(6), f.hs(7), f.hs(8), f.hs(9), f.jmw(4)}));
        // Stepping, in the customs tree, by the exact name.
        QVERIFY(ButtonDriver::turnOver(d->cbx_2, way));
        QVERIFY(d->cb_1->isEnabled() && d->cb_4->isEnabled());
        for (QRadioButton *radio : {d->rb_1, d->rb_4, d->rb_6})
            QVERIFY(ButtonDriver::turnOver(radio, way));
        QVERIFY(!d->sle_1->isEnabled() && d->sle_2->isEnabled() && !d->sle_3->isEnabled());
        QCOMPARE(f.find(QStringLiteral("其他马")), QStringList{f.hs(4)});
        QVERIFY(f.recorder.boxes().isEmpty());
    }

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(int, key);
        Fixture f;
        QVERIFY(f.open());
        f.dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.dialog));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.dialog->cb_3);
        QTest::keyClick(f.dialog->cb_3, Qt::Key(key)); // 关闭, not the default 查找
        QVERIFY(!f.dialog->isVisible());
    }

    void resultListFollowsOnlyANewlySelectedEntry()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        runtime::DataView *dw = f.window->dw_1;
        d->rb_7->click();
        QCOMPARE(f.find(QStringLiteral("马")), (QStringList{f.hs(2), f.hs(4), f.hs(5), f.hs(7)}));
        const long lastMatch = f.window->tv_1->selectedHandle();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        // Tabbing in makes the first entry current, not selected: the panel stays on the last match.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), d->lb_1);
        QCOMPARE(d->lb_1->currentRow(), 0);
        QCOMPARE(dw->currentRow(), 7L);
        auto click = [d](int entry, Qt::KeyboardModifiers keys = {}) {
            QTest::mouseClick(d->lb_1->viewport(), Qt::LeftButton, keys,
                              d->lb_1->visualItemRect(d->lb_1->item(entry)).center());
        };
        QTest::keyClick(d->lb_1, Qt::Key_Down);
        QCOMPARE(dw->currentRow(), 4L);
        click(2, Qt::ControlModifier);
        QCOMPARE(dw->currentRow(), 5L);
        click(1, Qt::ControlModifier); // deselected, and current
        QCOMPARE(d->lb_1->selectedItems(), QList<QListWidgetItem *>{d->lb_1->item(2)});
        QCOMPARE(dw->currentRow(), 5L);
        click(0);
        QCOMPARE(dw->currentRow(), 2L);
        QVERIFY(f.window->isPanelVisible(dw));
        QCOMPARE(f.window->tv_1->selectedHandle(), lastMatch); // picking moves no tree selection
    }

    void emptyInputHintsFocusesAndWarns()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        d->cb_2->click();
        QCOMPARE(f.recorder.texts(), (QStringList{kNeedName, kHgError}));
        QCOMPARE(f.recorder.boxes().at(0).title, QStringLiteral(":-)查找提示"));
        QCOMPARE(f.recorder.boxes().at(0).icon, runtime::MessageIcon::Exclamation);
        QCOMPARE(f.recorder.boxes().at(1).title, QStringLiteral("Warning :"));
        QCOMPARE(d->focusWidget(), d->sle_2);

        // Both trees by name: the foreign-trade search is skipped after the customs failure.
        d->rb_3->click();
        d->cb_2->click();
        QCOMPARE(f.recorder.texts().mid(2), (QStringList{kNeedName, kHgError}));

        // By code in the foreign-trade tree.
        d->rb_2->click();
        d->rb_5->click();
        d->cb_2->setFocus();
        d->cb_2->click();
        QCOMPARE(f.recorder.texts().mid(4), (QStringList{kNeedCode, kJmwError}));
        QCOMPARE(d->focusWidget(), d->sle_3);

        // Both trees by code with only the customs code: its matches, then the hint for the
        // foreign-trade field.
        d->rb_3->click();
        d->sle_1->setText(QStringLiteral("0102"));
        d->rb_7->click();
        d->cb_2->click();
        QCOMPARE(f.recorder.texts().mid(6), (QStringList{kNeedCode, kJmwError}));
        QCOMPARE(f.entries(), (QStringList{f.hs(6), f.hs(7), f.hs(8), f.hs(9)}));
        QCOMPARE(d->focusWidget(), d->sle_3);
        // Both code fields empty: only the customs hint.
        d->sle_1->clear();
        d->cb_2->click();
        QCOMPARE(f.recorder.texts().mid(8), (QStringList{kNeedCode, kHgError}));
        QCOMPARE(d->focusWidget(), d->sle_1);
    }

    void fieldsTakeOnlyWhatFitsTheirWidth()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        const QString pasted = QString(QStringLiteral("其他商品名称")).repeated(40).left(200);
        QGuiApplication::clipboard()->setText(pasted);
        d->sle_2->paste();
        const QString kept = d->sle_2->text();
        QVERIFY(!kept.isEmpty());
        QVERIFY(kept.size() < pasted.size());
        QVERIFY(pasted.startsWith(kept));
        QVERIFY(d->sle_2->fontMetrics().horizontalAdvance(kept) < d->sle_2->width());
        typeChar(d->sle_2, QStringLiteral("马"));
        QCOMPARE(d->sle_2->text(), kept);
        // Narrow code field: latin digits, far fewer than typed.
        d->rb_5->click();
        QTest::keyClicks(d->sle_1, QString(QLatin1Char('9')).repeated(60));
        QVERIFY(d->sle_1->text().size() > 5);
        QVERIFY(d->sle_1->text().size() < 60);
        QVERIFY(d->sle_1->fontMetrics().horizontalAdvance(d->sle_1->text()) < d->sle_1->width());
    }

    void helpShowsTextThree()
    {
        Fixture f;
        QVERIFY(f.open());
        for (int i = 1; i <= 7; ++i)
            gs_help[i] = QStringLiteral("帮助%1").arg(i);
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto *help = qobject_cast<w_help *>(QApplication::activeModalWidget());
            if (!help)
                return;
            shown = help->findChild<QPlainTextEdit *>()->toPlainText();
            help->close();
        });
        f.dialog->cb_5->click();
        QCOMPARE(shown.trimmed(), QStringLiteral("帮助3"));
    }

    void oneDialogThatCloseDestroys()
    {
        Fixture f;
        QVERIFY(f.open());
        QCOMPARE(w_findats::openFor(f.window.get()), f.dialog.data());
        QCOMPARE(w_findats::openInstance(), f.dialog.data());
        f.find(QStringLiteral("牛"));
        const long selected = f.window->tv_1->selectedHandle();
        f.tester.reset(); // it must not outlive the list it checks
        f.dialog->cb_3->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(f.dialog.isNull());
        QVERIFY(!w_findats::openInstance());
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.window->tv_1->selectedHandle(), selected);

        // A new dialog starts afresh; Esc closes it too.
        QPointer<w_findats> again = w_findats::openFor(f.window.get());
        QCOMPARE(again->lb_1->count(), 0);
        QVERIFY(again->cbx_2->isChecked());
        QTest::keyClick(again->sle_2, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(again.isNull());
    }
};

KIV_TEST_MAIN(tst_w_findats)
#include "tst_w_findats.moc"
