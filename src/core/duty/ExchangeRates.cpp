#include "core/duty/ExchangeRates.h"

#include "core/runtime/ProfileStrings.h"

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
    return runtime::profileString(m_file, section(), QStringLiteral("rate_") + currency, QString());
}

bool ExchangeRates::keep(const QString &currency, const QString &rate) const
{
    return runtime::setProfileString(m_file, section(), QStringLiteral("rate_") + currency, rate) == 1;
}

} // namespace duty
