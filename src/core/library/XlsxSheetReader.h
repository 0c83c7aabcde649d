#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace library {

// The first worksheet of an Excel workbook (.xlsx) as rows of texts, as Excel shows them: shared
// and inline strings, numbers (a whole number without a decimal point or exponent), booleans,
// and for a formula the value Excel last computed, never the formula. Reads the zip through
// minizip and the sheet's XML with QXmlStreamReader; no Excel needed.
class XlsxSheetReader
{
public:
    struct Row {
        int line = 0; // the worksheet's row number, from 1
        QStringList cells; // from column A, as many as the row's last cell
    };

    // False with *error (a sentence for the user) when the file is no workbook or cannot be read.
    static bool read(const QString &path, QList<Row> *rows, QString *error);

    // Column index of a cell reference: "A1" 0, "Z9" 25, "AA10" 26; -1 when there are no letters.
    static int columnOf(const QString &reference);
    // A number as Excel shows it in a cell of the general format: 8471300000, not 8.4713E9.
    static QString numberText(const QString &value);
};

} // namespace library
