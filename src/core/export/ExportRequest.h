#pragma once

#include "core/export/ExportColumns.h"

#include <QString>

namespace kivexport {

// What the export dialog is asked to take away, and how.
enum class What {
    Node,          // the selected tree item with everything below it
    Sheet,         // the declarant's sheet of the selected code (printing only)
    FindResults,   // the find dialog's result list
    SearchResults, // the search field's result list
    WholeCustoms,  // list_hscode
    WholeForeign,  // list_jmwcode
};

enum class Format { Xlsx, Csv, Pdf };

namespace ExportRequest {

QString suffix(Format format);             // ".xlsx", ".csv", ".pdf"
// The format a file name asks for by its suffix; fallback when it names none of ours.
Format formatOf(const QString &path, Format fallback);
// The path with the format's suffix: kept when it has it, replaced when it has another of
// ours, added otherwise.
QString withSuffix(const QString &path, Format format);
// A file name (without folder) for an export: the list or the code and its name, with the
// characters a file name cannot hold replaced and its length kept within the file system's
// limit.
QString fileName(What what, const QString &code, const QString &name, Format format);

// Profile keys of the export's choices (section "export").
QString profileSection();

} // namespace ExportRequest

} // namespace kivexport
