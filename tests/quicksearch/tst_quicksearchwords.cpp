// The search field with the program's dictionaries, as the user meets it: everyday names and
// typos typed key by key, the line saying why it is there, and a bad dictionary named in a
// message while the field still searches.
#include "core/quicksearch/ResultModel.h"
#include "support/SearchFieldProgram.h"
#include "support/TestMain.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/quicksearch/QuickSearchController.h"
#include "ui/quicksearch/QuickSearchField.h"

#include <QFile>
#include <QtTest>

namespace {
const char *kRows =
    "INSERT INTO list_hscode(code, name, flag) VALUES"
    " ('33', '精油及香膏；芳香料制品及化妆盥洗品', 'Y'), ('3304910090', '其他粉状化妆品,不论是否压紧', NULL),"
    " ('84', '核反应堆、锅炉、机器、机械器具及其零件', 'Y'),"
    " ('8421219900', '其他净化装置', NULL),"
    " ('85', '电机、电气设备及其零件', 'Y'), ('8507600090', '其他锂离子蓄电池', NULL),"
    " ('8517130000', '智能手机', NULL), ('70', '玻璃及其制品', 'Y'),"
    " ('7003190002', '手机或平板电脑盖板（包括前盖、后盖）用原板玻璃', NULL);"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, flag) VALUES ('85', 'N', '电机、电气设备及其零件', 'Y');";

struct Program : SearchFieldProgram {
    bool startWithIndex() { return SearchFieldProgram::startWithIndex(QString::fromUtf8(kRows)); }
    void type(const QString &text)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        // ASCII by its key code, a Chinese character as the text an input method commits.
        for (QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(search->field, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::KeyAction::Click, search->field, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
        }
    }
    QString row(int n, int role) const { return search->results->index(n, 0).data(role).toString(); }
    bool writeDictionary(const char *name, const QByteArray &content)
    {
        QFile file(env.path(QString::fromLatin1(name)));
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
    }
};
} // namespace

class tst_QuickSearchWords : public QObject
{
    Q_OBJECT
private slots:
    void theLineSaysWhy_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("reason");
        QTest::newRow("everyday name") << "充电宝" << "8507600090" << "充电宝 → 锂离子蓄电池";
        QTest::newRow("english everyday name") << "power bank" << "8507600090" << "power bank → 锂离子蓄电池";
        QTest::newRow("typo of the same sound") << "化装品" << "3304910090" << "按读音：化妆品";
        QTest::newRow("words without blanks") << "锂离子电池" << "8507600090" << "";
        QTest::newRow("the phone before its glass") << "手机" << "8517130000" << "";
    }
    void theLineSaysWhy()
    {
        QFETCH(QString, input);
        QFETCH(QString, first);
        QFETCH(QString, reason);
        Program program;
        QVERIFY(program.startWithIndex());
        QVERIFY2(program.recorder.texts().isEmpty(), qPrintable(program.recorder.texts().join(u'\n')));
        program.type(input);
        QCOMPARE(program.row(0, quicksearch::ResultModel::CodeRole), first);
        QCOMPARE(program.row(0, quicksearch::ResultModel::ReasonRole), reason);
        // A screen reader hears the reason with the line.
        const QString spoken = program.row(0, Qt::AccessibleTextRole);
        QVERIFY2(reason.isEmpty() ? !spoken.contains(u'（') : spoken.endsWith(u'（' + reason + u'）'),
                 qPrintable(spoken));
    }

    void aBadDictionaryIsNamedAndTheFieldStillSearches_data()
    {
        QTest::addColumn<QByteArray>("everyday");
        QTest::addColumn<bool>("emptyWords");
        QTest::addColumn<QString>("message");
        QTest::newRow("a line of one field") << QByteArray("充电宝\t锂离子蓄电池\n手机 智能手机\n") << false
                                             << "搜索词典 everyday_names.txt 第 2 行：应为两栏";
        QTest::newRow("not UTF-8") << QByteArray("\xb3\xe4\xb5\xe7\xb1\xa6\t\xef") << false
                                   << "搜索词典 everyday_names.txt 不是 UTF-8 编码的文本";
        QTest::newRow("word list empty") << QByteArray("充电宝\t锂离子蓄电池\n") << true
                                         << "搜索词典 words.txt 是空的";
    }
    void aBadDictionaryIsNamedAndTheFieldStillSearches()
    {
        QFETCH(QByteArray, everyday);
        QFETCH(bool, emptyWords);
        QFETCH(QString, message);
        Program program;
        QVERIFY(program.writeDictionary("everyday_names.txt", everyday));
        // In the folder the program runs in, before those beside the executable.
        if (emptyWords)
            QVERIFY(program.writeDictionary("words.txt", "# no words\n"));
        QVERIFY(program.startWithIndex());
        QCOMPARE(program.recorder.texts().size(), 1);
        QVERIFY2(program.recorder.texts().front().contains(message), qPrintable(program.recorder.texts().front()));
        program.type(QStringLiteral("智能手机"));
        QCOMPARE(program.row(0, quicksearch::ResultModel::CodeRole), QStringLiteral("8517130000"));
        // Once a session: the next index (a note changed) does not ask again.
        QSignalSpy ready(program.search, &QuickSearchController::indexReady);
        program.search->rebuild();
        QVERIFY(ready.wait(10000));
        QCOMPARE(program.recorder.texts().size(), 1);
    }
};

KIV_TEST_MAIN(tst_QuickSearchWords)
#include "tst_quicksearchwords.moc"
