#include "core/runtime/ItemValues.h"

#include <cmath>
#include <limits>

namespace runtime::itemvalues {

bool isNull(const QVariant &value)
{
    if (const QString *text = textOf(value))
        return text->isNull();
    return !value.isValid() || value.isNull();
}

const QString *textOf(const QVariant &value)
{
    if (value.typeId() != QMetaType::QString)
        return nullptr;
    return static_cast<const QString *>(value.constData());
}

namespace {
// Moves the surrogates above U+E000..U+FFFF so that UTF-16 units order like code points.
inline char16_t codePointRank(char16_t unit)
{
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return char16_t(unit + 0x2000);
    if (unit >= 0xE000)
        return char16_t(unit - 0x800);
    return unit;
}
} // namespace

int compareText(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t *pa = a.utf16();
    const char16_t *pb = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        if (pa[i] != pb[i])
            return codePointRank(pa[i]) < codePointRank(pb[i]) ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

double toNumber(const QVariant &value, bool *ok)
{
    *ok = false;
    if (isNull(value))
        return 0;
    if (const QString *text = textOf(value)) {
        const QString trimmed = text->trimmed();
        if (trimmed.isEmpty())
            return 0;
        return trimmed.toDouble(ok);
    }
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Bool:
        *ok = true;
        return value.toDouble();
    default:
        return value.toDouble(ok);
    }
}

QString toText(const QVariant &value)
{
    if (isNull(value))
        return QString();
    if (const QString *text = textOf(value))
        return *text;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

QVariant convert(const QVariant &value, ColumnType type, bool *ok)
{
    *ok = true;
    if (isNull(value))
        return QVariant();
    switch (type) {
    case ColumnType::String:
        return QVariant(toText(value));
    case ColumnType::Number: {
        const double d = toNumber(value, ok);
        return *ok ? QVariant(d) : QVariant();
    }
    case ColumnType::Long: {
        const double d = toNumber(value, ok);
        if (!*ok)
            return QVariant();
        if (!std::isfinite(d) || d < double(std::numeric_limits<qint32>::min())
            || d > double(std::numeric_limits<qint32>::max())) {
            *ok = false;
            return QVariant();
        }
        return QVariant(qint32(std::llround(d)));
    }
    }
    *ok = false;
    return QVariant();
}

int compare(const QVariant &a, const QVariant &b, ColumnType type)
{
    const bool nullA = isNull(a);
    const bool nullB = isNull(b);
    if (nullA || nullB)
        return nullA == nullB ? 0 : (nullA ? -1 : 1);

    if (type == ColumnType::String) {
        const QString *ta = textOf(a);
        const QString *tb = textOf(b);
        if (ta && tb)
            return compareText(*ta, *tb);
        return compareText(toText(a), toText(b));
    }

    bool okA = false;
    bool okB = false;
    const double da = toNumber(a, &okA);
    const double db = toNumber(b, &okB);
    // NaN has no place among the numbers; it sorts with the texts so the order stays total.
    okA = okA && !std::isnan(da);
    okB = okB && !std::isnan(db);
    if (okA && okB) {
        if (da < db)
            return -1;
        if (db < da)
            return 1;
        return 0;
    }
    if (okA != okB)
        return okA ? -1 : 1;
    return compareText(toText(a), toText(b));
}

} // namespace runtime::itemvalues
