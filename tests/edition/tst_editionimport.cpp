#include "EditionImportFixture.h"

#include "support/TestMain.h"

#include <QtTest>

using namespace edition;

class tst_EditionImport : public QObject
{
    Q_OBJECT
private slots:
    // The bundled files against the database made from them: nothing to change. The import
    // reads every field where the generator put it.
    void bundledEditionChangesNothing()
    {
        Fixture f;
        QVERIFY(f.open());
        QVERIFY(f.read(TestEnv::readFile(kLines)));
        QCOMPARE(f.file.lines.size(), 12030);
        QVERIFY2(f.comparison.isEmpty(), qPrintable(ChangeReport::summary(f.comparison)));
        QVERIFY(f.comparison.extraColumns.isEmpty());
    }

    // Lines the import adds get the very columns the generator wrote, numbers included:
    // several rebates, ad valorem plus specific tax, specific tax, conditional tax, no VAT,
    // no rebate, a decimal rate, no second unit.
    void addedLinesMatchTheGenerator()
    {
        Fixture f;
        QVERIFY(f.open());
        const QString codes = QStringLiteral("'0305200090','2208200010','2206001000','2203000000','5201000080',"
                                             "'1211203110','0713339000','0201100010'");
        const QString hs = QStringLiteral("SELECT %1 FROM list_hscode WHERE code IN (%2) ORDER BY code")
                               .arg(joined(kHsColumns), codes);
        const QString tariff = QStringLiteral("SELECT %1 FROM tariff_line WHERE code IN (%2) ORDER BY code")
                                   .arg(joined(kTariffColumns), codes);
        const QStringList before = f.rows(hs) + f.rows(tariff);
        QCOMPARE(f.rows(hs).size(), 8);
        QVERIFY(TestDatabase::exec(f.db, QStringLiteral("DELETE FROM list_hscode WHERE code IN (%1);"
                                                        "DELETE FROM tariff_line WHERE code IN (%1)").arg(codes)));
        QVERIFY(f.read(TestEnv::readFile(kLines)));
        QCOMPARE(f.comparison.added.size(), 8);
        QCOMPARE(f.comparison.count(ChangeKind::Added), 8);
        QVERIFY(f.apply(QStringLiteral("CN2027")).ok);
        QCOMPARE(f.rows(hs) + f.rows(tariff), before);
    }

