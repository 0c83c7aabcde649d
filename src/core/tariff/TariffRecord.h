#pragma once

#include <QString>
#include <QStringList>

namespace tariff {

// Everything the tariff says about one code, as text the way the source gives it ("8%",
// "0.8元/千克", "9%,13%", "AFEB", "M.P/Q.S", "1:品牌类型;2:..."). An empty field is one the
// source leaves empty. Headings and chapters have their name and unit only.
struct TariffRecord {
    QString code;
    QString name;
    QString unit1;                 // first statutory unit
    QString unit2;                 // second statutory unit
    QString mfnRate;               // import MFN rate
    QString provisionalRate;       // import provisional rate
    QString generalRate;
    QString vatRate;
    QString consumptionTax;
    QString exportRebate;          // one rate or several: "9%,13%"
    QString exportTaxRate;
    QString exportProvisionalRate;
    QString supervisionConditions; // letters of the supervision certificate list
    QString inspectionCategory;    // letters of the inspection categories, import/export
    QString declarationElements;
    QString opUser;                // where the row comes from ("CN2026")
    QString opDate;                // the source's date ("20260818")

    // The fields this database cannot give because their table is missing, by the member
    // names above ("provisionalRate", ...); empty when the record is complete.
    QStringList missingFields;

    // The fields kept in the tariff_line table, by member name, in the order above.
    static QStringList tariffLineFields()
    {
        return {QStringLiteral("provisionalRate"),       QStringLiteral("generalRate"),
                QStringLiteral("exportTaxRate"),         QStringLiteral("exportProvisionalRate"),
                QStringLiteral("supervisionConditions"), QStringLiteral("declarationElements")};
    }
};

} // namespace tariff
