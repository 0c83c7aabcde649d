#include "core/library/ItemExport.h"

#include "core/export/CsvWriter.h"
#include "core/export/XlsxWriter.h"
#include "core/library/ItemImport.h"
#include "core/library/ItemListModel.h"

namespace library {

kivexport::ExportSheet ItemExport::sheetOf(const QList<Item> &items, const QHash<QString, QString> &tariffNames)
{
    kivexport::ExportSheet sheet;
    sheet.title = QStringLiteral("商品归类库");
    sheet.headers = ItemImport::columns() << QStringLiteral("税则名称") << QStringLiteral("状态");
    sheet.rows.reserve(items.size());
    for (const Item &it : items)
        sheet.rows.append({it.partNumber, it.name, it.model, it.code, it.elementValues, it.reason,
                           tariffNames.value(it.code), ItemListModel::stateText(it)});
    return sheet;
}

kivexport::WriteResult ItemExport::write(const QString &path, const QList<Item> &items,
                                         const QHash<QString, QString> &tariffNames)
{
    const QList<kivexport::ExportSheet> sheets{sheetOf(items, tariffNames)};
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        return kivexport::XlsxWriter::write(path, sheets, nullptr);
    return kivexport::CsvWriter::write(path, sheets, nullptr);
}

} // namespace library
