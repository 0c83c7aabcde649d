#pragma once

#include "core/platform/StructureDescription.h"

#include <QtGlobal>

// The memory-status record filled by nvo_external_function_win32::globalmemorystatus: sizes in
// bytes, each saturated at 0xFFFFFFFF when the real figure does not fit 32 bits; the memory
// load in percent.
struct str_memorystatus {
    quint32 sul_dwlength = 0;
    quint32 sul_dwmemoryload = 0;
    quint32 sul_dwtotalphys = 0;
    quint32 sul_dwavailphys = 0;
    quint32 sul_dwtotalpagefile = 0;
    quint32 sul_dwavailpagefile = 0;
    quint32 sul_dwtotalvirtual = 0;
    quint32 sul_dwavailvirtual = 0;

    static const StructureDescription &description()
    {
        static const StructureDescription d{
            QStringLiteral("str_memorystatus"),
            {
                {QStringLiteral("sul_dwlength"), QStringLiteral("ulong")},
                {QStringLiteral("sul_dwmemoryload"), QStringLiteral("ulong")},
                {QStringLiteral("sul_dwtotalphys"), QStringLiteral("ulong")},
                {QStringLiteral("sul_dwavailphys"), QStringLiteral("ulong")},
                {QStringLiteral("sul_dwtotalpagefile"), QStringLiteral("ulong")},
                {QStringLiteral("sul_dwavailpagefile"), QStringLiteral("ulong")},
                {QStringLiteral("sul_dwtotalvirtual"), QStringLiteral("ulong")},
                {QStringLiteral("sul_dwavailvirtual"), QStringLiteral("ulong")},
            }};
        return d;
    }
};
