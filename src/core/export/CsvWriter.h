#pragma once

#include "core/export/ExportProgress.h"
#include "core/export/ExportTable.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kivexport {

// CSV as Excel opens it without asking: UTF-8 with a byte-order mark, RFC 4180 quoting, CR LF
// line ends. Several lists go into one file one after the other, each list's rows under the
// one header (the list column tells them apart when chosen).
class CsvWriter
{
public:
    // Writes the file through a temporary one beside it (QSaveFile): on failure or cancel the
    // old file stays as it was.
    static WriteResult write(const QString &path, const QList<ExportSheet> &sheets, ExportProgress *progress);

    // One field as written: quoted when it holds a comma, quote or line break, its quotes
    // doubled; a field that begins with = + - @ gets a leading ' so that a spreadsheet shows
    // it as text instead of running it as a formula.
    static QString field(const QString &text);
    // One record: the fields joined by ',' with CR LF at the end.
    static QByteArray record(const QStringList &fields);
};

} // namespace kivexport