    // A changed edition: the preview's counts, then apply (backup, one transaction), then
    // undo. The user's note and unticked chapter survive both.
    void appliesAndUndoes()
    {
        Fixture f;
        QVERIFY(f.open());
        tariff::NotesStore notes(&f.sqlca);
        QVERIFY(notes.save(QStringLiteral("hs"), QStringLiteral("0101290090"), QStringLiteral("客户常报"), {}).ok());
        QVERIFY(TestDatabase::exec(f.db, QStringLiteral("UPDATE list_hscode SET flag = 'N' WHERE code = '02';"
                                                        "UPDATE list_jmwcode SET flag = 'N' WHERE jmw_code = '03'")));
        const QStringList original = f.lists();
        const QByteArray edition = editedLines(
            {{QStringLiteral("0101210090"), setField(5, QStringLiteral("改良种用马（新名称）"))},
             {QStringLiteral("0101290010"), setField(8, QStringLiteral("5%"))},
             {QStringLiteral("0101290090"), drop},
             {QStringLiteral("0101301010"), setField(16, QStringLiteral("AB"))},
             {QStringLiteral("0101301090"), setField(6, QStringLiteral("只"))}},
            {QByteArrayLiteral("0101309020,01013090,010130,0101,01,新增的驴,头,,10%,,30%,9%,0%,9%,,,AB,P/Q,1:品牌类型"),
             QByteArrayLiteral("9901000010,99010000,990100,9901,99,新章的编码,千克,,5%,,5%,13%,,,,,,,")});
        QVERIFY(f.read(edition, false));
        QCOMPARE(f.comparison.added, (QStringList{QStringLiteral("0101309020"), QStringLiteral("9901000010")}));
        QCOMPARE(f.comparison.removed, QStringList{QStringLiteral("0101290090")});
        QCOMPARE(f.comparison.removedWithNotes, QStringList{QStringLiteral("0101290090")});
        QCOMPARE(f.comparison.count(ChangeKind::Renamed), 1);
        QCOMPARE(f.comparison.count(ChangeKind::Rate), 1);
        QCOMPARE(f.comparison.count(ChangeKind::Supervision), 1);
        QCOMPARE(f.comparison.count(ChangeKind::Unit), 1);
        QCOMPARE(f.comparison.unnamedChapters, QStringList{QStringLiteral("99")});
        const QString summary = ChangeReport::summary(f.comparison);
        QVERIFY2(summary.contains(QStringLiteral("新增 2 个编码，删除 1 个，名称变更 1 个，税率变更 1 个，单位变更 1 个，"
                                                 "监管条件变更 1 个")) && summary.contains(QStringLiteral("0101290090"))
                     && summary.contains(EditionComparison::unknownChapterName()),
                 qPrintable(summary));

        const EditionApplier::Result applied = f.apply(QStringLiteral("CN2027"));
        QVERIFY2(applied.ok, qPrintable(applied.message));
        QCOMPARE(EditionBackups(f.db).list(), QStringList{f.db + QStringLiteral(".bak-20270101-090000")});
        QCOMPARE(f.value("SELECT name FROM list_hscode WHERE code = '0101210090'"), QStringLiteral("改良种用马（新名称）"));
        QCOMPARE(f.value("SELECT sz || jksl FROM list_hscode WHERE code = '0101290010'"), QStringLiteral("5%5"));
        QCOMPARE(f.value("SELECT supervision_conditions FROM tariff_line WHERE code = '0101301010'"), QStringLiteral("AB"));
        QCOMPARE(f.rows("SELECT code FROM list_hscode WHERE code = '0101290090'"), QStringList());
        QCOMPARE(f.value("SELECT coalesce(name, '<null>') || flag || op_user FROM list_hscode WHERE code = '99'"),
                 QStringLiteral("<null>YCN2027"));
        QCOMPARE(f.rows("SELECT DISTINCT op_user || op_date FROM list_hscode WHERE length(code) IN (2, 10)"),
                 QStringList{QStringLiteral("CN202720270101")});
        QCOMPARE(f.value("SELECT op_user FROM list_hscode WHERE code = '0101'"), QStringLiteral("HS2022"));
        // 010130 no longer has one unit for all its lines (千克 and 只).
        QCOMPARE(f.value("SELECT coalesce(unit, '<null>') FROM list_hscode WHERE code = '010130'"), QStringLiteral("<null>"));
        QCOMPARE(f.value("SELECT coalesce(unit, '<null>') FROM list_jmwcode WHERE jmw_code = '010130'"), QStringLiteral("<null>"));
        QCOMPARE(f.value("SELECT flag FROM list_hscode WHERE code = '02'"), QStringLiteral("N"));
        QCOMPARE(f.value("SELECT note FROM user_note WHERE code = '0101290090'"), QStringLiteral("客户常报"));

        // The user changes a chapter choice after the import; undo keeps that choice.
        QVERIFY(TestDatabase::exec(f.db, QStringLiteral("UPDATE list_hscode SET flag = 'N' WHERE code = '01'")));
        const EditionUndo::Result undone = EditionUndo::restoreNewest(&f.sqlca, f.db);
        QVERIFY2(undone.ok, qPrintable(undone.message));
        QVERIFY(EditionBackups(f.db).list().isEmpty());
        QCOMPARE(f.value("SELECT flag FROM list_hscode WHERE code = '01'"), QStringLiteral("N"));
        QVERIFY(TestDatabase::exec(f.db, QStringLiteral("UPDATE list_hscode SET flag = 'Y' WHERE code = '01'")));
        QCOMPARE(f.lists(), original);
        QCOMPARE(f.value("SELECT note FROM user_note WHERE code = '0101290090'"), QStringLiteral("客户常报"));
        QVERIFY(!EditionUndo::restoreNewest(&f.sqlca, f.db).ok); // nothing left to undo
    }

