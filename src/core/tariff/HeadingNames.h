#pragma once

#include "core/tariff/TariffTables.h"

#include <QHash>
#include <QString>

namespace runtime {
class DataView;
class Transaction;
}

namespace tariff {

// The Chinese names of the customs list's headings and subheadings (4 and 6 digits), kept in
// the table heading_name_cn beside list_hscode, whose English names they stand in for wherever
// a name is shown: the tree, the sheet's code path, the search and the export. list_hscode
// itself keeps the WCO's English text, so that a later WCO list compares with what it wrote.
class HeadingNames
{
public:
    static QString table() { return TariffTables::headingNameCn(); }

    // Every name, by code. An empty hash when the database has none or lacks the table (an
    // older database; *present tells which); false (with the driver's text in *error) when the
    // read fails.
    static bool read(runtime::Transaction *sqlca, QHash<QString, QString> *names, QString *error = nullptr,
                     bool *present = nullptr);

    // Puts the names into the rows of a data view of list_hscode (its columns "code" and
    // "name") in place of the English ones; the rows stay unmodified. Returns how many changed.
    static int overlay(runtime::DataView *rows, const QHash<QString, QString> &names);

    // The name to show for a code: the Chinese one where there is one, else the list's own.
    static QString shown(const QHash<QString, QString> &names, const QString &code, const QString &listName)
    {
        const auto it = names.constFind(code);
        return it == names.cend() ? listName : it.value();
    }
};

} // namespace tariff
