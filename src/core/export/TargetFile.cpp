#include "core/export/TargetFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kivexport::TargetFile {

namespace {

// Linux file systems take names of at most 255 bytes (NAME_MAX).
constexpr int kMaxNameBytes = 255;

} // namespace

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString failure(const QString &path, const QString &reason)
{
    return QStringLiteral("无法写入文件“%1”：%2\n原有文件（如有）未被改动。").arg(QDir::toNativeSeparators(path), reason);
}

QString writeFailure(const QString &path, const QString &systemText)
{
    return failure(path, QStringLiteral("写入中断，磁盘可能已满或文件超过了大小限制（%1）。").arg(systemText));
}

namespace {

QString refusal(int error, const QString &folder)
{
    switch (error) {
    case EACCES:
    case EPERM: return QStringLiteral("没有在文件夹“%1”中写文件的权限。").arg(folder);
    case EROFS: return QStringLiteral("文件夹“%1”在只读的文件系统上。").arg(folder);
    case ENOSPC:
    case EDQUOT: return QStringLiteral("磁盘已满。");
    case ENAMETOOLONG: return QStringLiteral("文件名太长。");
    default: return systemText(error);
    }
}

} // namespace

QString precheck(const QString &path)
{
    const QFileInfo info(path);
    if (info.fileName().isEmpty())
        return QStringLiteral("没有给出文件名。");
    if (QFile::encodeName(info.fileName()).size() > kMaxNameBytes)
        return QStringLiteral("文件名太长（%1 字节），文件系统最多允许 %2 字节。")
            .arg(QFile::encodeName(info.fileName()).size())
            .arg(kMaxNameBytes);
    if (info.isDir())
        return QStringLiteral("已有同名的文件夹。");
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("文件夹“%1”不存在。").arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    // Only a file really made tells: access() answers for root as if every folder were open.
    QString error;
    const QString trial = reserveTemporary(path, &error);
    if (trial.isEmpty())
        return error;
    QFile::remove(trial);
    return QString();
}

QString reserveTemporary(const QString &path, QString *error)
{
    const QFileInfo info(path);
    // The random part keeps two exports to one folder apart; a long name is cut so that the
    // temporary one still fits the file system.
    QString base = info.fileName();
    while (QFile::encodeName(base).size() > 200)
        base.chop(1);
    for (int attempt = 0; attempt < 20; ++attempt) {
        const QString name = QStringLiteral(".%1.%2.part")
                                 .arg(base)
                                 .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        const QString candidate = info.absoluteDir().filePath(name);
        const int fd = ::open(QFile::encodeName(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST) {
            *error = refusal(errno, QDir::toNativeSeparators(info.absolutePath()));
            return QString();
        }
    }
    *error = refusal(EEXIST, QDir::toNativeSeparators(info.absolutePath()));
    return QString();
}

bool replace(const QString &temporary, const QString &path, QString *error)
{
    // rename(2) replaces an existing file atomically, which QFile::rename would refuse.
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) == 0)
        return true;
    *error = systemText(errno);
    QFile::remove(temporary);
    return false;
}

} // namespace kivexport::TargetFile
