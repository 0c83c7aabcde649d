#pragma once

#include "core/platform/notifyicondata.h"

#include <QObject>
#include <QPointer>

class QSystemTrayIcon;
class QWidget;

// The main window's icon in the desktop's notification area. A double click or a context
// click on it shows the window maximized and focused; a single click does nothing. The icon
// goes with the window.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    // Window constants of the tray behaviour.
    static constexpr quint32 nim_add = 0, nim_modify = 1, nim_delete = 2;
    static constexpr quint32 nif_message = 1, nif_icon = 2, nif_tip = 4;
    static constexpr quint32 wm_command = 273, wm_geticon = 127;
    static constexpr quint32 wm_lbuttondblclk = 515, wm_rbuttonup = 517;
    static constexpr quint32 sc_close = 61536;
    static constexpr quint32 aw_hor_positive = 1, aw_hor_negative = 2, aw_ver_positive = 4, aw_ver_negative = 8;
    static constexpr quint32 aw_center = 16, aw_hide = 65536, aw_activate = 131072, aw_slide = 262144,
                             aw_blend = 524288;

    explicit TrayIcon(QWidget *window);

    // Fills the record and adds the icon. Returns false (after the "Systray error" message)
    // when the desktop has no notification area; the window then goes on without it.
    bool add();
    bool isShown() const;
    const notifyicondata &icondata() const { return m_icondata; }

    // Test hook: pretend the desktop has (or has not) a notification area.
    static void setAvailableForTesting(int available); // -1 = ask the desktop

    // The icon's mouse messages (the tray's activation reasons end here).
    void command(quint32 mouseMessage);

signals:
    void ue_traydoubleclicked();
    void ue_trayrightclicked();

private:
    QPointer<QWidget> m_window;
    QSystemTrayIcon *m_icon = nullptr;
    notifyicondata m_icondata;
};
