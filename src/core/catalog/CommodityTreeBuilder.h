#pragma once

#include "core/catalog/TreeCodes.h"
#include "core/runtime/ColumnStore.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

namespace runtime {
class DataView;
class TreeModel;
}

// Builds a commodity tree from the rows of a detail view: one item per row with a code,
// nested by code, and writes each item's handle into its row's `handle` column.
//
// Each item goes under the item of its longest code prefix already in the tree (a chapter
// under the root; a code with no such prefix under the root). The rows come ordered by
// code, so every prefix row precedes the rows it heads. With complete levels this is the
// same as nesting by code length; it also places codes that skip a level (10-digit codes
// right after their 6-digit subheading) under their own prefix.
class CommodityTreeBuilder
{
public:
    struct Variant {
        QString rootLabel;   // "海关商品树" / "外经贸局商品树"
        QString codeColumn;  // "code" / "jmw_code"
        QString nameColumn;  // "name"
    };

    static Variant customs();
    static Variant foreignTrade();

    // Text shown for a row without a name.
    static QString unknownName();
    // "[" + code + "]" + name.
    static QString label(QStringView code, QStringView name);
    // Picture of a code's item: its level (length / 2) + 1, at most 6; the root has 1.
    static int pictureIndex(int codeLength);

    // Empties the model and builds the tree. Returns the root item's handle, or -1 when
    // an insert fails. Rows whose code is null or empty get no item and keep `handle` 0.
    static long build(runtime::DataView &rows, runtime::TreeModel &model, const Variant &variant);

    // The codes and names the tree built from these rows holds, as TreeCodes::entries gives
    // them (parents before children, in the tree's order; handles 0), worked out from the rows
    // alone, so that another thread can do it. Columns are 0-based. A code or name the rows keep
    // in place is referred to, not copied: keep a copy of `rows` as long as the entries.
    static QList<TreeCodes::Entry> entries(const runtime::ColumnStore &rows, int codeColumn, int nameColumn);

private:
    static QString nameAt(const runtime::DataView &rows, long row, int nameColumn);
    // The model's labels made from the rows when shown (the item's code and its row's name).
    static void makeLabelsFromRows(runtime::DataView &rows, runtime::TreeModel &model, const Variant &variant);
};
