// Chinese names of headings and subheadings brought by a customs import's chapters file, and
// notes on codes an import removed: what the user sees of both after the import.
#include "core/edition/ChangeReport.h"
#include "core/edition/DatabaseSnapshot.h"
#include "core/edition/EditionApplier.h"
#include "core/edition/EditionComparison.h"
#include "core/edition/EditionReader.h"
#include "core/edition/EditionUndo.h"
#include "core/export/ExportSource.h"
#include "core/quicksearch/ResultModel.h"
#include "core/runtime/Transaction.h"
#include "core/runtime/TreeModel.h"
#include "core/tariff/NotesStore.h"
#include "support/RunningProgram.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/quicksearch/QuickSearchController.h"
#include "ui/quicksearch/QuickSearchField.h"
#include "ui/quicksearch/QuickSearchPopup.h"
#include "ui/sheet/w_sheet.h"
#include "ui/tree/u_tv.h"

#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

using namespace edition;

namespace {

const char *kRows =
    "INSERT INTO list_hscode(code, zhcmcode, cpcode, name, unit, flag) VALUES"
    " ('01', NULL, NULL, '活动物', NULL, 'Y'),"
    " ('0101', NULL, NULL, 'Horses, asses, mules and hinnies; live', '千克', NULL),"
    " ('010121', NULL, NULL, 'Horses; live, pure-bred breeding animals', '千克', NULL),"
    " ('0102', NULL, NULL, 'Bovine animals; live', '千克', NULL),"
    " ('010221', NULL, NULL, 'Cattle; live, pure-bred breeding animals', '千克', NULL),"
    " ('0101210010', '01012100', '010121', '改良种用濒危野马', '千克', NULL),"
    " ('0101210090', '01012100', '010121', '改良种用马', '千克', NULL),"
    " ('0102210010', '01022100', '010221', '改良种用濒危野牛', '千克', NULL);"
    "INSERT INTO tariff_line (code) VALUES ('0101210010'), ('0101210090'), ('0102210010');"
    "INSERT INTO tariff_chapter VALUES ('01', '第1章 活动物', 3);"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, flag) VALUES ('01', 'N', '活动物', 'Y'),"
    " ('0101', 'N', 'Horses, asses, mules and hinnies; live', NULL),"
    " ('010121', 'N', 'Horses; live, pure-bred breeding animals', NULL),"
    " ('0102', 'N', 'Bovine animals; live', NULL), ('010221', 'N', 'Cattle; live, pure-bred breeding animals', NULL);";

const QByteArray kLine1 = "0101210010,01012100,010121,0101,01,改良种用濒危野马,千克,头,0%,,0%,9%,0%,0%,,,AFEB,P/Q,1:品牌类型";
const QByteArray kLine2 = "0101210090,01012100,010121,0101,01,改良种用马,千克,头,0%,,0%,9%,0%,9%,,,AB,P/Q,1:品牌类型";
const QByteArray kLine3 = "0102210010,01022100,010221,0102,01,改良种用濒危野牛,千克,头,0%,,0%,9%,0%,0%,,,AFEB,P/Q,1:品牌类型";

// The tariff book's names, as a user adds them to the chapters file.
QByteArray chapters(int lines)
{
    return "chapter,label_cn,name_cn,item_count\n01,第1章 活动物,活动物," + QByteArray::number(lines)
           + "\n0101,,马、驴、骡,\n010121,,改良种用马,\n0102,,牛,\n";
}

QByteArray customsLines(const QList<QByteArray> &lines)
{
    const QByteArray header = TestEnv::readFile(QStringLiteral(KIV_SOURCE_DIR "/db/cn_hscode_2026.csv")).split('\n').first();
    return header + '\n' + lines.join('\n') + '\n';
}

// A WCO list that renames heading 0101 and drops heading 0102 with its subheading.
const QByteArray kWcoList = "section,hscode,description,parent,level\n"
                            "I,01,Animals; live,TOTAL,2\n"
                            "I,0101,\"Horses, asses and mules; live\",01,4\n"
                            "I,010121,\"Horses; live, pure-bred breeding animals\",0101,6\n";

// Reads, compares and applies an edition on a database file as 导入商品编码表 does.
struct Import {
    runtime::Transaction sqlca;
    EditionFile file;
    DatabaseSnapshot snapshot;
    EditionComparison comparison;

    explicit Import(const QString &db)
    {
        sqlca.dbParm = QStringLiteral("Connectstring='%1'").arg(TestEnv::directConnectString(db));
        sqlca.autoCommit = false;
        sqlca.connect();
    }
    ~Import() { sqlca.disconnect(); }
    runtime::Transaction *connection() { return &sqlca; }

