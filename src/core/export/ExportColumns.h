#pragma once

#include "core/export/ExportRecord.h"

#include <QList>
#include <QString>

namespace kivexport {

// The columns a user can pick for an export or a printed list, in the order they are
// written. Their keys name them in the profile file, so a renamed heading keeps the choice.
enum class Column {
    List,
    Code,
    Level,
    Name,
    Parent,
    Unit1,
    Unit2,
    MfnRate,
    ProvisionalRate,
    GeneralRate,
    VatRate,
    ConsumptionTax,
    ExportRebate,
    ExportTaxRate,
    ExportProvisionalRate,
    Supervision,
    Inspection,
    DeclarationElements,
    Note,
};

namespace ExportColumns {

QList<Column> all();
// What a first export offers: the code, its place, name, units and the main rates.
QList<Column> defaults();

QString key(Column column);
QString heading(Column column);

// Keys joined by ',' for the profile, and back; unknown keys are skipped and the order is
// always that of all(). An empty or wholly unknown text gives defaults().
QString toKeys(const QList<Column> &columns);
QList<Column> fromKeys(const QString &keys);

// The cell of a record in a column.
QString text(const ExportRecord &record, Column column);

// The level of a code by its length: 章, 品目, 子目, 十位编码.
QString levelOf(const QString &code);

} // namespace ExportColumns

} // namespace kivexport
