#pragma once

#include "core/runtime/DataViewDefinition.h"

// The four data views over the commodity tables.
//
// Detail views hold the rows of the selected chapters (a chapter is selected when its
// two-character row has flag 'Y'), ordered by code, each followed by the computed column
// `handle` (0 from the query; the tree builder writes the tree item's handle into it).
// Option views hold the chapter rows only and update their flag by key.

runtime::DataViewDefinition d_detail_hgats();
runtime::DataViewDefinition d_detail_wmats();
runtime::DataViewDefinition d_option_hgats();
runtime::DataViewDefinition d_option_wmats();

// A view definition by its name ("d_detail_hgats", ...); an empty definition when unknown.
runtime::DataViewDefinition dataViewByName(const QString &name);