    bool read(const TestEnv &env, const QByteArray &list, const QByteArray &chaptersFile = {})
    {
        const QString path = env.path(QStringLiteral("edition.csv"));
        const QString chaptersPath = chaptersFile.isEmpty() ? QString() : env.path(QStringLiteral("chapters.csv"));
        ReadError error;
        QString dbError;
        if (!TestEnv::writeFile(path, list) || (!chaptersPath.isEmpty() && !TestEnv::writeFile(chaptersPath, chaptersFile))
            || !EditionReader::read(path, chaptersPath, std::nullopt, &file, &error)
            || !DatabaseSnapshot::read(&sqlca, &snapshot, &dbError)) {
            qWarning() << error.text() << dbError;
            return false;
        }
        comparison = EditionComparison::compare(file, snapshot);
        return true;
    }
    bool apply(const QString &db, int second)
    {
        const EditionApplier::Options options{QStringLiteral("CN2027"), QDate(2027, 1, 1),
                                              QDateTime(QDate(2027, 1, 1), QTime(9, 0, second))};
        const auto result = EditionApplier::apply(&sqlca, db, file, snapshot, comparison, options);
        if (!result.ok)
            qWarning() << result.message;
        return result.ok;
    }
};

bool importCustoms(const TestEnv &env, const QString &db, const QList<QByteArray> &lines)
{
    Import import(db);
    return import.read(env, customsLines(lines), chapters(int(lines.size()))) && import.apply(db, 0);
}

struct Program : RunningProgram {
    QuickSearchController *search = nullptr;
    bool startWithIndex()
    {
        if (!start())
            return false;
        search = QuickSearchController::of(window.get());
        return search && QTest::qWaitFor([this] { return search->isIndexReady(); });
    }
    QString label(const QString &code) const
    {
        runtime::TreeItem item;
        window->tv_1->getItem(handleOf(code), item);
        return item.label;
    }
    // Ctrl+F, then the text: letters and digits as keys, Chinese as an input method commits it.
    void type(const QString &text)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(search->field, char(c.unicode()));
                continue;
            }
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(search->field, &commit);
        }
    }
    QVariant first(int role) const { return search->results->index(0, 0).data(role); }
};

} // namespace

class tst_HeadingNames : public QObject
{
    Q_OBJECT
private slots:
    void chineseNamesShowInTreeSheetSearchAndExport()
    {
        Program p;
        QVERIFY(p.makeDatabase(QString::fromUtf8(kRows)));
        QVERIFY(importCustoms(p.env, p.file, {kLine1, kLine2, kLine3}));
        // Kept beside the customs list, whose WCO text stays as it was.
        QCOMPARE(TestDatabase::column(p.file, QStringLiteral("SELECT name FROM list_hscode WHERE code = '0101'")),
                 QStringList{QStringLiteral("Horses, asses, mules and hinnies; live")});
        QVERIFY(p.startWithIndex());
        QCOMPARE(p.label(QStringLiteral("0101")), QStringLiteral("[0101]马、驴、骡"));
        QCOMPARE(p.label(QStringLiteral("010121")), QStringLiteral("[010121]改良种用马"));
        QCOMPARE(p.label(QStringLiteral("010221")), QStringLiteral("[010221]Cattle; live, pure-bred breeding animals"));

        p.window->tv_1->selectItem(p.handleOf(QStringLiteral("010121")));
        QTest::keyClick(p.window->tv_1, Qt::Key_F6);
        QVERIFY(QTest::qWaitFor([] { return w_sheet::openInstance() && w_sheet::openInstance()->isVisible(); }));
        const auto &content = w_sheet::openInstance()->content();
        QVERIFY(content);
        QCOMPARE(content->name, QStringLiteral("改良种用马"));
        QCOMPARE(content->groups.value(1).rows.value(1).caption, QStringLiteral("0101"));
        QCOMPARE(content->groups.value(1).rows.value(1).value, QStringLiteral("马、驴、骡"));

        p.window->tv_1->setFocus();
        p.type(QStringLiteral("驴"));
        QCOMPARE(p.first(quicksearch::ResultModel::CodeRole).toString(), QStringLiteral("0101"));
        QCOMPARE(p.first(quicksearch::ResultModel::NameRole).toString(), QStringLiteral("马、驴、骡"));

        kivexport::ExportSource source(p.transaction.get());
        const auto records = source.subtree(QStringLiteral("hs"), QStringLiteral("01"));
        QVERIFY(records);
        QStringList names;
        for (const auto &r : *records)
            names.append(r.code + QLatin1Char(' ') + r.name);
        QCOMPARE(names, (QStringList{QStringLiteral("01 活动物"), QStringLiteral("0101 马、驴、骡"),
                                     QStringLiteral("010121 改良种用马"), QStringLiteral("0101210010 改良种用濒危野马"),
                                     QStringLiteral("0101210090 改良种用马"), QStringLiteral("0102 牛"),
                                     QStringLiteral("010221 Cattle; live, pure-bred breeding animals"),
                                     QStringLiteral("0102210010 改良种用濒危野牛")}));
    }

