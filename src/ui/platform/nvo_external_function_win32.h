#pragma once

#include "core/platform/SoundOutput.h"
#include "core/platform/str_directory.h"
#include "core/platform/str_memorystatus.h"

#include <QString>

// The system's wrappers of operating-system functions (sound, colours, screen size, drives,
// directories, memory, user and computer name, timers, windows, keys, files), each doing what
// its Windows namesake did with the nearest Linux or Qt call. The lower-case functions stand
// for the Windows functions and keep their return conventions (BOOL as bool, counts and
// handles as numbers, 0 for none); the uf_ and of_ functions are the thin wrappers around them
// and hand back what those return.
//
// Window handles are this program's own (WindowHandles): the window functions reach only the
// program's own widgets, never other programs' windows.
//
// Folders that Windows has and Linux lacks stand in as follows: the Windows folder is "/usr",
// which holds the operating system's programs, libraries, fonts and shared data; the system
// folder is the folder of the C library (such as /usr/lib/x86_64-linux-gnu), where the shared
// system libraries live as in System32. Drive letters: "C:\" is the root file system, where the
// system lives as on drive C; other letters name no drive.
class nvo_external_function_win32
{
public:
    // sndplaysounda flags (Windows values).
    static constexpr quint32 snd_sync = 0x0000;
    static constexpr quint32 snd_async = 0x0001;
    static constexpr quint32 snd_nodefault = 0x0002;
    static constexpr quint32 snd_memory = 0x0004;
    static constexpr quint32 snd_loop = 0x0008;
    static constexpr quint32 snd_nostop = 0x0010;
    // getwindow relationships.
    static constexpr quint32 gw_hwndfirst = 0;
    static constexpr quint32 gw_hwndlast = 1;
    static constexpr quint32 gw_hwndnext = 2;
    static constexpr quint32 gw_hwndprev = 3;
    static constexpr quint32 gw_owner = 4;
    static constexpr quint32 gw_child = 5;
    // getdrivetypea results.
    static constexpr quint32 drive_unknown = 0;
    static constexpr quint32 drive_no_root_dir = 1;
    static constexpr quint32 drive_removable = 2;
    static constexpr quint32 drive_fixed = 3;
    static constexpr quint32 drive_remote = 4;
    static constexpr quint32 drive_cdrom = 5;
    static constexpr quint32 drive_ramdisk = 6;
    // showwindow commands.
    static constexpr int sw_hide = 0;
    static constexpr int sw_shownormal = 1;
    static constexpr int sw_showminimized = 2;
    static constexpr int sw_showmaximized = 3;
    static constexpr int sw_shownoactivate = 4;
    static constexpr int sw_show = 5;
    static constexpr int sw_minimize = 6;
    static constexpr int sw_showminnoactive = 7;
    static constexpr int sw_showna = 8;
    static constexpr int sw_restore = 9;

    // `sound` is the audio output that sndplaysounda uses (tests give their own).
    explicit nvo_external_function_win32(SoundOutput sound = SoundOutput());

