#include "FindDialogFixture.h"

#include "support/TestMain.h"

#include <QtTest>

// What the find dialog finds and lists, and where picking an entry goes.
class tst_FindMatches : public QObject
{
    Q_OBJECT
private slots:
    void exactNameListsEveryRowOfThatNameAndSelectsTheLast()
    {
        Fixture f;
        QVERIFY(f.open());
        // Enter presses the find button.
        f.dialog->sle_2->setText(QStringLiteral("其他马"));
        QTest::keyClick(f.dialog->sle_2, Qt::Key_Return);
        QCOMPARE(f.entries(), (QStringList{f.hs(4), f.hs(5)}));
        const long last = f.handle(f.window->dw_1, 5);
        QCOMPARE(f.window->tv_1->selectedHandle(), last);
        // The branch of the last match is open.
        for (long h = f.window->tv_1->findItem(runtime::TreeNavigation::Parent, last); h > 0;
             h = f.window->tv_1->findItem(runtime::TreeNavigation::Parent, h))
            QVERIFY(f.window->tv_1->isItemExpanded(h));
        QCOMPARE(f.window->dw_1->currentRow(), 5L);
        QVERIFY(f.window->isPanelVisible(f.window->dw_1));
        QVERIFY(f.recorder.boxes().isEmpty());
        // A new search starts a new list.
        QCOMPARE(f.find(QStringLiteral("牛")), (QStringList{f.hs(6)}));
        QCOMPARE(f.find(QStringLiteral("其他")), QStringList());
        QCOMPARE(f.recorder.texts(), QStringList{kSorry});
        QCOMPARE(f.recorder.boxes().at(0).title, QStringLiteral(":-)查找提示"));
    }

