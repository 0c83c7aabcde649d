#include "core/server/PasswordFile.h"

#include <QFile>

namespace server {

QString PasswordFile::field(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char(':'), QLatin1String("\\:"));
    return escaped;
}

QString PasswordFile::conninfoValue(const QString &value)
{
    // Unquoted, each blank, quote and backslash escaped: a quote would end the runtime's
    // ConnectString='...'.
    QString escaped;
    for (const QChar c : value) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('\'') || c.isSpace())
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped;
}

bool PasswordFile::write(const ServerSettings &settings, const QString &password)
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("无法建立临时文件夹：%1").arg(m_dir.errorString());
        return false;
    }
    m_path = m_dir.filePath(QStringLiteral("pgpass"));
    QFile file(m_path);
    // Made empty and private before the password goes in: libpq ignores a file others may read.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        m_error = QStringLiteral("无法写入临时密码文件：%1").arg(file.errorString());
        return false;
    }
    const QString line = QStringList{field(settings.host.trimmed()), QString::number(settings.portNumber()),
                                     field(settings.database.trimmed()), field(settings.user.trimmed()),
                                     field(password)}
                             .join(QLatin1Char(':'))
        + QLatin1Char('\n');
    const QByteArray bytes = line.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        m_error = QStringLiteral("无法写入临时密码文件：%1").arg(file.errorString());
        file.close();
        QFile::remove(m_path);
        return false;
    }
    return true;
}

} // namespace server
