#pragma once

#include <QString>

namespace kivexport {

// One code as an export lists it: everything either list and the tariff give for it, as
// text the way the database holds it. Fields a list has no place for stay empty.
struct ExportRecord {
    QString list;   // "hs" or "jmw"
    QString code;
    QString parent; // the nearest code above it in its list; empty for a chapter
    QString name;
    QString unit1;
    QString unit2;
    QString mfnRate;
    QString provisionalRate;
    QString generalRate;
    QString vatRate;
    QString consumptionTax;
    QString exportRebate;
    QString exportTaxRate;
    QString exportProvisionalRate;
    QString supervision; // letters with the certificates' names: "AB：A 检验检疫；B 电子底账"
    QString inspection;  // letters with the categories' names
    QString declarationElements;
    QString note;   // the user's note
    QString opUser; // the edition of the row ("CN2026"); empty on foreign-trade rows
    QString opDate;
};

} // namespace kivexport
