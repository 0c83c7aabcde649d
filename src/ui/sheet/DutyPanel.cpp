#include "ui/sheet/DutyPanel.h"

#include "core/duty/AmountInput.h"
#include "core/duty/ExportTaxCalculator.h"
#include "core/duty/ImportTaxCalculator.h"
#include "core/duty/TaxReport.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace sheet {

namespace {

using duty::AmountInput;

// Marks a field whose text is not a usable number, with the reason as its tool tip (and its
// accessible description, which a screen reader reads with the field).
AmountInput checked(QLineEdit *field, const QString &caption, QStringList &problems, bool required = true)
{
    AmountInput in = AmountInput::read(field->text());
    const bool bad = !in.ok && (required || !in.empty);
    field->setStyleSheet(bad ? QStringLiteral("background: rgb(255, 225, 225);") : QString());
    field->setToolTip(bad ? in.problem : QString());
    field->setAccessibleDescription(bad ? in.problem : QString());
    if (bad)
        problems << caption + QStringLiteral("：") + in.problem;
    return in;
}

QPlainTextEdit *resultView(QWidget *parent, const char *name, const QString &accessibleName)
{
    auto *v = new QPlainTextEdit(parent);
    v->setObjectName(QString::fromLatin1(name));
    v->setReadOnly(true);
    v->setTabChangesFocus(true);
    v->setAccessibleName(accessibleName);
    v->setMinimumHeight(v->fontMetrics().lineSpacing() * 11);
    return v;
}

} // namespace

DutyPanel::DutyPanel(const QString &profileFile, QWidget *parent)
    : QWidget(parent)
    , m_rates(profileFile)
{
    setObjectName(QStringLiteral("DutyPanel"));
    setAccessibleName(QStringLiteral("税费计算"));
    createControls();
    setRecord({}, false);
}

DutyPanel::~DutyPanel() = default;

