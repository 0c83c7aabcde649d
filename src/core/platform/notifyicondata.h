#pragma once

#include "core/platform/StructureDescription.h"

#include <QtGlobal>

#include <array>

// The notification-icon record (first version of the shell's layout) that the main window
// fills for its tray icon. Its size field holds the packed size from nvo_sizeof: 88 bytes.
struct notifyicondata {
    quint32 cbsize = 0;
    quint32 hwnd = 0;
    quint32 uid = 0;
    quint32 uflags = 0;
    quint32 ucallbackmessage = 0;
    quint32 hicon = 0;
    // The tip in the system's 8-bit code page, cut to the field's length.
    std::array<char, 64> sztip{};

    static const StructureDescription &description()
    {
        static const StructureDescription d{
            QStringLiteral("notifyicondata"),
            {
                {QStringLiteral("cbsize"), QStringLiteral("ulong")},
                {QStringLiteral("hwnd"), QStringLiteral("ulong")},
                {QStringLiteral("uid"), QStringLiteral("ulong")},
                {QStringLiteral("uflags"), QStringLiteral("ulong")},
                {QStringLiteral("ucallbackmessage"), QStringLiteral("ulong")},
                {QStringLiteral("hicon"), QStringLiteral("ulong")},
                {QStringLiteral("sztip"), QStringLiteral("character"), {{1, 64}}},
            }};
        return d;
    }
};
