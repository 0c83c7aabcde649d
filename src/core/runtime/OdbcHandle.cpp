#include "core/runtime/OdbcHandle.h"

#include <QStringList>

namespace runtime {

namespace {

// The driver's diagnostic records of a handle, as one text.
QString diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    QStringList records;
    for (SQLSMALLINT i = 1; handle != SQL_NULL_HANDLE; ++i) {
        SQLCHAR state[6] = {};
        SQLINTEGER nativeError = 0;
        SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRec(type, handle, i, state, &nativeError, message,
                                           sizeof message, &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        records.append(QStringLiteral("SQLSTATE = %1\n%2")
                           .arg(QString::fromLatin1(reinterpret_cast<const char *>(state)),
                                QString::fromUtf8(reinterpret_cast<const char *>(message))));
    }
    return records.join(QLatin1Char('\n'));
}

} // namespace

QString odbcDiagnostics(const OdbcHandle &handle, const char *fallback)
{
    const QString text = diagnostics(handle.type(), handle.get());
    return text.isEmpty() ? QString::fromLatin1(fallback) : text;
}

} // namespace runtime
