#include "ui/platform/nvo_sizeof.h"

#include "ui/runtime/MessageBox.h"

#include <QMetaType>

namespace {

// The name the system's runtime gives a value's type; only the names nvo_sizeof knows matter,
// every other type is "any".
QString runtimeTypeName(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int: return QStringLiteral("long");
    case QMetaType::UInt: return QStringLiteral("ulong");
    case QMetaType::Short: return QStringLiteral("integer");
    case QMetaType::UShort: return QStringLiteral("uint");
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::QChar: return QStringLiteral("char");
    case QMetaType::QString: return QStringLiteral("string");
    case QMetaType::Bool: return QStringLiteral("boolean");
    case QMetaType::LongLong: return QStringLiteral("longlong");
    case QMetaType::Double: return QStringLiteral("double");
    case QMetaType::Float: return QStringLiteral("real");
    case QMetaType::QDate: return QStringLiteral("date");
    case QMetaType::QTime: return QStringLiteral("time");
    case QMetaType::QDateTime: return QStringLiteral("datetime");
    case QMetaType::QByteArray: return QStringLiteral("blob");
    default: return QStringLiteral("any");
    }
}

bool isOneOf(const QString &name, std::initializer_list<const char *> names)
{
    for (const char *candidate : names) {
        if (name.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

qint32 nvo_sizeof::sizeof_(qint32) const { return 4; }
qint32 nvo_sizeof::sizeof_(quint32) const { return 4; }
qint32 nvo_sizeof::sizeof_(qint16) const { return 2; }
qint32 nvo_sizeof::sizeof_(quint16) const { return 2; }
qint32 nvo_sizeof::sizeof_(char) const { return 1; }
qint32 nvo_sizeof::sizeof_(const QString &) const { return 4; }
qint32 nvo_sizeof::sizeof_(const char *) const { return sizeof_(size_string); }
qint32 nvo_sizeof::sizeof_(bool) const { return 1; }

qint32 nvo_sizeof::sizeof_(const QVariantList &data) const
{
    qint32 total = 0;
    for (const QVariant &element : data) {
        const QString type = runtimeTypeName(element);
        if (isOneOf(type, {"long", "unsignedlong", "ulong"}))
            total += sizeof_(size_long);
        else if (isOneOf(type, {"int", "integer", "uint", "unsignedinteger", "unsignedint"}))
            total += sizeof_(size_int);
        else if (isOneOf(type, {"char", "character"}))
            total += sizeof_(size_char);
        else if (isOneOf(type, {"string"}))
            total += sizeof_(size_string);
        else if (isOneOf(type, {"boolean"}))
            total += sizeof_(size_boolean);
        // Any other type has no size of interest to a call and adds nothing.
    }
    return total;
}

qint32 nvo_sizeof::sizeof_(const StructureDescription &data) const
{
    return sizeof_(data.variables);
}

qint32 nvo_sizeof::sizeof_(const QList<VariableDescription> &vardef) const
{
    qint32 total = 0;
    for (const VariableDescription &variable : vardef) {
        // Only the first dimension of an array counts, by its upper bound.
        const qint32 count = variable.dimensions.isEmpty() ? 1 : variable.dimensions.first().upperBound;
        const QString &type = variable.typeName;
        qint32 size = 0;
        if (isOneOf(type, {"long", "ulong", "unsignedlong"})) {
            size = sizeof_(size_ulong);
        } else if (isOneOf(type, {"int", "integer"})) {
            size = sizeof_(size_int);
        } else if (isOneOf(type, {"uint", "unsignedint", "unsignedinteger"})) {
            size = sizeof_(size_uint);
        } else if (isOneOf(type, {"char", "character"})) {
            size = sizeof_(size_char);
        } else if (isOneOf(type, {"string"})) {
            size = sizeof_(size_string);
        } else if (isOneOf(type, {"structure"}) && variable.nested) {
            size = sizeof_(variable.nested->variables);
            // The nested walk has already shown its message.
            if (size == -1)
                return -1;
        } else {
            runtime::messageBox(QStringLiteral("SizeOf error"),
                                QStringLiteral("Type is not supported, possibly variable sized or object type!"),
                                runtime::MessageIcon::StopSign, runtime::MessageButtons::Ok);
            return -1;
        }
        total += size * count;
    }
    return total;
}
