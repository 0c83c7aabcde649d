#pragma once

#include "core/runtime/DataViewDefinition.h"

#include <QString>
#include <QStringView>
#include <QVariant>

// How the data view reads, converts and orders the values it holds. Texts are ordered the
// way the database orders them (binary, that is by code point, case-sensitive), numbers
// numerically, and a null value comes before every other value.
namespace runtime::itemvalues {

// An invalid QVariant and a variant holding a null value (a null QString too) stand for the
// database's null.
bool isNull(const QVariant &value);

// The text a variant holds, or nullptr when it holds no QString (no copy is made).
const QString *textOf(const QVariant &value);

// Code point order of two texts: <0, 0, >0. Equal to the byte order of their UTF-8 forms.
int compareText(QStringView a, QStringView b);

// The number of a value; *ok is false for null and for text that is not a number.
double toNumber(const QVariant &value, bool *ok);

// The text of a value: numbers without trailing zeros ("13", "0.13"), null as "".
QString toText(const QVariant &value);

// Converts a value to the representation a column of the type holds (QString, double or
// qint32; null stays null). *ok is false when the value does not fit the type.
QVariant convert(const QVariant &value, ColumnType type, bool *ok);

// Sorting order within a column of the given type: null first, then by the type's rule.
// For a number column, numbers come before texts that are not numbers.
int compare(const QVariant &a, const QVariant &b, ColumnType type);

} // namespace runtime::itemvalues