    // A changed WCO list: a heading renamed, a subheading with customs lines and a note
    // replaced by another, a heading moved into a machinery section, chapter 77 (which the
    // customs list lacks) and chapter 98 (customs lines of one unit) added. Both lists change;
    // the customs lines, the note and the chapter choices stay; undo puts all back.
    void appliesAndUndoesTradeEdition()
    {
        Fixture f;
        QVERIFY(f.open());
        QVERIFY(f.readTrade(TestEnv::readFile(kTrade)));
        QCOMPARE(f.file.tradeCodes.size(), 6936);
        QVERIFY2(f.comparison.isEmpty(), qPrintable(ChangeReport::summary(f.comparison)));

        tariff::NotesStore notes(&f.sqlca);
        QVERIFY(notes.save(QStringLiteral("jmw"), QStringLiteral("010121"), QStringLiteral("常用子目"), {}).ok());
        QVERIFY(TestDatabase::exec(f.db, QStringLiteral("UPDATE list_hscode SET flag = 'N' WHERE code = '02';"
                                                        "UPDATE list_jmwcode SET flag = 'N' WHERE jmw_code = '03'")));
        const QStringList original = f.lists();
        QByteArray edition = TestEnv::readFile(kTrade);
        edition.replace("mules and hinnies; live\",01,4", "mules and hinnies; live (2027)\",01,4")
            .replace("I,010121,\"Horses; live, pure-bred breeding animals\",0101,6", "I,010122,Horses; other,0101,6")
            .replace("I,0102,Bovine", "XVI,0102,Bovine");
        edition += "XV,77,Reserved,TOTAL,2\nXV,7701,Other base metals,77,4\n"
                   "XXI,98,Special,TOTAL,2\nXXI,9802,Currency,98,4\nXXI,980200,Currency in circulation,9802,6\n";
        QVERIFY(f.readTrade(edition));
        const EditionComparison &c = f.comparison;
        QCOMPARE(c.count(CodeList::ForeignTrade, ChangeKind::Added), 4);
        QCOMPARE(c.count(CodeList::Customs, ChangeKind::Added), 4);
        for (CodeList list : {CodeList::ForeignTrade, CodeList::Customs}) {
            QCOMPARE(c.count(list, ChangeKind::Removed), 1);
            QCOMPARE(c.count(list, ChangeKind::Renamed), 1);
        }
        QCOMPARE(c.count(CodeList::ForeignTrade, ChangeKind::Machinery), 1);
        QCOMPARE(c.newChapters, (QStringList{QStringLiteral("77"), QStringLiteral("98")}));
        QCOMPARE(c.unnamedChapters, QStringList{QStringLiteral("77")});
        QCOMPARE(c.tradeRemovedWithNotes, QStringList{QStringLiteral("010121")});
        QCOMPARE(c.linesWithoutSubheading, (QStringList{QStringLiteral("0101210010"), QStringLiteral("0101210090")}));
        const QString summary = ChangeReport::summary(c);
        QVERIFY2(summary.contains(QStringLiteral("外经贸商品编码：新增 4 个编码，删除 1 个，名称变更 1 个，机电标志变更 1 个"))
                     && summary.contains(QStringLiteral("海关商品编码的品目和子目：新增 4 个，删除 1 个，名称变更 1 个"))
                     && summary.contains(QStringLiteral("0101210010")),
                 qPrintable(summary));

        const EditionApplier::Result applied = f.apply(QStringLiteral("HS2027"));
        QVERIFY2(applied.ok, qPrintable(applied.message));
        QCOMPARE(EditionBackups(f.db).list().size(), 1);
        for (const char *table : {"list_hscode WHERE code", "list_jmwcode WHERE jmw_code"}) {
            const auto row = [&](const char *code) {
                return f.value(QStringLiteral("SELECT coalesce(name, '<null>') || '|' || coalesce(unit, '<null>') "
                                              "|| '|' || coalesce(flag, '-') FROM %1 = '%2'")
                                   .arg(QLatin1String(table), QLatin1String(code)));
            };
            QCOMPARE(row("0101"), QStringLiteral("Horses, asses, mules and hinnies; live (2027)|千克|-"));
            QCOMPARE(row("010121"), QString());
            QCOMPARE(row("010122"), QStringLiteral("Horses; other|<null>|-"));
            QCOMPARE(row("980200"), QStringLiteral("Currency in circulation|千克|-"));
            QCOMPARE(row("77"), QStringLiteral("<null>|<null>|Y"));
        }
        QCOMPARE(f.value("SELECT name || flag || m_flag FROM list_jmwcode WHERE jmw_code = '98'"),
                 QStringLiteral("特殊贸易方式进出口货物YN"));
        QCOMPARE(f.value("SELECT m_flag FROM list_jmwcode WHERE jmw_code = '0102'"), QStringLiteral("Y"));
        QCOMPARE(f.rows("SELECT DISTINCT op_user || op_date FROM list_hscode WHERE length(code) IN (4, 6)"),
                 QStringList{QStringLiteral("HS202720270101")});
        QCOMPARE(f.rows("SELECT DISTINCT op_user FROM list_hscode WHERE length(code) = 10"),
                 QStringList{QStringLiteral("CN2026")});
        QCOMPARE(f.value("SELECT count(*) FROM list_hscode WHERE code LIKE '010121%'"), QStringLiteral("2"));
        QCOMPARE(f.value("SELECT flag FROM list_hscode WHERE code = '02'"), QStringLiteral("N"));
        QCOMPARE(f.value("SELECT flag FROM list_jmwcode WHERE jmw_code = '03'"), QStringLiteral("N"));

        const EditionUndo::Result undone = EditionUndo::restoreNewest(&f.sqlca, f.db);
        QVERIFY2(undone.ok, qPrintable(undone.message));
        QCOMPARE(f.lists(), original);
        QCOMPARE(f.value("SELECT note FROM user_note WHERE list = 'jmw' AND code = '010121'"), QStringLiteral("常用子目"));
    }

