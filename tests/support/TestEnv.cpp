#include "TestEnv.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include <cstdlib>

namespace {
void setEnv(const char *name, const QString &value)
{
    qputenv(name, value.toLocal8Bit());
}
} // namespace

TestEnv::TestEnv()
{
    if (!m_dir.isValid())
        qFatal("TestEnv: cannot make a temporary folder");
    m_oldCwd = QDir::currentPath();
    for (const char *name : {"ODBCINI", "ODBCSYSINI", "XDG_CONFIG_HOME"}) {
        if (qEnvironmentVariableIsSet(name))
            m_savedEnv.append({QByteArray(name), qgetenv(name)});
        else
            m_unsetEnv.append(QByteArray(name));
    }
    QDir root(m_dir.path());
    root.mkpath(QStringLiteral("work"));
    root.mkpath(QStringLiteral("odbcsys"));
    root.mkpath(QStringLiteral("config"));
    // An empty odbcinst.ini, so the driver manager never reads the machine's.
    QFile sysIni(odbcSysIniDir() + QStringLiteral("/odbcinst.ini"));
    sysIni.open(QIODevice::WriteOnly);
    sysIni.close();
    setEnv("ODBCINI", odbcIni());
    setEnv("ODBCSYSINI", odbcSysIniDir());
    setEnv("XDG_CONFIG_HOME", configHome());
    QDir::setCurrent(workDir());
}

TestEnv::~TestEnv()
{
    QDir::setCurrent(m_oldCwd);
    for (const auto &pair : m_savedEnv)
        qputenv(pair.first.constData(), pair.second);
    for (const QByteArray &name : m_unsetEnv)
        qunsetenv(name.constData());
    // Leave no read-only bits behind that would stop the folder's removal.
    const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    QDirIterator it(m_dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    QFile::setPermissions(m_dir.path(), all);
    while (it.hasNext())
        QFile::setPermissions(it.next(), all);
}

QString TestEnv::root() const { return m_dir.path(); }
QString TestEnv::workDir() const { return m_dir.path() + QStringLiteral("/work"); }
QString TestEnv::odbcIni() const { return m_dir.path() + QStringLiteral("/odbc.ini"); }
QString TestEnv::odbcSysIniDir() const { return m_dir.path() + QStringLiteral("/odbcsys"); }
QString TestEnv::configHome() const { return m_dir.path() + QStringLiteral("/config"); }
QString TestEnv::path(const QString &relative) const { return workDir() + QLatin1Char('/') + relative; }

QString TestEnv::driverPath()
{
    return QStringLiteral(KIV_SQLITE_ODBC_DRIVER);
}

QString TestEnv::directConnectString(const QString &databaseFile)
{
    return QStringLiteral("Driver=%1;Database=%2;NoCreat=1;").arg(driverPath(), databaseFile);
}

MessageRecorder::MessageRecorder()
{
    runtime::resetBeepCount();
    runtime::setMessageHandler([this](const runtime::MessageRequest &request) {
        m_boxes.append(request);
        return m_answers.isEmpty() ? request.defaultButton : m_answers.takeFirst();
    });
}

MessageRecorder::~MessageRecorder()
{
    runtime::setMessageHandler({});
}

int MessageRecorder::beeps() const
{
    return runtime::beepCount();
}

QStringList MessageRecorder::texts() const
{
    QStringList result;
    for (const auto &box : m_boxes)
        result.append(box.text);
    return result;
}

QByteArray TestEnv::readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TestEnv::writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}
