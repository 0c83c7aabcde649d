#include "ui/platform/nvo_external_function_win32.h"

// The object's own functions: each forwards to one of the Windows stand-ins, some after a
// small fixed preparation. The stand-ins live in the files named after their area.

nvo_external_function_win32::nvo_external_function_win32(SoundOutput sound)
    : m_sound(std::move(sound))
{
}

int nvo_external_function_win32::createdll(const QString &, int, const QString &, const QString &,
                                           const QString &, const QString &)
{
    return -1;
}

int nvo_external_function_win32::destorydll() { return -1; }
int nvo_external_function_win32::createdll() { return -1; }
int nvo_external_function_win32::destorydll1() { return -1; }

int nvo_external_function_win32::uf_playsound(const QString &as_filename, quint32 ai_option)
{
    if (waveoutgetnumdevs() == 0)
        return -1;
    return sndplaysounda(as_filename, ai_option) ? 1 : -1;
}

quint32 nvo_external_function_win32::uf_getsyscolor(int ai_index) const
{
    return getsyscolor(ai_index);
}

int nvo_external_function_win32::uf_getscreenwidth() const
{
    return getsystemmetrics(0);
}

int nvo_external_function_win32::uf_getscreenheight() const
{
    return getsystemmetrics(1);
}

quint32 nvo_external_function_win32::uf_getdrivetype(int ai_drive) const
{
    const QString root = QString(QChar(65 + ai_drive)) + QStringLiteral(":\\");
    return getdrivetypea(root);
}

quint32 nvo_external_function_win32::uf_getwindowsdirectory(QString &as_dir, quint32 aui_size) const
{
    return getwindowsdirectorya(as_dir, aui_size);
}

quint32 nvo_external_function_win32::uf_getfreememory() const
{
    str_memorystatus status;
    status.sul_dwlength = 32; // the record's packed size
    globalmemorystatus(status);
    return status.sul_dwavailpagefile;
}

bool nvo_external_function_win32::uf_get_logon_name(QString &as_name) const
{
    QString buffer(255, QLatin1Char(' '));
    quint32 length = 255;
    const bool ok = getusernamea(buffer, length);
    as_name = buffer;
    return ok;
}

bool nvo_external_function_win32::uf_killtimer(quint32 aui_handle, quint32 aui_id)
{
    return killtimer(aui_handle, aui_id);
}

quint32 nvo_external_function_win32::uf_settimer(quint32 aui_handle, quint32 aui_id, quint32 aui_time)
{
    return settimer(aui_handle, aui_id, aui_time, 0);
}

bool nvo_external_function_win32::uf_flash_window(quint32 aui_handle, bool ab_flash)
{
    return flashwindow(aui_handle, ab_flash);
}

quint32 nvo_external_function_win32::uf_getwindow(quint32 aui_handle, quint32 aui_relationship) const
{
    return getwindow(aui_handle, aui_relationship);
}

bool nvo_external_function_win32::uf_iswindowvisible(quint32 aui_handle) const
{
    return iswindowvisible(aui_handle);
}

int nvo_external_function_win32::uf_getwindowtext(quint32 aui_handle, QString &as_text, int ai_max) const
{
    return getwindowtexta(aui_handle, as_text, ai_max);
}

quintptr nvo_external_function_win32::uf_getmodulehandle(const QString &as_modname) const
{
    return getmodulehandlea(as_modname);
}

bool nvo_external_function_win32::uf_getkeystatus(int a_nkey) const
{
    return (getasynckeystate(a_nkey) & 0x8000) != 0;
}

bool nvo_external_function_win32::uf_makedir(const QString &sdirname)
{
    return createdirectorya(sdirname, str_directory{});
}

int nvo_external_function_win32::uf_destroydll() { return destorydll(); }
int nvo_external_function_win32::uf_dialphonecode() { return createdll(); }
int nvo_external_function_win32::uf_destroydll1() { return destorydll1(); }

void nvo_external_function_win32::of_set_directories() {}

bool nvo_external_function_win32::uf_copyfile(const QString &oldfilename, const QString &newfilename, bool rewrite)
{
    return copyfilea(oldfilename, newfilename, rewrite);
}

bool nvo_external_function_win32::uf_getcomputername(QString &as_name) const
{
    QString buffer(255, QLatin1Char(' '));
    quint32 length = 255;
    const bool ok = getcomputernamea(buffer, length);
    as_name = buffer;
    return ok;
}

quint32 nvo_external_function_win32::uf_getsystemdirectory(QString &as_dir, quint32 aui_size) const
{
    return getsystemdirectorya(as_dir, aui_size);
}

quint32 nvo_external_function_win32::uf_get_logon_time() const
{
    return gettickcount();
}

quint32 nvo_external_function_win32::of_findwindow(quint32 aul_classname, const QString &as_windowname) const
{
    return findwindowa(aul_classname, as_windowname);
}

quint32 nvo_external_function_win32::uf_getcurrentdirectory(QString &as_dir, quint32 aul_size) const
{
    return getcurrentdirectorya(aul_size, as_dir);
}

bool nvo_external_function_win32::uf_setcurrentdirectory(const QString &as_directory)
{
    return setcurrentdirectorya(as_directory);
}
