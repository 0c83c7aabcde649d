#pragma once

#include "core/tariff/ListKind.h"
#include "core/tariff/TariffField.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

namespace edition {

// The fields of a 10-digit customs line that an edition can change, in the order the preview
// lists them (tariff::fieldLabel and sourceColumn name them). Each is kept as the text the tariff
// gives (trimmed; a null QString when empty); the numbers list_hscode keeps beside some of them
// are derived from these texts.
using Field = tariff::TariffField;
inline constexpr int kFieldCount = tariff::kTariffFieldCount;
using LineFields = std::array<QString, kFieldCount>;

inline const QString &fieldOf(const LineFields &fields, Field f) { return fields[size_t(f)]; }

// What a change is, for the counts and the filter of the preview.
enum class ChangeKind {
    Added,
    Removed,
    Renamed,
    Rate,
    Unit,
    Supervision,
    Inspection,
    Elements,
    Chapter,   // a new chapter, or a chapter's name from the chapters file
    Machinery, // a foreign-trade code moved into or out of the machinery sections (m_flag)
};
inline constexpr int kChangeKindCount = 10;

// The two code lists an edition changes: list_hscode and list_jmwcode (tariff::listLabel names them).
using CodeList = tariff::ListKind;

ChangeKind kindOf(Field field);
QString kindLabel(ChangeKind kind);

// One 10-digit line of an edition file.
struct EditionLine {
    int line = 0; // where the record ends in the file, as the generator counts lines
    QString code;
    LineFields fields;
};

// One chapter of a chapters file.
struct EditionChapter {
    int line = 0;
    QString code;
    QString name;
    QString label;
    int itemCount = 0;
};

// A heading or subheading (4 or 6 digits) of a chapters file with its Chinese name.
struct EditionHeadingName {
    int line = 0;
    QString code;
    QString name;
};

// One chapter, heading or subheading of a foreign-trade list (db/harmonized-system.csv).
struct TradeCode {
    int line = 0;
    QString code;    // 2, 4 or 6 digits
    QString name;    // the description (English)
    QString section; // the WCO section, I to XXI
};

// What was read from an edition's files, checked.
struct EditionFile {
    CodeList list = CodeList::Customs;
    QString path;
    QString chaptersPath;           // empty when no chapters file was given
    QVector<EditionLine> lines;     // in file order
    QVector<EditionChapter> chapters;
    QVector<EditionHeadingName> headingNames; // the chapters file's 4- and 6-digit rows
    QVector<TradeCode> tradeCodes;  // a foreign-trade list, in file order
    QStringList extraColumns;       // columns of the file that are not read
};

} // namespace edition
