#pragma once

#include "core/duty/Decimal.h"

#include <QString>
#include <QStringList>

namespace duty {

// The exchange rates to yuan the user typed, kept per currency in the profile file (section
// [duty], key rate_USD=7.12), so the next calculation starts with them. Nothing is preset: the
// program knows no rates of its own.
class ExchangeRates
{
public:
    explicit ExchangeRates(QString profileFile) : m_file(std::move(profileFile)) {}

    // Currency codes offered, yuan first, each with its Chinese name: "CNY 人民币".
    static QStringList currencies();
    static QString section() { return QStringLiteral("duty"); }

    // The kept rate as typed; empty when none.
    QString rate(const QString &currency) const;
    // Keeps a rate; false when the profile cannot be written.
    bool keep(const QString &currency, const QString &rate) const;

private:
    QString m_file;
};

} // namespace duty
