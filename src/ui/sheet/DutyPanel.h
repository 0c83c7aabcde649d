#pragma once

#include "core/duty/ExchangeRates.h"
#include "core/tariff/TariffRecord.h"

#include <QHash>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
namespace duty {
class ExportTaxCalculator;
class ImportTaxCalculator;
}

namespace sheet {

// 税费计算: the duties and taxes of one 10-digit customs line for the value, quantities and
// origin the user types, updated at every key, with each tax's formula. Exchange rates to
// yuan are the user's own, kept per currency in the profile.
class DutyPanel : public QWidget
{
    Q_OBJECT
public:
    DutyPanel(const QString &profileFile, QWidget *parent = nullptr);
    ~DutyPanel() override;

    // The line to compute; any other record (a heading, a foreign-trade code) disables the panel.
    void setRecord(const tariff::TariffRecord &record, bool isTariffLine);
    // The results as the panel shows them (import, then export), for the clipboard.
    QString resultText() const;

    QLineEdit *sle_value = nullptr;
    QComboBox *cbx_currency = nullptr;
    QLineEdit *sle_rate = nullptr;
    QComboBox *cbx_origin = nullptr;
    QCheckBox *cbx_leaveout = nullptr;
    QPlainTextEdit *mle_import = nullptr;
    QLineEdit *sle_fob = nullptr;
    QLineEdit *sle_purchase = nullptr;
    QComboBox *cbx_rebate = nullptr;
    QPlainTextEdit *mle_export = nullptr;
    QPushButton *cb_copyresult = nullptr;
    QLabel *st_state = nullptr;

    // The quantity field of a unit; nullptr when the line's rates need none in that unit.
    QLineEdit *quantityField(const QString &unit) const { return m_quantityFields.value(unit); }

private:
    void createControls();
    void rebuildQuantities();
    void currencyChanged();
    void recompute();
    QString currency() const;

    duty::ExchangeRates m_rates;
    tariff::TariffRecord m_record;
    bool m_isLine = false;
    std::unique_ptr<duty::ImportTaxCalculator> m_import;
    std::unique_ptr<duty::ExportTaxCalculator> m_export;
    QFormLayout *m_quantities = nullptr;
    QHash<QString, QLineEdit *> m_quantityFields;
    QHash<QString, QString> m_typedQuantities; // kept when the fields are made anew
};

} // namespace sheet
