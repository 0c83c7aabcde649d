#include "core/server/ServerConnection.h"

#include "core/runtime/OdbcConnection.h"
#include "core/server/ConnectionProblem.h"
#include "core/server/PasswordFile.h"

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

QString ServerConnection::libpqOptions(const QString &extra)
{
    // The program's statements name the tables without the owner dbo: the schema is searched
    // on the program's connections only. The server's options are separated by blanks that
    // libpq reads escaped (a quote would end the runtime's ConnectString='...').
    QString text = QStringLiteral("connect_timeout=%1 keepalives_count=%2 tcp_user_timeout=%3 "
                                  "options=--search_path=dbo,public\\ --statement_timeout=%4\\ --lock_timeout=%5")
                       .arg(kConnectTimeout)
                       .arg(kKeepaliveCount)
                       .arg(kTcpUserTimeoutMs)
                       .arg(kStatementTimeoutMs)
                       .arg(kLockTimeoutMs);
    if (!extra.isEmpty())
        text += QLatin1Char(' ') + extra;
    return text;
}

QList<QPair<QString, QString>> ServerConnection::driverKeys()
{
    return {{QStringLiteral("KeepaliveTime"), QString::number(kKeepaliveIdle)},
            {QStringLiteral("KeepaliveInterval"), QString::number(kKeepaliveInterval)}};
}

QString ServerConnection::encodedPassword(const QString &password)
{
    QString encoded;
    for (const char byte : password.toUtf8()) {
        const uchar c = uchar(byte);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            encoded += QLatin1Char(char(c));
        else if (c == ' ')
            encoded += QLatin1Char('+');
        else
            encoded += QStringLiteral("%%1").arg(uint(c), 2, 16, QLatin1Char('0')).toUpper();
    }
    return encoded;
}

namespace {

QString serverString(const ServerSettings &s, const QString &extraOptions)
{
    QString text = QStringLiteral("Driver=%1;Servername=%2;Port=%3;Database=%4;Username=%5;")
                       .arg(ServerConnection::driverLibrary(), ServerConnection::quoted(s.host.trimmed()),
                            QString::number(s.portNumber()), ServerConnection::quoted(s.database.trimmed()),
                            ServerConnection::quoted(s.user.trimmed()));
    for (const auto &key : ServerConnection::driverKeys())
        text += QStringLiteral("%1=%2;").arg(key.first, key.second);
    return text + QStringLiteral("pqopt={%1};").arg(ServerConnection::libpqOptions(extraOptions));
}

} // namespace

QString ServerConnection::connectString(const ServerSettings &s, const QString &password)
{
    QString text = serverString(s, QString());
    if (!password.isEmpty()) {
        QString escaped = password;
        escaped.replace(QLatin1Char('}'), QLatin1String("}}"));
        text += QStringLiteral("PWD={%1};").arg(escaped);
    }
    return text;
}

QString ServerConnection::test(const ServerSettings &settings, const QString &password)
{
    const QString problem = settings.validate();
    if (!problem.isEmpty())
        return problem;
    PasswordFile passwordFile;
    QString extra;
    if (!password.isEmpty()) {
        if (!passwordFile.write(settings, password))
            return passwordFile.error();
        extra = QStringLiteral("passfile=") + PasswordFile::conninfoValue(passwordFile.path());
    }
    runtime::OdbcConnection connection;
    if (!connection.connect(serverString(settings, extra)))
        return ConnectionProblem::describe(connection.lastError(), settings);
    // The server answered: the role may still lack the tables or the right to read them.
    QVector<QVector<QVariant>> rows;
    if (!connection.select(QStringLiteral("SELECT count(*) FROM dbo.list_hscode WHERE length(code) = 2"),
                           {runtime::ColumnType::Long}, &rows))
        return ConnectionProblem::describe(connection.lastError(), settings);
    return QString();
}

} // namespace server
