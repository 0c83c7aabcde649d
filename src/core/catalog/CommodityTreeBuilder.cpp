#include "core/catalog/CommodityTreeBuilder.h"

#include "core/runtime/DataView.h"
#include "core/runtime/TreeModel.h"

#include <QHash>

#include <algorithm>

namespace {
constexpr int kRootPicture = 1;
constexpr int kSelectedPicture = 6;
constexpr int kLastPicture = 6;
}

CommodityTreeBuilder::Variant CommodityTreeBuilder::customs()
{
    return {QStringLiteral("海关商品树"), QStringLiteral("code"), QStringLiteral("name")};
}

CommodityTreeBuilder::Variant CommodityTreeBuilder::foreignTrade()
{
    return {QStringLiteral("外经贸局商品树"), QStringLiteral("jmw_code"), QStringLiteral("name")};
}

QString CommodityTreeBuilder::unknownName()
{
    return QStringLiteral("*未知名称");
}

QString CommodityTreeBuilder::label(const QString &code, const QString &name)
{
    return QLatin1Char('[') + code + QLatin1Char(']') + name;
}

int CommodityTreeBuilder::pictureIndex(int codeLength)
{
    return std::min(codeLength / 2 + 1, kLastPicture);
}

long CommodityTreeBuilder::build(runtime::DataView &rows, runtime::TreeModel &model, const Variant &variant)
{
    model.beginBulkUpdate();
    model.deleteAllItems();

    // One record, filled anew for every insert.
    runtime::TreeItem item;
    item.label = variant.rootLabel;
    item.data = QStringLiteral("0");
    item.pictureIndex = kRootPicture;
    item.selectedPictureIndex = kSelectedPicture;
    const long root = model.insertItemFirst(0, item);
    if (root < 0) {
        model.endBulkUpdate();
        return -1;
    }

    const int codeColumn = rows.columnNumber(variant.codeColumn);
    const int nameColumn = rows.columnNumber(variant.nameColumn);
    const int handleColumn = rows.columnNumber(QStringLiteral("handle"));
    const long rowCount = rows.rowCount();
    model.reserve(static_cast<int>(std::min<long>(rowCount + 1, 1 << 24)));

    QHash<QString, long> itemOfCode;
    itemOfCode.reserve(static_cast<qsizetype>(rowCount));
    long result = root;
    for (long row = 1; row <= rowCount; ++row) {
        const QVariant codeValue = rows.item(row, codeColumn);
        if (!codeValue.isValid() || codeValue.isNull())
            continue;
        const QString code = codeValue.toString();
        if (code.isEmpty())
            continue;
        const QVariant nameValue = rows.item(row, nameColumn);
        const QString name = (!nameValue.isValid() || nameValue.isNull()) ? unknownName() : nameValue.toString();

        long parent = root;
        if (code.size() > 2) {
            for (qsizetype length = code.size() - 1; length >= 1; --length) {
                const auto found = itemOfCode.constFind(code.left(length));
                if (found != itemOfCode.constEnd()) {
                    parent = found.value();
                    break;
                }
            }
        }

        item.label = label(code, name);
        item.data = code;
        item.pictureIndex = pictureIndex(static_cast<int>(code.size()));
        item.selectedPictureIndex = kSelectedPicture;
        const long handle = model.insertItemLast(parent, item);
        if (handle < 0) {
            result = -1;
            break;
        }
        if (handleColumn > 0)
            rows.setItem(row, handleColumn, QVariant::fromValue<qint32>(static_cast<qint32>(handle)));
        // A repeated code keeps its first item as the parent of what follows.
        if (!itemOfCode.contains(code))
            itemOfCode.insert(code, handle);
    }
    model.endBulkUpdate();
    return result;
}
