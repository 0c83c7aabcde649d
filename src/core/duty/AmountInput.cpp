#include "core/duty/AmountInput.h"

#include <QRegularExpression>

namespace duty {

namespace {
const Decimal kLargest = Decimal::fromInt(1000000000000000LL); // 10^15
}

AmountInput AmountInput::read(const QString &text)
{
    AmountInput in;
    QString s = text.normalized(QString::NormalizationForm_KC);
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    if (s.isEmpty()) {
        in.empty = true;
        in.problem = QStringLiteral("未填写");
        return in;
    }
    // Thousands separators only where they group three digits: "1,234" yes, "1,23" no.
    static const QRegularExpression grouped(QStringLiteral("^[-+]?\\d{1,3}(,\\d{3})+(\\.\\d+)?$"));
    if (grouped.match(s).hasMatch())
        s.remove(u',');
    bool ok = false;
    const Decimal v = Decimal::parse(s, &ok);
    static const QRegularExpression number(QStringLiteral("^[-+]?\\d+(\\.\\d+)?$"));
    if (!ok) {
        // A number too long to hold is still a number: say it is too large.
        in.problem = number.match(s).hasMatch() ? QStringLiteral("数值过大") : QStringLiteral("不是数字");
    } else if (v.isNegative()) {
        in.problem = QStringLiteral("不能为负数");
    } else if (v > kLargest) {
        in.problem = QStringLiteral("数值过大");
    } else {
        in.ok = true;
        in.value = v;
    }
    return in;
}

} // namespace duty
