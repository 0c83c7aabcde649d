#pragma once

#include "core/export/ExportProgress.h"
#include "core/export/ExportTable.h"
#include "core/library/Item.h"

#include <QHash>
#include <QList>
#include <QString>

namespace library {

// The library written out for Excel through the export's writers: the columns an import reads
// (料号, 品名, 规格型号, 商品编码, 申报要素, 归类依据) and, after them, the code's tariff name and
// the item's state, so that a file written here can be read back.
class ItemExport
{
public:
    static kivexport::ExportSheet sheetOf(const QList<Item> &items, const QHash<QString, QString> &tariffNames);
    // CSV or Excel workbook by the file's suffix (.xlsx: Excel, anything else: CSV).
    static kivexport::WriteResult write(const QString &path, const QList<Item> &items,
                                        const QHash<QString, QString> &tariffNames);
};

} // namespace library