    void matchingByParts_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("one term") << "马" << QList<int>{2, 4, 5, 7};
        QTest::newRow("both terms") << "马+其他" << QList<int>{4, 5};
        QTest::newRow("either order") << "其他+马" << QList<int>{4, 5};
        QTest::newRow("trailing plus") << "牛+" << QList<int>{6, 8, 9, 11};
        QTest::newRow("leading plus") << "+马" << QList<int>{};
        QTest::newRow("doubled plus") << "牛++" << QList<int>{};
        QTest::newRow("only plus") << "+" << QList<int>{};
        QTest::newRow("quote") << "'" << QList<int>{7};
        QTest::newRow("tilde") << "~其" << QList<int>{9};
        QTest::newRow("percent is a wildcard") << "5%_x" << QList<int>{8};
        QTest::newRow("underscore is one character") << "鲜_肉" << QList<int>{11};
        QTest::newRow("underscore alone") << "_" << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    }
    void matchingByParts()
    {
        QFETCH(QString, input);
        QFETCH(QList<int>, rows);
        Fixture f;
        QVERIFY(f.open());
        f.dialog->rb_7->click();
        QStringList expected;
        for (int row : rows)
            expected.append(f.hs(row));
        QCOMPARE(f.find(input), expected);
        QCOMPARE(f.recorder.texts(), rows.isEmpty() ? QStringList{kSorry} : QStringList());
    }

    void exactMatchTakesQuotesAndWildcardsAsTyped()
    {
        Fixture f;
        QVERIFY(f.open());
        QCOMPARE(f.find(QStringLiteral("O'Neil马")), QStringList{f.hs(7)});
        QCOMPARE(f.find(QStringLiteral("牛~其他")), QStringList{f.hs(9)});
        QCOMPARE(f.find(QStringLiteral("百分之5%牛_x")), QStringList{f.hs(8)});
        QCOMPARE(f.find(QStringLiteral("百分之5_牛%x")), QStringList());
        QCOMPARE(f.recorder.texts(), QStringList{kSorry});
    }

    void codesAreSearchedInTheirOwnField()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        d->rb_2->click();
        d->rb_5->click();
        d->sle_3->setText(QStringLiteral("0101"));
        d->cb_2->click();
        QCOMPARE(f.entries(), QStringList{f.jmw(2)});
        QCOMPARE(f.window->dw_2->currentRow(), 2L);
        d->rb_7->click();
        d->sle_3->setText(QStringLiteral("0+11"));
        d->cb_2->click();
        QCOMPARE(f.entries(), QStringList{f.jmw(3)});
        QVERIFY(f.recorder.boxes().isEmpty());
    }

    void bothTreesListCustomsFirstAndPickingGoesToTheEntrysOwnRow()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        d->rb_3->click();
        d->rb_7->click();
        QCOMPARE(f.find(QStringLiteral("其他")), (QStringList{f.hs(4), f.hs(5), f.hs(9), f.jmw(3)}));
        const long selected1 = f.window->tv_1->selectedHandle();
        const long selected2 = f.window->tv_2->selectedHandle();
        QCOMPARE(selected2, f.handle(f.window->dw_2, 3));

        // The second "其他马" goes to its own row, not to the first row of that name.
        d->lb_1->setCurrentRow(1);
        QCOMPARE(f.window->dw_1->currentRow(), 5L);
        d->lb_1->setCurrentRow(0);
        QCOMPARE(f.window->dw_1->currentRow(), 4L);
        // A foreign-trade entry goes to its row in the foreign-trade list.
        f.window->dw_2->scrollToRow(1);
        d->lb_1->setCurrentRow(3);
        QCOMPARE(f.window->dw_2->currentRow(), 3L);
        QCOMPARE(f.window->dw_1->currentRow(), 4L);
        // Picking moves no tree selection; without "显示明细" it hides the panel.
        d->cbx_1->click();
        d->lb_1->setCurrentRow(2);
        QCOMPARE(f.window->dw_1->currentRow(), 9L);
        QVERIFY(!f.window->isPanelVisible(f.window->dw_1));
        QCOMPARE(f.window->tv_1->selectedHandle(), selected1);
        QCOMPARE(f.window->tv_2->selectedHandle(), selected2);
        QVERIFY(f.recorder.boxes().isEmpty());

        // No match in either tree: one message for each.
        QCOMPARE(f.find(QStringLiteral("鱼")), QStringList());
        QCOMPARE(f.recorder.texts(), (QStringList{kSorry, kSorry}));
        // The customs matches keep the message from the foreign-trade search.
        QCOMPARE(f.find(QStringLiteral("驴")), QStringList{f.hs(2)});
        QCOMPARE(f.recorder.texts().size(), 2);
    }

    void showDetailDecidesThePanelOfEachMatch()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        d->cbx_1->click();
        f.window->showPanel(f.window->dw_1, true);
        QCOMPARE(f.find(QStringLiteral("牛")), QStringList{f.hs(6)});
        QVERIFY(!f.window->isPanelVisible(f.window->dw_1));
        d->cbx_1->click();
        QCOMPARE(f.find(QStringLiteral("牛")), QStringList{f.hs(6)});
        QVERIFY(f.window->isPanelVisible(f.window->dw_1));
        QVERIFY(!f.window->isPanelVisible(f.window->dw_2));
    }

    void steppingGoesFromTheCurrentRowAndListsEachItemOnce()
    {
        Fixture f;
        QVERIFY(f.open());
        w_findats *d = f.dialog;
        d->cbx_2->click();
        d->rb_7->click();
        QCOMPARE(f.find(QStringLiteral("马")), QStringList{f.hs(2)});
        d->cb_1->click();
        d->cb_1->click();
        QCOMPARE(f.window->dw_1->currentRow(), 5L);
        d->cb_4->click();
        QCOMPARE(f.window->dw_1->currentRow(), 4L);
        QCOMPARE(f.window->tv_1->selectedHandle(), f.handle(f.window->dw_1, 4));
        QCOMPARE(f.entries(), (QStringList{f.hs(2), f.hs(4), f.hs(5)}));

        // The user's own selection in the tree is where the next step starts.
        f.window->tv_1->selectItem(f.handle(f.window->dw_1, 6));
        d->cb_1->click();
        QCOMPARE(f.window->dw_1->currentRow(), 7L);
        QCOMPARE(f.entries().last(), f.hs(7));
        // Past the last match and before the first one nothing more is listed.
        d->cb_1->click();
        QCOMPARE(f.window->dw_1->currentRow(), 7L);
        QCOMPARE(f.entries().size(), 4);
        QCOMPARE(f.find(QStringLiteral("活动")), QStringList{f.hs(1)});
        d->cb_4->click();
        QCOMPARE(f.entries(), QStringList{f.hs(1)});
        QCOMPARE(f.window->dw_1->currentRow(), 1L);
        QVERIFY(f.recorder.boxes().isEmpty());
        // Stepping without any match at all.
        QCOMPARE(f.find(QStringLiteral("鱼")), QStringList());
        d->cb_1->click();
        QCOMPARE(f.recorder.texts(), (QStringList{kSorry, kSorry}));
    }

    void rowWithoutTreeItemReusesTheItemReadBefore()
    {
        Fixture f;
        QVERIFY(f.open());
        runtime::DataView *dw = f.window->dw_1;
        const long item4 = f.handle(dw, 4);
        // The first match has no item: the entry is the bare prefix, and nothing is selected.
        dw->setItem(4, QStringLiteral("handle"), 0);
        const long before = f.window->tv_1->selectedHandle();
        f.dialog->cbx_2->click();
        QCOMPARE(f.find(QStringLiteral("其他马")), QStringList{C});
        QCOMPARE(f.window->tv_1->selectedHandle(), before);
        f.dialog->cbx_2->click();
        QCOMPARE(f.find(QStringLiteral("其他马")), (QStringList{C, f.hs(5)}));
        // A later match without an item repeats the item before it, which is listed already.
        dw->setItem(4, QStringLiteral("handle"), QVariant::fromValue<qint32>(qint32(item4)));
        dw->setItem(5, QStringLiteral("handle"), 0);
        QCOMPARE(f.find(QStringLiteral("其他马")), QStringList{f.hs(4)});
        // Stepping onto it reads no item at all: the bare prefix begins every customs entry,
        // so nothing is added, and the current row stays where it was.
        f.dialog->cbx_2->click();
        QCOMPARE(f.find(QStringLiteral("其他马")), QStringList{f.hs(4)});
        f.dialog->cb_1->click();
        QCOMPARE(f.entries(), QStringList{f.hs(4)});
        QCOMPARE(dw->currentRow(), 4L);
        QVERIFY(f.recorder.boxes().isEmpty());
    }

    // Listing all matches finds the rows first and checks "already listed" by an ordered
    // index; the entries must be those of the plain algorithm: one find after each match and
    // a scan of the whole list for an entry beginning with the new text.
    void listingAllEqualsTheRowByRowAlgorithm()
    {
        QRandomGenerator random(6);
        const QStringList words = {"其他", "马", "牛", "鲜", "冻", "肉", "+", "'", "~"};
        auto name = [&] {
            QString text;
            for (int i = int(random.bounded(1, 4)); i > 0; --i)
                text += words.at(int(random.bounded(words.size())));
            return text.replace(QLatin1Char('\''), QStringLiteral("''"));
        };
        QString sql = QStringLiteral("INSERT INTO list_hscode(code, name, flag) VALUES ('01', '其他', 'Y'), "
                                     "('02', '马', 'Y'), ('03', '牛', 'N')");
        QString jmw = QStringLiteral("INSERT INTO list_jmwcode(jmw_code, name, flag) VALUES ('01', '其他', 'Y')");
        for (int i = 0; i < 300; ++i) {
            sql += QStringLiteral(", ('0%1%2', '%3', NULL)").arg(1 + i % 3).arg(i, 4, 10, QLatin1Char('0')).arg(name());
            if (i % 2)
                jmw += QStringLiteral(", ('01%1', '%2', NULL)").arg(i, 4, 10, QLatin1Char('0')).arg(name());
        }
        Fixture f;
        QVERIFY(f.open(sql + QLatin1Char(';') + jmw + QLatin1Char(';')));
        w_kiv &w = *f.window;
        // Rows without a tree item, among them the first rows of each list.
        for (runtime::DataView *view : {w.dw_1, w.dw_2})
            for (long row = 1; row <= view->rowCount(); ++row)
                if (row <= 2 || random.bounded(6) == 0)
                    view->setItem(row, QStringLiteral("handle"), 0);

        f.dialog->rb_3->click();
        f.dialog->rb_7->click();
        for (const QString &input : {QStringLiteral("其他"), QStringLiteral("马+牛"), QStringLiteral("+"),
                                     QStringLiteral("'"), QStringLiteral("_")}) {
            QStringList expected;
            const QString where = kiv::FindExpressionBuilder::nameSearch(input, QStringLiteral("M"));
            for (auto [view, tree, prefix] : {std::tuple{w.dw_1, w.tv_1, C}, std::tuple{w.dw_2, w.tv_2, F}}) {
                runtime::TreeItem item;
                const long end = view->rowCount();
                for (long r = view->find(where, 1, end); r >= 1; r = r + 1 <= end ? view->find(where, r + 1, end) : 0) {
                    tree->getItem(f.handle(view, r), item);
                    const QString value = prefix + item.label;
                    if (std::none_of(expected.cbegin(), expected.cend(),
                                     [&](const QString &e) { return e.startsWith(value); }))
                        expected.append(value);
                }
            }
            QVERIFY2(expected.size() > 2, qPrintable(input));
            QCOMPARE(f.find(input), expected);
        }
    }
};

KIV_TEST_MAIN(tst_FindMatches)
#include "tst_findmatches.moc"