    // --- the Windows functions
    // Plays a sound file without ever waiting for it (snd_sync is not honoured, snd_loop plays
    // once). Without an output device nothing plays: false. A file that cannot be played (or no
    // player program) gives the desktop's beep instead unless snd_nodefault is set; memory
    // images (snd_memory) are not supported. An empty name would stop the sound playing, which
    // a detached player does not allow: false.
    bool sndplaysounda(const QString &soundname, quint32 flags);
    quint32 waveoutgetnumdevs() const;
    // A system element's colour from the application's palette, as 0x00BBGGRR (RGB(r, g, b)
    // = r + 256 g + 65536 b); 0 for an index Windows does not define.
    quint32 getsyscolor(int index) const;
    quint32 getactivewindow() const;
    // Screen, scroll bar, caption and icon sizes in pixels, the virtual screen and the number
    // of monitors; 0 for other indices.
    int getsystemmetrics(int index) const;
    // Fills every field but sul_dwlength from /proc/meminfo and the process's address space;
    // all 0 when /proc/meminfo cannot be read.
    void globalmemorystatus(str_memorystatus &memorystatus) const;
    // The mail and dial-up libraries are not part of this system: their entry points do
    // nothing and report failure (-1).
    int createdll(const QString &host, int port, const QString &userid, const QString &fromaddress,
                  const QString &toaddress, const QString &fromname);
    int destorydll();
    int createdll();
    int destorydll1();
    // A timer on one of the program's windows: every `time` ms the window receives a
    // QTimerEvent whose timerId() is `id`; setting an id again restarts it; intervals below 10 ms
    // are 10 ms. Returns the id (1 for id 0), or 0 for an unknown window, a timer without
    // window, or a callback address (not supported).
    bool killtimer(quint32 handle, quint32 id);
    quint32 settimer(quint32 handle, quint32 id, quint32 time, quint32 addr);
    bool setcurrentdirectorya(const QString &dirtext);
    // Copies a file. The Windows call reads its third argument as "fail if the new file
    // exists": with `rewrite` true an existing file is kept and the copy fails; with false it
    // is replaced.
    bool copyfilea(const QString &oldfilename, const QString &newfilename, bool rewrite);
    // The handle of a shared library loaded into this program (the program itself for an
    // empty name), 0 when it is not loaded; never loads one.
    quintptr getmodulehandlea(const QString &modname) const;
    // The first top-level window of the program whose title is `windowname` (any case; a null
    // string matches any title). Class atoms do not exist here: a class other than 0 finds none.
    quint32 findwindowa(quint32 classname, const QString &windowname) const;
    // The system folder cannot be moved: false.
    bool setwindowsdirectorya(const QString &dirtext);
    // Draws the user's attention to the window (when `flash`); returns whether it was active.
    bool flashwindow(quint32 handle, bool flash);
    // Another window by its relation: siblings in stacking order from the top, the owner of a
    // top-level window, the topmost child. 0 when there is none.
    quint32 getwindow(quint32 handle, quint32 relationship) const;
    // The window's title, or a control's text; the buffer of `length` characters keeps room for
    // the terminator, so at most length - 1 characters are copied. Returns how many.
    int getwindowtexta(quint32 handle, QString &wintext, int length) const;
    bool iswindowvisible(quint32 handle) const;
    // The folder functions copy the folder into `dirtext` and return its length when it fits a
    // buffer of `textlen` characters with its terminator; otherwise they leave `dirtext` alone
    // and return the length the buffer needs (terminator included). 0 on failure.
    quint32 getwindowsdirectorya(QString &dirtext, quint32 textlen) const;
    quint32 getsystemdirectorya(QString &dirtext, quint32 textlen) const;
    quint32 getcurrentdirectorya(quint32 textlen, QString &dirtext) const;
    // The kind of storage that holds `drive` (a root such as "C:\" or a Linux path; empty: the
    // current folder): drive_... values.
    quint32 getdrivetypea(const QString &drive) const;
    // The host name and the effective user's login name. `len` is the buffer's size with its
    // terminator; it comes back as the characters copied (without the terminator for the
    // computer name, with it for the user name), or when the buffer is too small as the size
    // needed, the call failing.
    bool getcomputernamea(QString &name, quint32 &len) const;
    bool getusernamea(QString &name, quint32 &len) const;
    // Milliseconds since the machine started (wrapping after 49.7 days like the Windows count).
    quint32 gettickcount() const;
    // 0x8000 (negative) when the key is down. Outside key events Linux tells only the state of
    // the modifier keys (either side for left/right keys) and of the mouse buttons; other keys
    // read as up.
    qint16 getasynckeystate(int nvirtkey) const;
    // Makes one folder; fails when it exists or its parent folder does not.
    bool createdirectorya(const QString &sdirname, const str_directory &astr_dir);
    // Further window functions of the same family.
    bool showwindow(quint32 handle, int ncmdshow);
    bool movewindow(quint32 handle, int x, int y, int width, int height, bool repaint);
    bool setwindowtexta(quint32 handle, const QString &text);
    bool isiconic(quint32 handle) const;

    // --- the object's functions
    // 1 when the sound played, -1 when there is no output device or it could not play.
    int uf_playsound(const QString &as_filename, quint32 ai_option);
    quint32 uf_getsyscolor(int ai_index) const;
    int uf_getscreenwidth() const;
    int uf_getscreenheight() const;
    // The type of drive ai_drive (0 is A, 2 is C).
    quint32 uf_getdrivetype(int ai_drive) const;
    quint32 uf_getwindowsdirectory(QString &as_dir, quint32 aui_size) const;
    // The available paging-file figure (the commit limit not yet committed), in bytes.
    quint32 uf_getfreememory() const;
    bool uf_get_logon_name(QString &as_name) const;
    bool uf_killtimer(quint32 aui_handle, quint32 aui_id);
    quint32 uf_settimer(quint32 aui_handle, quint32 aui_id, quint32 aui_time);
    bool uf_flash_window(quint32 aui_handle, bool ab_flash);
    quint32 uf_getwindow(quint32 aui_handle, quint32 aui_relationship) const;
    bool uf_iswindowvisible(quint32 aui_handle) const;
    int uf_getwindowtext(quint32 aui_handle, QString &as_text, int ai_max) const;
    quintptr uf_getmodulehandle(const QString &as_modname) const;
    bool uf_getkeystatus(int a_nkey) const;
    bool uf_makedir(const QString &sdirname);
    int uf_destroydll();
    int uf_dialphonecode();
    int uf_destroydll1();
    // Has nothing to set: the folders are fixed.
    void of_set_directories();
    bool uf_copyfile(const QString &oldfilename, const QString &newfilename, bool rewrite);
    bool uf_getcomputername(QString &as_name) const;
    quint32 uf_getsystemdirectory(QString &as_dir, quint32 aui_size) const;
    quint32 uf_get_logon_time() const;
    quint32 of_findwindow(quint32 aul_classname, const QString &as_windowname) const;
    quint32 uf_getcurrentdirectory(QString &as_dir, quint32 aul_size) const;
    bool uf_setcurrentdirectory(const QString &as_directory);

private:
    SoundOutput m_sound;
};
