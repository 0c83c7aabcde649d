#include "core/duty/ExchangeRates.h"

#include "core/settings/Setting.h"

namespace duty {

QStringList ExchangeRates::currencies()
{
    return {QStringLiteral("CNY 人民币"), QStringLiteral("USD 美元"),   QStringLiteral("EUR 欧元"),
            QStringLiteral("JPY 日元"),   QStringLiteral("HKD 港币"),   QStringLiteral("GBP 英镑"),
            QStringLiteral("KRW 韩元"),   QStringLiteral("AUD 澳大利亚元"), QStringLiteral("CAD 加拿大元"),
            QStringLiteral("CHF 瑞士法郎"), QStringLiteral("SGD 新加坡元"), QStringLiteral("RUB 卢布")};
}

QString ExchangeRates::rate(const QString &currency) const
{
    return settings::Settings::value(m_file, settings::kExchangeRate, currency);
}

bool ExchangeRates::keep(const QString &currency, const QString &rate) const
{
    return settings::Settings::setValue(m_file, settings::kExchangeRate, rate, currency) == 1;
}

} // namespace duty