    void wcoListKeepsRenamedNamesAndDropsRemovedOnes()
    {
        TestEnv env;
        const QString db = env.path(QStringLiteral("K-I-V.db"));
        QVERIFY(TestDatabase::create(db) && TestDatabase::exec(db, QString::fromUtf8(kRows)));
        QVERIFY(importCustoms(env, db, {kLine1, kLine2, kLine3}));
        const QString names = QStringLiteral("SELECT code || ' ' || name FROM heading_name_cn ORDER BY code");
        const QStringList before = TestDatabase::column(db, names);
        QCOMPARE(before.size(), 3);
        {
            Import import(db);
            QVERIFY(import.read(env, kWcoList));
            QCOMPARE(import.comparison.chineseNamesToCheck, QStringList{QStringLiteral("0101")});
            QCOMPARE(import.comparison.chineseNamesDropped, QStringList{QStringLiteral("0102")});
            const QString summary = ChangeReport::summary(import.comparison);
            QVERIFY2(summary.contains(QStringLiteral("请核对中文名称：1 个品目或子目的英文名称已变更，其中文名称保留不变：0101")),
                     qPrintable(summary));
            QVERIFY(import.apply(db, 1));
        }
        QCOMPARE(TestDatabase::column(db, names),
                 (QStringList{QStringLiteral("0101 马、驴、骡"), QStringLiteral("010121 改良种用马")}));
        QCOMPARE(TestDatabase::column(db, QStringLiteral("SELECT name FROM list_hscode WHERE code = '0101'")),
                 QStringList{QStringLiteral("Horses, asses and mules; live")});
        // 恢复上一版本 brings the dropped heading back with its Chinese name.
        QVERIFY(EditionUndo::restoreNewest(Import(db).connection(), db).ok);
        QCOMPARE(TestDatabase::column(db, names), before);
    }

    void noteOnARemovedCodeIsFoundAndShown_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("words of the note") << QStringLiteral("核对证书");
        QTest::newRow("a keyword") << QStringLiteral("特选种马");
        QTest::newRow("the removed code") << QStringLiteral("0101210090");
    }
    void noteOnARemovedCodeIsFoundAndShown()
    {
        QFETCH(QString, typed);
        Program p;
        QVERIFY(p.makeDatabase(QString::fromUtf8(kRows)));
        QVERIFY(tariff::NotesStore(Import(p.file).connection())
                    .save(QStringLiteral("hs"), QStringLiteral("0101210090"), QStringLiteral("客户甲的马，需核对证书"),
                          QStringLiteral("特选种马"))
                    .ok());
        // The next edition drops the noted line; the note stays in the database.
        QVERIFY(importCustoms(p.env, p.file, {kLine1, kLine3}));
        QCOMPARE(TestDatabase::column(p.file, QStringLiteral("SELECT code FROM list_hscode WHERE code = '0101210090'")),
                 QStringList());
        QVERIFY(p.startWithIndex());
        p.type(typed);
        QVERIFY(p.search->popup->isVisible());
        QCOMPARE(p.first(quicksearch::ResultModel::CodeRole).toString(), QStringLiteral("0101210090"));
        QVERIFY(p.first(quicksearch::ResultModel::RemovedRole).toBool());
        QVERIFY(p.first(Qt::AccessibleTextRole).toString().contains(QStringLiteral("（当前版本中已无此编码）")));
        QVERIFY(p.first(Qt::DisplayRole).toString().contains(QStringLiteral("客户甲的马")));

        QTest::keyClick(p.search->field, Qt::Key_Return);
        w_sheet *sheet = w_sheet::openInstance();
        QVERIFY(sheet && sheet->isVisible());
        QVERIFY(!p.search->popup->isVisible());
        QCOMPARE(sheet->content()->code, QStringLiteral("0101210090"));
        QVERIFY(sheet->st_title->text().contains(QStringLiteral("当前版本中已无此编码")));
        // The nearest heading that still exists, by the name the trees show.
        const auto &nearest = sheet->content()->groups.value(1).rows.value(0);
        QCOMPARE(nearest.caption + QLatin1Char(' ') + nearest.value, QStringLiteral("010121 改良种用马"));
        QCOMPARE(sheet->mle_note->toPlainText(), QStringLiteral("客户甲的马，需核对证书"));
        QCOMPARE(sheet->sle_keywords->text(), QStringLiteral("特选种马"));
        QVERIFY(QTest::qWaitFor([sheet] { return QApplication::focusWidget() == sheet->mle_note; }));

        // The next step in the tree brings the sheet back to the tree's codes.
        p.window->tv_1->activateWindow();
        p.window->tv_1->setFocus();
        p.window->tv_1->selectItem(p.handleOf(QStringLiteral("0101210010")));
        QVERIFY(QTest::qWaitFor([sheet] { return sheet->content()->code == QStringLiteral("0101210010"); }));
    }
};

KIV_TEST_MAIN(tst_HeadingNames)
#include "tst_headingnames.moc"
