#include "server/ServerConnection.h"

#include "runtime/OdbcConnection.h"

#include <QRegularExpression>

namespace server {

QString ServerConnection::driverLibrary()
{
    return QStringLiteral(KIV_PSQL_ODBC_DRIVER);
}

bool ServerConnection::isServer(const QString &name)
{
    return name.contains(dbmsName(), Qt::CaseInsensitive);
}

QString ServerConnection::quoted(const QString &value)
{
    static const QRegularExpression special(QStringLiteral("[;{}=\\s]"));
    if (!value.contains(special) && !value.isEmpty())
        return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

QString ServerConnection::connectString(const ServerSettings &s, const QString &password)
{
    QString text = QStringLiteral("Driver=%1;Servername=%2;Port=%3;Database=%4;Username=%5;")
                       .arg(driverLibrary(), quoted(s.host.trimmed()), QString::number(s.portNumber()),
                            quoted(s.database.trimmed()), quoted(s.user.trimmed()));
    if (!password.isEmpty())
        text += QStringLiteral("Password=%1;").arg(quoted(password));
    text += QStringLiteral("pqopt={connect_timeout=%1};").arg(kConnectTimeout);
    return text;
}

QString ServerConnection::test(const ServerSettings &settings, const QString &password)
{
    const QString problem = settings.validate();
    if (!problem.isEmpty())
        return problem;
    runtime::OdbcConnection connection;
    if (!connection.connect(connectString(settings, password)))
        return connection.lastError();
    // The server answered: the role may still lack the tables.
    QVector<QVector<QVariant>> rows;
    if (!connection.select(QStringLiteral("SELECT count(*) FROM dbo.list_hscode WHERE length(code) = 2"),
                           {runtime::ColumnType::Long}, &rows))
        return connection.lastError();
    return QString();
}

} // namespace server
