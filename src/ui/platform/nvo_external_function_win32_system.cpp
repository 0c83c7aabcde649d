#include "ui/platform/nvo_external_function_win32.h"

#include "core/platform/MemoryStatus.h"
#include "ui/runtime/MessageBox.h"

#include <QFile>
#include <QGuiApplication>
#include <QSysInfo>

#include <pwd.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <limits>

// Sound, memory, user and computer names, the tick count and the key state.

namespace {

quint32 saturated(quint64 value)
{
    return value > std::numeric_limits<quint32>::max() ? std::numeric_limits<quint32>::max()
                                                       : static_cast<quint32>(value);
}

// Hands `value` over in a buffer of `len` characters with room for a terminator; `len` comes
// back as the characters copied, plus one when `countTerminator`, or as the size needed.
bool copyName(const QString &value, QString &name, quint32 &len, bool countTerminator)
{
    const auto length = static_cast<quint32>(value.size());
    if (length + 1 > len) {
        len = length + 1;
        return false;
    }
    name = value;
    len = countTerminator ? length + 1 : length;
    return true;
}

// The bytes of address space this process may use, and those it has in use.
quint64 addressSpaceTotal()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        return limit.rlim_cur;
    // The user part of the address space: 128 TiB on 64-bit Linux, 3 GiB on 32-bit.
    return sizeof(void *) == 8 ? quint64(1) << 47 : quint64(3) << 30;
}

quint64 addressSpaceInUse()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const quint64 pages = statm.readLine().split(' ').value(0).toULongLong();
    return pages * static_cast<quint64>(sysconf(_SC_PAGESIZE));
}

} // namespace

bool nvo_external_function_win32::sndplaysounda(const QString &soundname, quint32 flags)
{
    if (soundname.isEmpty() || (flags & snd_memory) || m_sound.deviceCount() == 0)
        return false;
    if (m_sound.play(soundname))
        return true;
    if (flags & snd_nodefault)
        return false;
    // What Windows does with a sound it cannot play: the default sound.
    runtime::beep();
    return true;
}

quint32 nvo_external_function_win32::waveoutgetnumdevs() const
{
    return m_sound.deviceCount();
}

void nvo_external_function_win32::globalmemorystatus(str_memorystatus &memorystatus) const
{
    const MemoryStatus memory = readMemoryStatus();
    const quint64 virtualTotal = addressSpaceTotal();
    const quint64 virtualUsed = addressSpaceInUse();
    memorystatus.sul_dwmemoryload =
        memory.totalPhysical == 0
            ? 0
            : static_cast<quint32>((memory.totalPhysical - std::min(memory.availPhysical, memory.totalPhysical)) * 100
                                   / memory.totalPhysical);
    memorystatus.sul_dwtotalphys = saturated(memory.totalPhysical);
    memorystatus.sul_dwavailphys = saturated(memory.availPhysical);
    memorystatus.sul_dwtotalpagefile = saturated(memory.totalPageFile);
    memorystatus.sul_dwavailpagefile = saturated(memory.availPageFile);
    memorystatus.sul_dwtotalvirtual = memory.totalPhysical == 0 ? 0 : saturated(virtualTotal);
    memorystatus.sul_dwavailvirtual =
        memory.totalPhysical == 0 ? 0 : saturated(virtualTotal - std::min(virtualUsed, virtualTotal));
}

bool nvo_external_function_win32::getcomputernamea(QString &name, quint32 &len) const
{
    const QString host = QSysInfo::machineHostName();
    if (host.isEmpty())
        return false;
    return copyName(host, name, len, false);
}

bool nvo_external_function_win32::getusernamea(QString &name, quint32 &len) const
{
    const passwd *entry = getpwuid(geteuid());
    if (!entry || !entry->pw_name)
        return false;
    return copyName(QFile::decodeName(entry->pw_name), name, len, true);
}

quint32 nvo_external_function_win32::gettickcount() const
{
    // CLOCK_BOOTTIME keeps counting while the machine sleeps, as the Windows count does.
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return 0;
    const quint64 ms = static_cast<quint64>(now.tv_sec) * 1000 + static_cast<quint64>(now.tv_nsec) / 1000000;
    return static_cast<quint32>(ms); // wraps like the 32-bit count
}

qint16 nvo_external_function_win32::getasynckeystate(int nvirtkey) const
{
    constexpr qint16 down = static_cast<qint16>(0x8000);
    const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    bool isDown = false;
    switch (nvirtkey) {
    case 0x01: isDown = buttons & Qt::LeftButton; break;     // VK_LBUTTON
    case 0x02: isDown = buttons & Qt::RightButton; break;    // VK_RBUTTON
    case 0x04: isDown = buttons & Qt::MiddleButton; break;   // VK_MBUTTON
    case 0x05: isDown = buttons & Qt::BackButton; break;     // VK_XBUTTON1
    case 0x06: isDown = buttons & Qt::ForwardButton; break;  // VK_XBUTTON2
    case 0x10:                                               // VK_SHIFT
    case 0xA0:                                               // VK_LSHIFT
    case 0xA1: isDown = modifiers & Qt::ShiftModifier; break; // VK_RSHIFT
    case 0x11:                                               // VK_CONTROL
    case 0xA2:                                               // VK_LCONTROL
    case 0xA3: isDown = modifiers & Qt::ControlModifier; break; // VK_RCONTROL
    case 0x12:                                               // VK_MENU (Alt)
    case 0xA4:                                               // VK_LMENU
    case 0xA5: isDown = modifiers & Qt::AltModifier; break;  // VK_RMENU
    case 0x5B:                                               // VK_LWIN
    case 0x5C: isDown = modifiers & Qt::MetaModifier; break; // VK_RWIN
    default: break;
    }
    return isDown ? down : 0;
}
