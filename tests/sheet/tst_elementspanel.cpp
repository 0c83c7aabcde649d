#include "TestEnv.h"
#include "TypeText.h"
#include "core/runtime/Transaction.h"
#include "core/tariff/SpecificationText.h"
#include "support/TestDatabase.h"
#include "support/TestMain.h"
#include "ui/sheet/ElementsPanel.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using sheet::ElementsPanel;

namespace {

const QStringList kElements = {QStringLiteral("品牌类型"), QStringLiteral("出口享惠情况"),
                               QStringLiteral("用途"), QStringLiteral("品牌（中文或外文名称）"),
                               QStringLiteral("型号")};

} // namespace

class tst_ElementsPanel : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_file = m_env->path(QStringLiteral("K-I-V.db"));
        QVERIFY(TestDatabase::create(m_file));
        QVERIFY(TestDatabase::connect(m_sqlca, m_file));
    }
    void cleanup()
    {
        m_sqlca.disconnect();
        m_env.reset();
    }

    void join_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("refused");
        QTest::newRow("all filled") << QStringList{"0", "3", "通讯", "华为", "P70"} << "0|3|通讯|华为|P70" << false;
        QTest::newRow("empty places stay") << QStringList{"0", "", "通讯", "", ""} << "0||通讯||" << false;
        QTest::newRow("blanks trimmed") << QStringList{" 0 ", "3", " a b ", "", ""} << "0|3|a b||" << false;
        QTest::newRow("a bar inside a value") << QStringList{"0", "3", "a|b", "", ""} << "" << true;
        QTest::newRow("a full-width bar") << QStringList{"0", "3", "a｜b", "", ""} << "" << true;
    }
    void join()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, text);
        QFETCH(bool, refused);
        const auto spec = tariff::SpecificationText::join(kElements, values);
        QCOMPARE(spec.text, text);
        QCOMPARE(!spec.problem.isEmpty(), refused);
    }

    // Filled in with the user's keys, copied, and the values are back for the same code.
    void fillCopyAndFindThemAgain()
    {
        auto panel = std::make_unique<ElementsPanel>(&m_sqlca);
        panel->show();
        panel->setLine(QStringLiteral("8517130000"), kElements);
        auto *brand = panel->findChild<QComboBox *>(QStringLiteral("element_1"));
        QVERIFY(brand);
        QCOMPARE(brand->count(), 5);
        QCOMPARE(brand->itemText(3), QStringLiteral("3 境外品牌（贴牌生产）"));
        brand->setFocus();
        for (int i = 0; i < 4; ++i) // from 0 无品牌 down to 4 境外品牌（其他）
            QTest::keyClick(brand, Qt::Key_Down);
        auto *preference = panel->findChild<QComboBox *>(QStringLiteral("element_2"));
        preference->setCurrentIndex(3);
        typeText(panel->field(2), QStringLiteral("通讯"));
        typeText(panel->field(4), QStringLiteral("X1"));
        QCOMPARE(panel->sle_preview->text(), QStringLiteral("4|3|通讯||X1"));

        QTest::mouseClick(panel->cb_copyspec, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("4|3|通讯||X1"));
        QCOMPARE(TestDatabase::column(m_file, QStringLiteral("SELECT element_values FROM element_value")),
                 QStringList{QStringLiteral("4|3|通讯||X1")});

        ElementsPanel next(&m_sqlca);
        next.setLine(QStringLiteral("8517130000"), kElements);
        QCOMPARE(next.values(), (QStringList{"4", "3", "通讯", "", "X1"}));
        next.setLine(QStringLiteral("8517140000"), kElements); // another code starts empty
        QCOMPARE(next.values(), (QStringList{"", "", "", "", ""}));
    }

    void aBarIsRefusedWithAMessage()
    {
        MessageRecorder boxes;
        ElementsPanel panel(&m_sqlca);
        panel.show();
        panel.setLine(QStringLiteral("8517130000"), kElements);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        typeText(panel.field(2), QStringLiteral("a|b"));
        QTest::mouseClick(panel.cb_copyspec, Qt::LeftButton);
        QCOMPARE(boxes.boxes().size(), 1);
        QVERIFY(boxes.texts().first().contains(QStringLiteral("用途")));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QVERIFY(TestDatabase::column(m_file, QStringLiteral("SELECT count(*) FROM element_value")).value(0) == "0"
                || TestDatabase::column(m_file, QStringLiteral("SELECT count(*) FROM element_value")).isEmpty());
    }

    // A database that cannot be written: the text is still copied, and the user is told.
    void aReadOnlyDatabaseStillCopies()
    {
        ElementsPanel panel(&m_sqlca);
        panel.setLine(QStringLiteral("8517130000"), kElements);
        typeText(panel.field(2), QStringLiteral("x"));
        m_sqlca.disconnect();
        QVERIFY(panel.copySpecification());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("||x||"));
        QVERIFY(panel.st_info->text().contains(QStringLiteral("未能记下")));
    }

    void noLineNoFields()
    {
        ElementsPanel panel(&m_sqlca);
        panel.setLine(QString(), {});
        QVERIFY(!panel.cb_copyspec->isEnabled());
        QVERIFY(panel.values().isEmpty());
    }

private:
    std::unique_ptr<TestEnv> m_env;
    QString m_file;
    runtime::Transaction m_sqlca;
};

KIV_TEST_MAIN(tst_ElementsPanel)
#include "tst_elementspanel.moc"