void DutyPanel::createControls()
{
    auto *layout = new QVBoxLayout(this);
    st_state = new QLabel(this);
    st_state->setObjectName(QStringLiteral("st_state"));
    st_state->setWordWrap(true);
    layout->addWidget(st_state);

    auto *importBox = new QGroupBox(QStringLiteral("进口税费"), this);
    auto *form = new QFormLayout(importBox);
    sle_value = new QLineEdit(importBox);
    sle_value->setObjectName(QStringLiteral("sle_value"));
    cbx_currency = new QComboBox(importBox);
    cbx_currency->setObjectName(QStringLiteral("cbx_currency"));
    cbx_currency->addItems(duty::ExchangeRates::currencies());
    auto *currencyLabel = new QLabel(QStringLiteral("币制(&U):"), importBox);
    currencyLabel->setBuddy(cbx_currency);
    auto *valueRow = new QHBoxLayout;
    valueRow->addWidget(sle_value, 1);
    valueRow->addWidget(currencyLabel);
    valueRow->addWidget(cbx_currency);
    auto *valueLabel = new QLabel(QStringLiteral("完税价格(&V):"), importBox);
    valueLabel->setBuddy(sle_value);
    form->addRow(valueLabel, valueRow);
    sle_rate = new QLineEdit(importBox);
    sle_rate->setObjectName(QStringLiteral("sle_rate"));
    sle_rate->setPlaceholderText(QStringLiteral("1 外币折合人民币元"));
    auto *rateLabel = new QLabel(QStringLiteral("汇率(&R):"), importBox);
    rateLabel->setBuddy(sle_rate);
    form->addRow(rateLabel, sle_rate);
    cbx_origin = new QComboBox(importBox);
    cbx_origin->setObjectName(QStringLiteral("cbx_origin"));
    cbx_origin->addItems({QStringLiteral("最惠国税率（有暂定税率时用暂定税率）"), QStringLiteral("普通税率")});
    auto *originLabel = new QLabel(QStringLiteral("原产地适用(&O):"), importBox);
    originLabel->setBuddy(cbx_origin);
    form->addRow(originLabel, cbx_origin);
    auto *agreements = new QLabel(QStringLiteral("协定税率、特惠税率不在税则数据中，未计入。"), importBox);
    agreements->setWordWrap(true);
    form->addRow(agreements);
    m_quantities = new QFormLayout;
    form->addRow(m_quantities);
    cbx_leaveout = new QCheckBox(QStringLiteral("合计不含50元以下免征的税额(&X)"), importBox);
    cbx_leaveout->setObjectName(QStringLiteral("cbx_leaveout"));
    cbx_leaveout->setChecked(true);
    form->addRow(cbx_leaveout);
    mle_import = resultView(importBox, "mle_import", QStringLiteral("进口税费结果"));
    form->addRow(mle_import);
    layout->addWidget(importBox, 1);

    auto *exportBox = new QGroupBox(QStringLiteral("出口"), this);
    auto *exportForm = new QFormLayout(exportBox);
    sle_fob = new QLineEdit(exportBox);
    sle_fob->setObjectName(QStringLiteral("sle_fob"));
    auto *fobLabel = new QLabel(QStringLiteral("离岸价格（人民币）(&E):"), exportBox);
    fobLabel->setBuddy(sle_fob);
    exportForm->addRow(fobLabel, sle_fob);
    sle_purchase = new QLineEdit(exportBox);
    sle_purchase->setObjectName(QStringLiteral("sle_purchase"));
    auto *purchaseLabel = new QLabel(QStringLiteral("购进金额（不含增值税）(&P):"), exportBox);
    purchaseLabel->setBuddy(sle_purchase);
    exportForm->addRow(purchaseLabel, sle_purchase);
    cbx_rebate = new QComboBox(exportBox);
    cbx_rebate->setObjectName(QStringLiteral("cbx_rebate"));
    auto *rebateLabel = new QLabel(QStringLiteral("退税率(&B):"), exportBox);
    rebateLabel->setBuddy(cbx_rebate);
    exportForm->addRow(rebateLabel, cbx_rebate);
    mle_export = resultView(exportBox, "mle_export", QStringLiteral("出口税费结果"));
    exportForm->addRow(mle_export);
    layout->addWidget(exportBox);

    cb_copyresult = new QPushButton(QStringLiteral("复制结果(&Y)"), this);
    cb_copyresult->setObjectName(QStringLiteral("cb_copyresult"));
    cb_copyresult->setAutoDefault(false);
    layout->addWidget(cb_copyresult, 0, Qt::AlignLeft);

    for (QLineEdit *e : {sle_value, sle_rate, sle_fob, sle_purchase})
        connect(e, &QLineEdit::textChanged, this, &DutyPanel::recompute);
    connect(sle_rate, &QLineEdit::editingFinished, this, [this] {
        if (currency() != QLatin1String("CNY") && AmountInput::read(sle_rate->text()).ok)
            m_rates.keep(currency(), sle_rate->text().trimmed());
    });
    connect(cbx_currency, &QComboBox::currentIndexChanged, this, &DutyPanel::currencyChanged);
    connect(cbx_origin, &QComboBox::currentIndexChanged, this, [this] {
        rebuildQuantities();
        recompute();
    });
    connect(cbx_leaveout, &QCheckBox::toggled, this, &DutyPanel::recompute);
    connect(cbx_rebate, &QComboBox::currentIndexChanged, this, &DutyPanel::recompute);
    connect(cb_copyresult, &QPushButton::clicked, this, [this] {
        QGuiApplication::clipboard()->setText(resultText());
    });
    currencyChanged();
}

QString DutyPanel::currency() const
{
    return cbx_currency->currentText().section(u' ', 0, 0);
}

void DutyPanel::currencyChanged()
{
    const bool yuan = currency() == QLatin1String("CNY");
    sle_rate->setEnabled(!yuan);
    sle_rate->setText(yuan ? QStringLiteral("1") : m_rates.rate(currency()));
    recompute();
}

