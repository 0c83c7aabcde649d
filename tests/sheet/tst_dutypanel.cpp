#include "TestEnv.h"
#include "TypeText.h"
#include "core/runtime/ProfileStrings.h"
#include "support/TestMain.h"
#include "ui/sheet/DutyPanel.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using sheet::DutyPanel;

namespace {

tariff::TariffRecord watchLine()
{
    tariff::TariffRecord r;
    r.code = QStringLiteral("9102210090");
    r.name = QStringLiteral("其他自动上弦的机械手表");
    r.unit1 = QStringLiteral("只");
    r.unit2 = QStringLiteral("千克");
    r.mfnRate = QStringLiteral("11%");
    r.generalRate = QStringLiteral("80%");
    r.vatRate = QStringLiteral("13%");
    r.consumptionTax = QStringLiteral("完税价大于等于10000元：20%，完税价小于10000元：0。");
    r.exportRebate = QStringLiteral("9%,13%");
    return r;
}


} // namespace

class tst_DutyPanel : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_profile = m_env->path(QStringLiteral("velquor_kiv.ini"));
        m_panel = std::make_unique<DutyPanel>(m_profile);
        m_panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
    }
    void cleanup()
    {
        m_panel.reset();
        m_env.reset();
    }

    // The figures follow every key: a watch of 15,000 yuan a piece pays 20% consumption tax.
    void typedFiguresGiveTheTaxes()
    {
        m_panel->setRecord(watchLine(), true);
        QLineEdit *pieces = m_panel->quantityField(QStringLiteral("只"));
        QVERIFY(pieces);
        QVERIFY(!m_panel->quantityField(QStringLiteral("千克"))); // no rate needs kilograms
        typeText(m_panel->sle_value, QStringLiteral("30,000"));
        QVERIFY(m_panel->mle_import->toPlainText().contains(QStringLiteral("缺少数量（只）")));
        typeText(pieces, QStringLiteral("2"));
        const QString text = m_panel->mle_import->toPlainText();
        // 30000 × 11% = 3300; (30000 + 3300) ÷ 0.8 × 20% = 8325; (30000 + 3300 + 8325) × 13% = 5411.25
        QVERIFY2(text.contains(QStringLiteral("关税（11%）: 3300.00 元")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral(": 8325.00 元")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("增值税（13%）: 5411.25 元")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("合计: 17036.25 元")), qPrintable(text));

        // The general rate: 30000 × 80% = 24000.
        m_panel->cbx_origin->setCurrentIndex(1);
        QVERIFY(m_panel->mle_import->toPlainText().contains(QStringLiteral("关税（80%）: 24000.00 元")));
        QCOMPARE(m_panel->quantityField(QStringLiteral("只"))->text(), QStringLiteral("2")); // kept
    }

    void badFieldsAreMarkedNotComputed_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters") << "12元" << "完税价格：不是数字";
        QTest::newRow("negative") << "-100" << "完税价格：不能为负数";
        QTest::newRow("empty") << "" << "完税价格：未填写";
        QTest::newRow("huge") << "99999999999999999" << "完税价格：数值过大";
    }
    void badFieldsAreMarkedNotComputed()
    {
        QFETCH(QString, value);
        QFETCH(QString, message);
        m_panel->setRecord(watchLine(), true);
        typeText(m_panel->sle_value, value);
        QCOMPARE(m_panel->mle_import->toPlainText(), message);
        QCOMPARE(m_panel->sle_value->toolTip().isEmpty(), false);
        typeText(m_panel->sle_value, QStringLiteral("１０００")); // full-width digits are a number
        QVERIFY(m_panel->sle_value->toolTip().isEmpty());
        QVERIFY(m_panel->mle_import->toPlainText().contains(QStringLiteral("完税价格: 1000.00 元")));
    }

    // A foreign currency's rate is the user's own, kept for the next time; nought is refused.
    void exchangeRateIsKeptPerCurrency()
    {
        m_panel->setRecord(watchLine(), true);
        QVERIFY(!m_panel->sle_rate->isEnabled()); // yuan
        m_panel->cbx_currency->setCurrentIndex(m_panel->cbx_currency->findText(QStringLiteral("USD 美元")));
        QVERIFY(m_panel->sle_rate->isEnabled());
        QVERIFY(m_panel->sle_rate->text().isEmpty());
        typeText(m_panel->sle_value, QStringLiteral("100"));
        typeText(m_panel->sle_rate, QStringLiteral("0"));
        QVERIFY(m_panel->mle_import->toPlainText().contains(QStringLiteral("汇率：必须大于0")));
        typeText(m_panel->sle_rate, QStringLiteral("7.1"));
        QTest::keyClick(m_panel->sle_rate, Qt::Key_Tab);
        QCOMPARE(runtime::profileString(m_profile, QStringLiteral("duty"), QStringLiteral("rate_USD"), {}),
                 QStringLiteral("7.1"));
        QVERIFY(m_panel->mle_import->toPlainText().contains(QStringLiteral("完税价格: 710.00 元")));

        DutyPanel again(m_profile);
        again.cbx_currency->setCurrentIndex(again.cbx_currency->findText(QStringLiteral("USD 美元")));
        QCOMPARE(again.sle_rate->text(), QStringLiteral("7.1"));
    }

    void exportAndCopy()
    {
        m_panel->setRecord(watchLine(), true);
        QCOMPARE(m_panel->cbx_rebate->count(), 2);
        m_panel->cbx_rebate->setCurrentIndex(1);
        typeText(m_panel->sle_purchase, QStringLiteral("4000"));
        QVERIFY(m_panel->mle_export->toPlainText().contains(QStringLiteral("出口退税（13%）: 520.00 元")));
        typeText(m_panel->sle_fob, QStringLiteral("5000"));
        QVERIFY(m_panel->mle_export->toPlainText().contains(QStringLiteral("不征出口关税")));
        QTest::mouseClick(m_panel->cb_copyresult, Qt::LeftButton);
        const QString copied = QGuiApplication::clipboard()->text();
        QVERIFY(copied.startsWith(QStringLiteral("9102210090  其他自动上弦的机械手表")));
        QVERIFY(copied.contains(QStringLiteral("520.00")));
    }

    void onlyTenDigitLines()
    {
        tariff::TariffRecord heading;
        heading.code = QStringLiteral("9102");
        m_panel->setRecord(heading, false);
        QVERIFY(!m_panel->sle_value->isEnabled());
        QVERIFY(m_panel->st_state->text().contains(QStringLiteral("10位")));
        QVERIFY(m_panel->resultText().isEmpty());
    }

private:
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<DutyPanel> m_panel;
    QString m_profile;
};

KIV_TEST_MAIN(tst_DutyPanel)
#include "tst_dutypanel.moc"
