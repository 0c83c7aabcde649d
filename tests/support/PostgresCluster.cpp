#include "PostgresCluster.h"

#include "core/runtime/OdbcConnection.h"
#include "core/server/ServerConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString kBinDir = QStringLiteral("/usr/lib/postgresql/15/bin");

QString bin(const char *name)
{
    return kBinDir + QLatin1Char('/') + QLatin1String(name);
}

} // namespace

PostgresCluster::PostgresCluster() = default;

PostgresCluster::~PostgresCluster()
{
    stop();
}

QString PostgresCluster::missingReason()
{
    for (const char *name : {"initdb", "pg_ctl", "postgres"}) {
        if (!QFileInfo(bin(name)).isExecutable())
            return QStringLiteral("no PostgreSQL server programs (%1 is missing; Debian package postgresql)")
                .arg(bin(name));
    }
    return QString();
}

int PostgresCluster::freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool PostgresCluster::run(const QStringList &command, QString *output) const
{
    QStringList arguments = command;
    QString program = arguments.takeFirst();
    if (!m_user.isEmpty()) {
        arguments = QStringList{QStringLiteral("-u"), m_user, QStringLiteral("--"), program} + arguments;
        program = QStringLiteral("runuser");
    }
    QProcess process;
    // The server's programs get nothing the test program was started with to load into itself.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LD_PRELOAD"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_dir->path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString PostgresCluster::serverOptions() const
{
    // Durability buys the tests nothing and costs them time.
    return QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off "
                          "-c full_page_writes=off -c max_connections=60")
        .arg(m_port)
        .arg(m_dir->path());
}

bool PostgresCluster::giveToServerUser(const QString &path) const
{
    if (m_user.isEmpty())
        return true;
    const passwd *pw = ::getpwnam(m_user.toLocal8Bit().constData());
    return pw && ::chown(QFile::encodeName(path).constData(), pw->pw_uid, pw->pw_gid) == 0;
}

bool PostgresCluster::start(QString *error)
{
    const QString missing = missingReason();
    if (!missing.isEmpty()) {
        *error = missing;
        return false;
    }
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kiv-pg-XXXXXX"));
    if (!m_dir->isValid()) {
        *error = QStringLiteral("cannot make a temporary folder");
        return false;
    }
    if (::geteuid() == 0) {
        m_user = QStringLiteral("postgres");
        if (!::getpwnam("postgres")
            && QProcess::execute(QStringLiteral("useradd"), {QStringLiteral("--system"), QStringLiteral("--no-create-home"),
                                                           QStringLiteral("--shell"), QStringLiteral("/usr/sbin/nologin"),
                                                           m_user})
                   != 0) {
            *error = QStringLiteral("cannot make the system user %1").arg(m_user);
            return false;
        }
        if (!giveToServerUser(m_dir->path())) {
            *error = QStringLiteral("cannot give %1 to %2").arg(m_dir->path(), m_user);
            return false;
        }
    }
    // initdb reads the password from a file that the server's user must be able to open.
    const QString passwordFile = m_dir->path() + QStringLiteral("/pw");
    {
        QFile file(passwordFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(adminPassword().toUtf8() + '\n') <= 0) {
            *error = QStringLiteral("cannot write %1").arg(passwordFile);
            return false;
        }
    }
    if (!giveToServerUser(passwordFile)) {
        *error = QStringLiteral("cannot give %1 to %2").arg(passwordFile, m_user);
        return false;
    }
    QString output;
    if (!run({bin("initdb"), QStringLiteral("-D"), m_dir->path() + QStringLiteral("/data"), QStringLiteral("-U"),
              adminUser(), QStringLiteral("--pwfile=") + passwordFile, QStringLiteral("--auth-host=scram-sha-256"),
              QStringLiteral("--auth-local=peer"), QStringLiteral("-E"), QStringLiteral("UTF8"),
              QStringLiteral("--locale=C"), QStringLiteral("--no-sync")},
             &output)) {
        *error = QStringLiteral("initdb failed: %1").arg(output);
        return false;
    }
    QFile::remove(passwordFile);
    m_port = freePort();
    if (!restart()) {
        QFile log(m_dir->path() + QStringLiteral("/log"));
        *error = QStringLiteral("the server did not start: %1")
                     .arg(QString::fromLocal8Bit(log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray()));
        return false;
    }
    return true;
}

bool PostgresCluster::restart()
{
    if (!m_dir || m_running)
        return m_running;
    m_running = run({bin("pg_ctl"), QStringLiteral("-D"), m_dir->path() + QStringLiteral("/data"), QStringLiteral("-l"),
                     m_dir->path() + QStringLiteral("/log"), QStringLiteral("-w"), QStringLiteral("-t"),
                     QStringLiteral("60"), QStringLiteral("-o"), serverOptions(), QStringLiteral("start")},
                    nullptr);
    return m_running;
}

bool PostgresCluster::stop()
{
    if (!m_running)
        return true;
    m_running = !run({bin("pg_ctl"), QStringLiteral("-D"), m_dir->path() + QStringLiteral("/data"), QStringLiteral("-m"),
                      QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")},
                     nullptr);
    return !m_running;
}

QString PostgresCluster::connectString(const QString &database, const QString &user, const QString &password) const
{
    server::ServerSettings settings;
    settings.host = host();
    settings.port = QString::number(m_port);
    settings.database = database;
    settings.user = user;
    return server::ServerConnection::connectString(settings, password);
}

bool PostgresCluster::exec(const QString &database, const QStringList &statements) const
{
    runtime::OdbcConnection connection;
    if (!connection.connect(connectString(database, adminUser(), adminPassword()))) {
        qWarning("PostgresCluster: %s", qPrintable(connection.lastError()));
        return false;
    }
    for (const QString &sql : statements) {
        if (!connection.execute(sql, {})) {
            qWarning("PostgresCluster: %s: %s", qPrintable(sql), qPrintable(connection.lastError()));
            return false;
        }
    }
    return true;
}
