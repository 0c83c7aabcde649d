#pragma once

#include <QList>
#include <QString>

#include <concepts>

// Static description of a structure handed to an operating-system call: its members in
// declaration order, each with its type name, its array bounds and, for a nested structure,
// that structure's own description. nvo_sizeof walks these descriptions to compute the
// packed byte size that fills a structure's size field.

struct StructureDescription;

// One dimension of an array member, declared as [lowerBound to upperBound]; a plain [n]
// declaration is [1 to n].
struct ArrayDimension {
    int lowerBound = 1;
    int upperBound = 0;
};

struct VariableDescription {
    QString name;
    // The type's name as the system spells it: "long", "ulong", "unsignedlong", "int",
    // "integer", "uint", "unsignedint", "unsignedinteger", "char", "character", "string",
    // "structure" (then `nested` describes it), or any other name (an unsupported member).
    QString typeName;
    // Empty when the member is not an array.
    QList<ArrayDimension> dimensions = {};
    const StructureDescription *nested = nullptr;
};

struct StructureDescription {
    QString name;
    QList<VariableDescription> variables;
};

// A structure type that carries its own description: `static const StructureDescription
// &description();`.
template <typename T>
concept DescribedStructure = requires {
    { T::description() } -> std::same_as<const StructureDescription &>;
};