void DutyPanel::setRecord(const tariff::TariffRecord &record, bool isTariffLine)
{
    m_record = record;
    m_isLine = isTariffLine && record.code.size() == 10;
    m_import.reset(m_isLine ? new duty::ImportTaxCalculator(record) : nullptr);
    m_export.reset(m_isLine ? new duty::ExportTaxCalculator(record) : nullptr);
    const QString keptRebate = cbx_rebate->currentText();
    cbx_rebate->blockSignals(true);
    cbx_rebate->clear();
    if (m_export)
        cbx_rebate->addItems(m_export->rebateRates());
    // Several rates: the last one chosen stays where the new line offers it too.
    const int kept = cbx_rebate->findText(keptRebate);
    cbx_rebate->setCurrentIndex(kept >= 0 ? kept : 0);
    cbx_rebate->blockSignals(false);
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w != st_state)
            w->setEnabled(m_isLine);
    }
    st_state->setText(m_isLine ? QString() : QStringLiteral("税费计算仅适用于10位海关商品编码。"));
    st_state->setVisible(!m_isLine);
    rebuildQuantities();
    recompute();
}

void DutyPanel::rebuildQuantities()
{
    for (auto it = m_quantityFields.cbegin(); it != m_quantityFields.cend(); ++it)
        m_typedQuantities.insert(it.key(), it.value()->text());
    while (m_quantities->rowCount() > 0)
        m_quantities->removeRow(0);
    m_quantityFields.clear();
    if (!m_import)
        return;
    const auto origin = cbx_origin->currentIndex() == 1 ? duty::Origin::General : duty::Origin::MostFavoured;
    int n = 0;
    for (const QString &unit : m_import->quantityUnits(origin)) {
        auto *field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("sle_quantity_") + unit);
        field->setText(m_typedQuantities.value(unit));
        const QString caption = unit == QLatin1String("片") ? QStringLiteral("片或张") : unit;
        auto *label = new QLabel(QStringLiteral("数量（%1）(&%2):").arg(caption).arg(++n), this);
        label->setBuddy(field);
        m_quantities->addRow(label, field);
        m_quantityFields.insert(unit, field);
        connect(field, &QLineEdit::textChanged, this, &DutyPanel::recompute);
    }
}

void DutyPanel::recompute()
{
    if (!m_import || !m_export) {
        mle_import->clear();
        mle_export->clear();
        return;
    }
    QStringList problems;
    const AmountInput value = checked(sle_value, QStringLiteral("完税价格"), problems);
    const AmountInput rate = checked(sle_rate, QStringLiteral("汇率"), problems);
    if (rate.ok && rate.value.isZero())
        problems << QStringLiteral("汇率：必须大于0");
    duty::ImportInput in;
    in.origin = cbx_origin->currentIndex() == 1 ? duty::Origin::General : duty::Origin::MostFavoured;
    for (auto it = m_quantityFields.cbegin(); it != m_quantityFields.cend(); ++it) {
        const AmountInput q = checked(it.value(), QStringLiteral("数量（%1）").arg(it.key()), problems, false);
        if (q.ok)
            in.quantities.insert(it.key(), q.value);
    }
    if (!problems.isEmpty() || !value.ok || !rate.ok) {
        mle_import->setPlainText(problems.join(u'\n'));
    } else {
        in.customsValue = (value.value * rate.value).roundedToFen();
        const duty::ImportTaxes taxes = m_import->compute(in);
        const QString text = QStringLiteral("完税价格: %1 元\n").arg(duty::yuan(in.customsValue))
               + duty::TaxReport::importText(taxes, cbx_leaveout->isChecked());
        mle_import->setPlainText(text);
    }

    QStringList exportProblems;
    QList<duty::TaxFigure> figures;
    const AmountInput fob = checked(sle_fob, QStringLiteral("离岸价格"), exportProblems, false);
    if (fob.ok)
        figures << m_export->duty(fob.value);
    const AmountInput purchase = checked(sle_purchase, QStringLiteral("购进金额"), exportProblems, false);
    if (purchase.ok)
        figures << m_export->rebate(purchase.value, cbx_rebate->currentIndex());
    const QString exportText = duty::TaxReport::exportText(figures);
    mle_export->setPlainText(exportProblems.isEmpty() ? exportText
                                                      : exportProblems.join(u'\n') + u'\n' + exportText);
}

QString DutyPanel::resultText() const
{
    if (!m_isLine)
        return {};
    QString text = m_record.code + QStringLiteral("  ") + m_record.name + u'\n' + mle_import->toPlainText();
    if (!mle_export->toPlainText().isEmpty())
        text += QStringLiteral("\n出口\n") + mle_export->toPlainText();
    return text;
}

} // namespace sheet
