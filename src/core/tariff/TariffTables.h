#pragma once

#include <QString>
#include <QStringList>

namespace runtime {
class Transaction;
}

namespace tariff {

// The tables that stand beside list_hscode and list_jmwcode (db/schema.sql makes the same):
// the rest of each tariff line, the chapter details, the two code lists, the user's notes
// and the Chinese names of headings and subheadings (tariff/HeadingNames.h).
class TariffTables
{
public:
    static QString tariffLine() { return QStringLiteral("tariff_line"); }
    static QString tariffChapter() { return QStringLiteral("tariff_chapter"); }
    static QString supervisionCertificate() { return QStringLiteral("supervision_certificate"); }
    static QString inspectionCategory() { return QStringLiteral("inspection_category"); }
    static QString userNote() { return QStringLiteral("user_note"); }
    static QString headingNameCn() { return QStringLiteral("heading_name_cn"); }

    // Every table above, in the order they are made.
    static QStringList all();
    // The tables whose rows come with the tariff (copied from an installed database).
    static QStringList withData();

    // The CREATE TABLE statement of one of them (portable SQL); empty for another name.
    static QString createStatement(const QString &table);
    // Its columns, comma-separated, in the order of the CREATE statement.
    static QString columns(const QString &table);

    // Which of all() the connected database lacks. Returns false (and leaves *missing alone)
    // when the catalog cannot be read; the transaction's sqlErrText() then tells why.
    static bool missing(runtime::Transaction *sqlca, QStringList *missing);
};

} // namespace tariff
