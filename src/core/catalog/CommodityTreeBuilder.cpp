#include "core/catalog/CommodityTreeBuilder.h"

#include "core/catalog/ItemRows.h"
#include "core/runtime/DataView.h"
#include "core/runtime/TextHash.h"
#include "core/runtime/TreeModel.h"

#include <QHash>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace {
constexpr int kRootPicture = 1;
constexpr int kSelectedPicture = 6;
constexpr int kLastPicture = 6;

// A code as a key of the builders' maps: a view of characters a code kept elsewhere holds.
struct CodeKey {
    QStringView text;
    bool operator==(const CodeKey &other) const { return text == other.text; }
};

size_t qHash(const CodeKey &key, size_t seed = 0)
{
    return runtime::textHash(key.text, seed);
}
} // namespace

QString CommodityTreeBuilder::nameAt(const runtime::DataView &rows, long row, int nameColumn)
{
    const QVariant name = rows.item(row, nameColumn);
    return (!name.isValid() || name.isNull()) ? unknownName() : name.toString();
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

QString CommodityTreeBuilder::label(QStringView code, QStringView name)
{
    // One allocation: a tree's labels are made whenever they are shown or measured.
    QString text;
    text.reserve(code.size() + name.size() + 2);
    text.append(QLatin1Char('[')).append(code).append(QLatin1Char(']')).append(name);
    return text;
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
    const QString rootData = QStringLiteral("0");
    item.label = variant.rootLabel;
    item.data = rootData;
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
    makeLabelsFromRows(rows, model, variant);
    const long rowCount = rows.rowCount();
    model.reserve(static_cast<int>(std::min<long>(rowCount + 1, 1 << 24)));

    // The first item and the first row of every code, keyed by the code's characters as the
    // codes below keep them: a prefix is looked up without being copied.
    struct FirstOfCode {
        long handle;
        long row;
        bool repeated;
    };
    QList<QString> codes;
    codes.reserve(static_cast<qsizetype>(rowCount));
    QHash<CodeKey, FirstOfCode> itemOfCode;
    itemOfCode.reserve(static_cast<qsizetype>(rowCount));
    // Each item remembers the first row with its code, the row a search for that code finds;
    // only while every code is text, as the search compares texts only then.
    bool allText = true;
    long result = root;
    // Every row's handle, written in one go after the loop: one by one, each write changed
    // the column's form and announced itself.
    QVector<long> handleRows;
    QVector<QVariant> handles;
    if (handleColumn > 0) {
        handleRows.reserve(rowCount);
        handles.reserve(rowCount);
    }
    for (long row = 1; row <= rowCount; ++row) {
        const QVariant codeValue = rows.item(row, codeColumn);
        if (!codeValue.isValid() || codeValue.isNull())
            continue;
        const QString code = codeValue.toString();
        if (code.isEmpty())
            continue;
        allText = allText && codeValue.typeId() == QMetaType::QString;
        const auto first = itemOfCode.find(CodeKey{code});
        // The first item of a code stands for that code's first row: its label is made from
        // there when shown (see makeLabelsFromRows); a repeated code's items keep their own.
        const bool firstOfCode = first == itemOfCode.end();

        long parent = root;
        if (code.size() > 2) {
            for (qsizetype length = code.size() - 1; length >= 1; --length) {
                const auto found = itemOfCode.constFind(CodeKey{QStringView(code).left(length)});
                if (found != itemOfCode.constEnd()) {
                    parent = found.value().handle;
                    break;
                }
            }
        }

        item.label = firstOfCode ? QString() : label(code, nameAt(rows, row, nameColumn));
        item.data = code;
        item.pictureIndex = pictureIndex(static_cast<int>(code.size()));
        item.selectedPictureIndex = kSelectedPicture;
        const long handle = model.insertItemLast(parent, item);
        if (handle < 0) {
            result = -1;
            break;
        }
        if (handleColumn > 0) {
            handleRows.append(row);
            handles.append(QVariant::fromValue<qint32>(static_cast<qint32>(handle)));
        }
        // A repeated code keeps its first item as the parent of what follows.
        if (firstOfCode) {
            model.setLabelMade(handle);
            model.setDataRow(handle, row);
            codes.append(code); // keeps the key's characters
            itemOfCode.insert(CodeKey{codes.constLast()}, {handle, row, false});
        } else {
            model.setDataRow(handle, first.value().row);
            first.value().repeated = true;
        }
    }
    if (!handleRows.isEmpty()) {
        const bool redraw = rows.redraw();
        rows.setRedraw(false); // the views hear of it once
        rows.setItems(handleColumn, handleRows, handles);
        rows.setRedraw(redraw);
    }
    model.setDataRow(root, itemOfCode.value(CodeKey{rootData}, {0, 0, false}).row);
    // A made label shows the first row holding the code: a repeated code's first item keeps
    // the name of its own row, whichever comes first later. Without the rows' numbers a made
    // label would search for its row every time: the labels are kept then, too.
    const bool rowsNumbered = result > 0 && allText;
    if (rowsNumbered)
        model.setDataRowsVersion(rows.rowsVersion());
    for (auto it = itemOfCode.cbegin(); it != itemOfCode.cend(); ++it)
        if (it.value().handle != root && (!rowsNumbered || it.value().repeated))
            model.setLabel(it.value().handle, label(it.key().text, nameAt(rows, it.value().row, nameColumn)));
    model.endBulkUpdate();
    return result;
}

void CommodityTreeBuilder::makeLabelsFromRows(runtime::DataView &rows, runtime::TreeModel &model,
                                              const Variant &variant)
{
    const QPointer<runtime::DataView> source(&rows);
    const runtime::TreeModel *tree = &model;
    model.setLabelMaker([source, tree, variant](long handle, const QVariant &data) {
        const QString code = data.toString();
        if (!source)
            return label(code, unknownName());
        const long row = ItemRows::rowOf(*tree, *source, handle, variant.codeColumn, code);
        if (row <= 0)
            return label(code, unknownName());
        const int nameColumn = source->columnNumber(variant.nameColumn);
        QStringView name;
        if (source->viewText(row, nameColumn, &name)) // read in place, not copied first
            return label(code, name);
        return label(code, nameAt(*source, row, nameColumn));
    });
}

namespace {
// A cell's text; a text the rows keep in place is not copied but referred to, so that the
// caller must keep the rows (a copy of the store) as long as it keeps the text.
QString textIn(const runtime::ColumnStore &rows, int row, int column)
{
    QStringView view;
    if (rows.viewText(row, column, &view))
        return QString::fromRawData(view.data(), view.size());
    const QVariant value = rows.value(row, column);
    return value.isValid() && !value.isNull() ? value.toString() : QString();
}
} // namespace

QList<TreeCodes::Entry> CommodityTreeBuilder::entries(const runtime::ColumnStore &rows, int codeColumn,
                                                      int nameColumn)
{
    if (codeColumn < 0 || codeColumn >= rows.columnCount())
        return {};
    const bool named = nameColumn >= 0 && nameColumn < rows.columnCount();
    // The same nesting as build(): each code under the first item of its longest prefix.
    struct Node {
        QString code;
        QString name;
        std::vector<int> children;
    };
    std::vector<Node> nodes(1); // nodes[0] is the root
    QHash<CodeKey, int> nodeOfCode; // the keys are views of the nodes' codes
    nodeOfCode.reserve(rows.rowCount());
    for (int row = 0; row < rows.rowCount(); ++row) {
        const QString code = textIn(rows, row, codeColumn);
        if (code.isEmpty())
            continue;
        const QVariant nameValue = named ? rows.value(row, nameColumn) : QVariant();
        int parent = 0;
        for (qsizetype length = code.size() - 1; code.size() > 2 && length >= 1; --length) {
            const auto found = nodeOfCode.constFind(CodeKey{QStringView(code).left(length)});
            if (found != nodeOfCode.constEnd()) {
                parent = found.value();
                break;
            }
        }
        const int created = static_cast<int>(nodes.size());
        nodes.push_back({code, (!nameValue.isValid() || nameValue.isNull()) ? unknownName() : textIn(rows, row, nameColumn), {}});
        nodes[static_cast<std::size_t>(parent)].children.push_back(created);
        // The key refers to `code`, which the node shares: its characters stay where they are
        // however the nodes move.
        if (!nodeOfCode.contains(CodeKey{code}))
            nodeOfCode.insert(CodeKey{code}, created);
    }
    QList<TreeCodes::Entry> out;
    out.reserve(static_cast<qsizetype>(nodes.size()) - 1);
    std::vector<int> pending(nodes[0].children.rbegin(), nodes[0].children.rend());
    while (!pending.empty()) {
        Node &node = nodes[static_cast<std::size_t>(pending.back())];
        pending.pop_back();
        // The name as read back from the item's label, as TreeCodes does it: the row's own text
        // (shared, not copied) unless the code holds the bracket that ends the code's part.
        QString name = node.code.contains(QLatin1Char(']')) ? TreeCodes::nameOfLabel(label(node.code, node.name))
                                                             : std::move(node.name);
        out.append({0, std::move(node.code), std::move(name)});
        pending.insert(pending.end(), node.children.rbegin(), node.children.rend());
    }
    return out;
}
