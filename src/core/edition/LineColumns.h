#pragma once

#include "core/edition/EditionLine.h"

#include <QDate>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace edition {

// Where a customs line's fields go in the database, as db/README.md maps them: the columns
// of list_hscode (with the numbers derived from the rate texts) and of tariff_line.
class LineColumns
{
public:
    // The list_hscode columns an edition writes for a 10-digit line, in the order of
    // hscodeValues(); flag, rsv_flag and the columns the tariff has no data for stay as
    // they are.
    static QStringList hscodeColumns();
    static QVector<QVariant> hscodeValues(const EditionLine &line, const QString &edition, const QString &date);

    static QStringList tariffLineColumns(); // code first
    static QVector<QVariant> tariffLineValues(const EditionLine &line);

    // A number as the generator stores it: whole numbers as integers (13), others as reals.
    static QVariant number(double value);

    // The edition's date as op_date keeps it.
    static QString dateText(const QDate &date) { return date.toString(QStringLiteral("yyyyMMdd")); }
    // op_user is char(9).
    static constexpr int kMaxEditionLength = 9;
};

} // namespace edition
