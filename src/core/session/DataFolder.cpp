#include "core/session/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kiv {

namespace {
// Copies through a temporary name, so an interrupted copy never leaves a half database
// that a later start would take for the user's own.
bool copyFile(const QString &from, const QString &to, QString *error)
{
    const QString partial = to + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(from, partial)) {
        *error = QStringLiteral("cannot copy %1 to %2").arg(from, partial);
        return false;
    }
    // Installed files are read-only; the user's copy must be writable.
    QFile::setPermissions(partial, QFile::permissions(partial) | QFile::WriteOwner | QFile::ReadOwner);
    QFile::remove(to);
    if (!QFile::rename(partial, to)) {
        QFile::remove(partial);
        *error = QStringLiteral("cannot write %1").arg(to);
        return false;
    }
    return true;
}
} // namespace

QString DataFolder::installedDataFolder(const QString &executableFolder)
{
    return QDir::cleanPath(executableFolder + QStringLiteral("/../share/kivtree"));
}

QString DataFolder::userDataFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/kivtree");
}

QString DataFolder::prepare(const QString &executableFolder, const QString &userFolder, QString *error)
{
    const QDir exe(executableFolder);
    if (exe.exists(databaseFile()))
        return exe.absolutePath(); // a run folder

    const QDir installed(installedDataFolder(executableFolder));
    if (!installed.exists(databaseFile())) {
        *error = QStringLiteral("no %1 beside the program nor in %2").arg(databaseFile(), installed.path());
        return QString();
    }
    if (!QDir().mkpath(userFolder)) {
        *error = QStringLiteral("cannot make the folder %1").arg(userFolder);
        return QString();
    }
    const QDir user(userFolder);
    if (!user.exists(databaseFile())
        && !copyFile(installed.filePath(databaseFile()), user.filePath(databaseFile()), error))
        return QString();

    // The help texts and the search dictionaries are the program's own: a newer installed
    // version replaces the copy.
    for (const QString &own : programFiles()) {
        const QFileInfo installedFile(installed.filePath(own));
        const QFileInfo userFile(user.filePath(own));
        if (installedFile.exists()
            && (!userFile.exists() || userFile.size() != installedFile.size()
                || userFile.lastModified() < installedFile.lastModified())) {
            QString copyError;
            // Without help the help is empty; without a dictionary the search says so.
            copyFile(installedFile.filePath(), userFile.filePath(), &copyError);
        }
    }
    return user.absolutePath();
}

bool DataFolder::enter(QString *error)
{
    const QString folder = prepare(QCoreApplication::applicationDirPath(), userDataFolder(), error);
    if (folder.isEmpty())
        return false;
    if (!QDir::setCurrent(folder)) {
        *error = QStringLiteral("cannot enter %1").arg(folder);
        return false;
    }
    return true;
}

} // namespace kiv
