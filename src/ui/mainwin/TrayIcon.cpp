#include "ui/mainwin/TrayIcon.h"

#include "ui/platform/WindowHandles.h"
#include "ui/platform/bitor.h"
#include "ui/platform/nvo_sizeof.h"
#include "ui/runtime/MessageBox.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QWidget>

#include <algorithm>

namespace {
int g_availableOverride = -1;
}

TrayIcon::TrayIcon(QWidget *window)
    : QObject(window)
    , m_window(window)
{
}

void TrayIcon::setAvailableForTesting(int available)
{
    g_availableOverride = available;
}

bool TrayIcon::add()
{
    m_icondata = notifyicondata{};
    m_icondata.cbsize = static_cast<quint32>(nvo_sizeof().sizeof_(m_icondata));
    m_icondata.hwnd = WindowHandles::handleOf(m_window);
    m_icondata.uid = 1;
    m_icondata.uflags = static_cast<quint32>(bitor_({qint32(nif_message), qint32(nif_icon), qint32(nif_tip)}));
    m_icondata.ucallbackmessage = wm_command;
    m_icondata.hicon = m_icondata.hwnd; // the window's own icon stands for it
    const QByteArray tip = m_window ? m_window->windowTitle().toLocal8Bit() : QByteArray();
    std::copy_n(tip.constData(), std::min<qsizetype>(tip.size(), m_icondata.sztip.size() - 1),
                m_icondata.sztip.begin());

    const bool available = g_availableOverride >= 0 ? g_availableOverride == 1
                                                    : QSystemTrayIcon::isSystemTrayAvailable();
    if (!available) {
        runtime::messageBox(QStringLiteral("Systray error"), QStringLiteral("Cannot add the systray icon!"),
                            runtime::MessageIcon::StopSign);
        return false;
    }
    m_icon = new QSystemTrayIcon(this);
    QIcon icon = m_window ? m_window->windowIcon() : QIcon();
    if (icon.isNull())
        icon = QApplication::windowIcon();
    if (icon.isNull()) // a tray entry without a picture cannot be seen or clicked
        icon = QIcon(QStringLiteral(":/app/icons/kivtree-48.png"));
    m_icon->setIcon(icon);
    m_icon->setToolTip(QString::fromLocal8Bit(m_icondata.sztip.data()));
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            command(wm_lbuttondblclk);
        else if (reason == QSystemTrayIcon::Context)
            command(wm_rbuttonup);
    });
    m_icon->show();
    return true;
}

bool TrayIcon::isShown() const
{
    return m_icon != nullptr;
}

void TrayIcon::command(quint32 mouseMessage)
{
    if (mouseMessage == wm_lbuttondblclk)
        emit ue_traydoubleclicked();
    else if (mouseMessage == wm_rbuttonup)
        emit ue_trayrightclicked();
}
