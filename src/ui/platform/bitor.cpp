#include "ui/platform/bitor.h"

#include "ui/runtime/MessageBox.h"

qint32 bitor_(const QList<std::optional<qint32>> &values)
{
    if (values.size() < 2) {
        runtime::messageBox(QStringLiteral("Error"), QStringLiteral("This function needs 2 values!"),
                            runtime::MessageIcon::StopSign, runtime::MessageButtons::Ok);
        return -1;
    }
    // A bit of the result is set when it is set in any value; on the unsigned 32-bit patterns
    // that is exactly the OR of them, for small flags and for negative values alike.
    quint32 result = 0;
    for (const std::optional<qint32> &value : values) {
        if (value)
            result |= static_cast<quint32>(*value);
    }
    return static_cast<qint32>(result);
}
