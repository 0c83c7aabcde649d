#include "ui/platform/nvo_external_function_win32.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

#include <dlfcn.h>
#include <sys/stat.h>

#include <filesystem>
#include <system_error>

// Folders, drives, files and loaded libraries.

namespace {

// Copies `value` into a caller's buffer of `size` characters that needs room for a
// terminator: the length copied, or the size needed when it does not fit.
quint32 copyToBuffer(const QString &value, QString &buffer, quint32 size)
{
    const auto length = static_cast<quint32>(value.size());
    if (length >= size)
        return length + 1;
    buffer = value;
    return length;
}

QString windowsFolder()
{
    return QStringLiteral("/usr");
}

// The folder of the loaded C library: the system's shared libraries live there.
QString systemFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&::stat), &info) != 0 && info.dli_fname) {
        const QFileInfo library(QFile::decodeName(info.dli_fname));
        const QString folder = library.canonicalPath();
        if (!folder.isEmpty())
            return folder;
    }
    return QStringLiteral("/usr/lib");
}

bool isRemovableDevice(const QByteArray &device)
{
    // /dev/sdb1 belongs to the block device sdb, whose "removable" flag the kernel shows.
    QString name = QFileInfo(QFile::decodeName(device)).fileName();
    if (name.isEmpty())
        return false;
    for (int strip = 0; strip <= 2 && !name.isEmpty(); ++strip) {
        QFile flag(QStringLiteral("/sys/block/%1/removable").arg(name));
        if (flag.open(QIODevice::ReadOnly))
            return flag.readAll().trimmed() == "1";
        name.chop(1); // sdb1 -> sdb; nvme0n1p1 -> nvme0n1p -> nvme0n1
    }
    return false;
}

quint32 driveTypeOfPath(const QString &path)
{
    if (!QFileInfo::exists(path))
        return nvo_external_function_win32::drive_no_root_dir;
    const QStorageInfo storage(path);
    if (!storage.isValid())
        return nvo_external_function_win32::drive_unknown;
    const QByteArray type = storage.fileSystemType().toLower();
    if (type == "tmpfs" || type == "ramfs" || type == "devtmpfs")
        return nvo_external_function_win32::drive_ramdisk;
    if (type.startsWith("nfs") || type == "cifs" || type == "smb3" || type == "smbfs"
        || type == "fuse.sshfs" || type == "9p" || type == "afs")
        return nvo_external_function_win32::drive_remote;
    if (type == "iso9660" || type == "udf")
        return nvo_external_function_win32::drive_cdrom;
    if (isRemovableDevice(storage.device()))
        return nvo_external_function_win32::drive_removable;
    return nvo_external_function_win32::drive_fixed;
}

} // namespace

quint32 nvo_external_function_win32::getwindowsdirectorya(QString &dirtext, quint32 textlen) const
{
    return copyToBuffer(windowsFolder(), dirtext, textlen);
}

quint32 nvo_external_function_win32::getsystemdirectorya(QString &dirtext, quint32 textlen) const
{
    return copyToBuffer(systemFolder(), dirtext, textlen);
}

quint32 nvo_external_function_win32::getcurrentdirectorya(quint32 textlen, QString &dirtext) const
{
    const QString current = QDir::currentPath();
    if (current.isEmpty())
        return 0;
    return copyToBuffer(QDir::toNativeSeparators(current), dirtext, textlen);
}

bool nvo_external_function_win32::setcurrentdirectorya(const QString &dirtext)
{
    return !dirtext.isEmpty() && QDir::setCurrent(dirtext);
}

bool nvo_external_function_win32::setwindowsdirectorya(const QString &)
{
    return false;
}

quint32 nvo_external_function_win32::getdrivetypea(const QString &drive) const
{
    if (drive.isEmpty())
        return driveTypeOfPath(QDir::currentPath());
    static const QRegularExpression driveRoot(QStringLiteral("^([A-Za-z]):\\\\?$"));
    const QRegularExpressionMatch match = driveRoot.match(drive);
    if (match.hasMatch()) {
        if (match.captured(1).compare(QLatin1String("C"), Qt::CaseInsensitive) != 0)
            return drive_no_root_dir;
        return driveTypeOfPath(QStringLiteral("/"));
    }
    return driveTypeOfPath(drive);
}

bool nvo_external_function_win32::copyfilea(const QString &oldfilename, const QString &newfilename, bool rewrite)
{
    if (oldfilename.isEmpty() || newfilename.isEmpty())
        return false;
    const std::filesystem::path from(QFile::encodeName(oldfilename).toStdString());
    const std::filesystem::path to(QFile::encodeName(newfilename).toStdString());
    const auto options = rewrite ? std::filesystem::copy_options::none
                                 : std::filesystem::copy_options::overwrite_existing;
    std::error_code error;
    // Copying a file onto itself would empty it.
    if (std::filesystem::equivalent(from, to, error))
        return false;
    error.clear();
    return std::filesystem::copy_file(from, to, options, error) && !error;
}

bool nvo_external_function_win32::createdirectorya(const QString &sdirname, const str_directory &)
{
    if (sdirname.isEmpty())
        return false;
    return ::mkdir(QFile::encodeName(sdirname).constData(), 0777) == 0;
}

quintptr nvo_external_function_win32::getmodulehandlea(const QString &modname) const
{
    // RTLD_NOLOAD only looks among the libraries already loaded; the reference it takes is
    // given back at once, the library staying loaded by its other users.
    void *handle = modname.isEmpty() ? dlopen(nullptr, RTLD_LAZY)
                                     : dlopen(QFile::encodeName(modname).constData(), RTLD_LAZY | RTLD_NOLOAD);
    if (!handle)
        return 0;
    dlclose(handle);
    return reinterpret_cast<quintptr>(handle);
}
