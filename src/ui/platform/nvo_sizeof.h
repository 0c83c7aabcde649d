#pragma once

#include "core/platform/StructureDescription.h"

#include <QString>
#include <QVariantList>

// Byte sizes of values, arrays of values and structures as they are handed to operating-system
// calls, so that a structure's size field can be filled in. Structure members are packed: no
// alignment padding is ever added. The system's types map onto C++ as: long = qint32,
// ulong = quint32, integer = qint16, uint = quint16, char = char, string = QString,
// boolean = bool.
//
// The functions are all named sizeof in the system; `sizeof` is a C++ keyword, so here they
// are `sizeof_`.
class nvo_sizeof
{
public:
    nvo_sizeof() = default;

    qint32 sizeof_(qint32 data) const;  // long: 4
    qint32 sizeof_(quint32 data) const; // ulong: 4
    qint32 sizeof_(qint16 data) const;  // integer: 2
    qint32 sizeof_(quint16 data) const; // uint: 2
    qint32 sizeof_(char data) const;    // char: 1
    // string: 4 (the pointer handed to the call), whatever the string's length.
    qint32 sizeof_(const QString &data) const;
    // A string literal is a string too (it would otherwise convert to bool).
    qint32 sizeof_(const char *data) const;
    qint32 sizeof_(bool data) const; // boolean: 1

    // An array of values of any type: the sum of its elements' sizes by their runtime types
    // (long, ulong, integer, uint, char, string, boolean); other types add nothing and raise
    // no message. An empty array has size 0.
    qint32 sizeof_(const QVariantList &data) const;

    // A structure: the packed size of its members, or -1 after the "SizeOf error" message when
    // a member's type has no fixed size (boolean, floating-point, decimal, date and time and
    // object types).
    qint32 sizeof_(const StructureDescription &data) const;
    template <DescribedStructure T>
    qint32 sizeof_(const T &) const
    {
        return sizeof_(T::description());
    }

    // A pointer is no structure: refuse it instead of letting it convert to bool.
    template <typename T>
    qint32 sizeof_(const T *data) const = delete;

private:
    // The packed size of the members that `vardef` describes; nested structures recurse.
    qint32 sizeof_(const QList<VariableDescription> &vardef) const;

    // One variable of each supported scalar type: the structure walk hands a member's type to
    // the overload above that matches it, so member sizes and value sizes always agree.
    qint16 size_int = 0;
    quint16 size_uint = 0;
    qint32 size_long = 0;
    quint32 size_ulong = 0;
    char size_char = 0;
    QString size_string;
    bool size_boolean = false;
};
