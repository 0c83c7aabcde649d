#pragma once

#include "core/edition/ReadError.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace edition {

// A CSV text with a header, read as Python's csv module reads it in db/make_db.py (strict
// mode): fields separated by commas, "" inside quotes for a quote, records ended by LF, CR LF
// or a lone CR. A blank line, and a record whose fields are all empty or blank (",,,,"), is
// skipped. A record's line is the physical line where it ends, as csv.reader's line_num counts.
class CsvTable
{
public:
    struct Record {
        int line = 0;
        QStringList fields;
    };

    // Parses `text`, checks the header for `required` columns and a column named twice, and
    // every record for the header's number of fields. False with *error (line and message;
    // the caller names the file) otherwise. Progress runs from `from` to `to` per mille.
    bool parse(const QString &text, const QStringList &required, ReadError *error, const Progress &progress = {},
               int from = 0, int to = 1000);
    // Reads `path` (SourceText's checks) and parses it; *error names the file.
    bool readFile(const QString &path, const QStringList &required, ReadError *error, const Progress &progress = {},
                  int from = 0, int to = 1000);

    QStringList header() const { return m_header; }
    const QVector<Record> &records() const { return m_records; }
    // The index of a column in every record; -1 when the header lacks it.
    int column(const QString &name) const { return m_columns.value(name, -1); }
    // A record's field of a column, trimmed as the generator strips it.
    QString value(const Record &record, int column) const { return record.fields.at(column).trimmed(); }

private:
    QStringList m_header;
    QHash<QString, int> m_columns;
    QVector<Record> m_records;
};

} // namespace edition