    // Four imports keep the three newest copies; each undo goes one edition further back.
    void keepsThreeBackupsAndUndoesInOrder()
    {
        Fixture f;
        QVERIFY(f.open(true));
        for (int n = 1; n <= 4; ++n) {
            QVERIFY(f.read(smallEdition(QStringLiteral("名称%1").arg(n)), false));
            QVERIFY(f.apply(QStringLiteral("E%1").arg(n), n).ok);
        }
        const QStringList backups = EditionBackups(f.db).list();
        QCOMPARE(backups.size(), EditionBackups::kKept);
        QVERIFY(backups.first().endsWith(QStringLiteral("-090004")));
        QVERIFY(backups.last().endsWith(QStringLiteral("-090002")));
        const QString name = QStringLiteral("SELECT name || op_user FROM list_hscode WHERE code = '0101210010'");
        QCOMPARE(f.value(name), QStringLiteral("名称4E4"));
        for (const char *expected : {"名称3E3", "名称2E2", "名称1E1"}) {
            QVERIFY(EditionUndo::restoreNewest(&f.sqlca, f.db).ok);
            QCOMPARE(f.value(name), QString::fromUtf8(expected));
        }
    }

    // A database another program holds, or one that refuses writes, at the moment of applying:
    // nothing changes, no backup is left, and a retry goes through.
    void lockedOrReadOnlyDatabase_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::newRow("locked by another program") << true;
        QTest::newRow("read-only") << false;
    }
    void lockedOrReadOnlyDatabase()
    {
        QFETCH(bool, locked);
        Fixture f;
        QVERIFY(f.open(true));
        QVERIFY(f.read(smallEdition(QStringLiteral("新名称")), false));
        const QStringList before = f.lists();
        {
            std::unique_ptr<ForeignLock> lock;
            if (locked) {
                lock = std::make_unique<ForeignLock>(f.db);
                QVERIFY(lock->locked());
            } else {
                // Root writes any file; the engine's own switch refuses writes as a read-only file does.
                QCOMPARE(f.sqlca.execute(QStringLiteral("PRAGMA query_only = ON")), 0);
            }
            const EditionApplier::Result failed = f.apply(QStringLiteral("CN2027"));
            QVERIFY(!failed.ok);
            QVERIFY(!failed.message.isEmpty());
            QVERIFY(failed.backup.isEmpty());
        }
        if (!locked)
            QCOMPARE(f.sqlca.execute(QStringLiteral("PRAGMA query_only = OFF")), 0);
        QCOMPARE(f.lists(), before);
        QVERIFY(EditionBackups(f.db).list().isEmpty());
        QVERIFY(QDir(f.env.workDir()).entryList({QStringLiteral("*.part")}).isEmpty());

        const EditionApplier::Result retried = f.apply(QStringLiteral("CN2027"));
        QVERIFY2(retried.ok, qPrintable(retried.message));
        QCOMPARE(f.value("SELECT name FROM list_hscode WHERE code = '0101210010'"), QStringLiteral("新名称"));
    }

    // A WCO list that drops a subheading leaves its customs lines under the heading; one that
    // drops the heading too (HS 2017 had no 0309) leaves them under the chapter: the summary
    // says which, as the trees nest a code under its longest prefix that stays.
    void orphanedLinesGoUnderTheLongestPrefix_data()
    {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<QStringList>("underHeading");
        QTest::addColumn<QStringList>("underChapter");
        QTest::newRow("subheading 030910") << QStringList{"I,030910,"} << QStringList{"0309100010", "0309100090"}
                                           << QStringList();
        QTest::newRow("heading 0309 with its subheadings")
            << QStringList{"I,0309,", "I,030910,", "I,030990,"} << QStringList()
            << QStringList{"0309100010", "0309100090", "0309900010", "0309900090"};
    }
    void orphanedLinesGoUnderTheLongestPrefix()
    {
        QFETCH(QStringList, dropped);
        QFETCH(QStringList, underHeading);
        QFETCH(QStringList, underChapter);
        Fixture f;
        QVERIFY(f.open());
        QList<QByteArray> rows = TestEnv::readFile(kTrade).split('\n');
        rows.removeIf([&](const QByteArray &row) {
            return std::any_of(dropped.cbegin(), dropped.cend(), [&](const QString &d) { return row.startsWith(d.toUtf8()); });
        });
        QVERIFY(f.readTrade(rows.join('\n')));
        QCOMPARE(f.comparison.linesWithoutSubheading, underHeading);
        QCOMPARE(f.comparison.linesUnderChapter, underChapter);
        const QString summary = ChangeReport::summary(f.comparison);
        QCOMPARE(summary.contains(QStringLiteral("显示在其品目之下：") + underHeading.value(0)), !underHeading.isEmpty());
        QCOMPARE(summary.contains(QStringLiteral("显示在其章之下：") + underChapter.value(0)), !underChapter.isEmpty());
    }

    // Which edition is older: the years in the names, else the dates.
    void olderEditions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("date");
        QTest::addColumn<bool>("older");
        QTest::newRow("HS2017 over HS2022") << "HS2017" << "20270101" << true;
        QTest::newRow("HS2027 over HS2022") << "HS2027" << "20200101" << false;
        QTest::newRow("same year, earlier date") << "HS2022" << "20220101" << true;
        QTest::newRow("same year, later date") << "HS2022" << "20250101" << false;
        QTest::newRow("no year, earlier date") << "WCO" << "20200101" << true;
        QTest::newRow("no year, no date") << "WCO" << "" << false;
        QTest::newRow("a number that is no year") << "HS12345" << "20300101" << false;
    }
    void olderEditions()
    {
        QFETCH(QString, name);
        QFETCH(QString, date);
        QFETCH(bool, older);
        // What the bundled database's headings carry (the dialog's tests read it there).
        const EditionStamp current{QStringLiteral("HS2022"), QStringLiteral("20241025")};
        QCOMPARE(EditionStamp::isOlder({name, date}, current), older);
    }

    void refusesEditionNames_data()
    {
        QTest::addColumn<QString>("edition");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("CN2027") << "CN2027" << true;
        QTest::newRow("nine characters") << "CN2027-01" << true;
        QTest::newRow("ten characters") << "CN2027-011" << false;
        QTest::newRow("empty") << "  " << false;
    }
    void refusesEditionNames()
    {
        QFETCH(QString, edition);
        QFETCH(bool, accepted);
        QCOMPARE(EditionApplier::checkEdition(edition).isEmpty(), accepted);
    }

    // The list the user exports: a header and one row per change, values with commas and
    // quotes kept whole.
    void exportsTheList()
    {
        const QVector<Change> changes{
            {QStringLiteral("0101210090"), ChangeKind::Renamed, int(Field::Name), QStringLiteral("马,驴"),
             QStringLiteral("\"良种\"马"), false},
            {QStringLiteral("0101290090"), ChangeKind::Removed, -1, QStringLiteral("其他马"), QString(), true},
            {QStringLiteral("0102"), ChangeKind::Machinery, -1, QStringLiteral("N"), QStringLiteral("Y"), false,
             CodeList::ForeignTrade}};
        const QByteArray csv = ChangeReport::toCsv(changes);
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(QString::fromUtf8(csv.mid(3)).split(QStringLiteral("\r\n")),
                 (QStringList{QStringLiteral("编码,编码表,类别,字段,原值,新值,备注"),
                              QStringLiteral("0101210090,海关,名称变更,名称,\"马,驴\",\"\"\"良种\"\"马\","),
                              QStringLiteral("0101290090,海关,删除,整行,其他马,,有用户备注（保留，属于已删除的编码）"),
                              QStringLiteral("0102,外经贸,机电标志变更,机电标志,N,Y,"), QString()}));
        const QStringList text = QString::fromUtf8(ChangeReport::toText(changes)).split(u'\n');
        QCOMPARE(text.value(1), QStringLiteral("0101210090\t海关\t名称变更\t名称\t马,驴\t\"良种\"马\t"));
    }
};

KIV_TEST_GUILESS_MAIN(tst_EditionImport)
#include "tst_editionimport.moc"
