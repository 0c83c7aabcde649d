#pragma once

#include "core/platform/StructureDescription.h"

#include <QtGlobal>

// The security-attributes record handed to createdirectorya. Linux folders take their
// permissions from the process's umask, so the record's values are not used.
struct str_directory {
    quint32 nlength = 0;
    quint32 sdescriptor = 0;
    quint32 binherithandle = 0;

    static const StructureDescription &description()
    {
        static const StructureDescription d{
            QStringLiteral("str_directory"),
            {
                {QStringLiteral("nlength"), QStringLiteral("ulong")},
                {QStringLiteral("sdescriptor"), QStringLiteral("ulong")},
                {QStringLiteral("binherithandle"), QStringLiteral("ulong")},
            }};
        return d;
    }
};
