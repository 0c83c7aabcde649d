#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace runtime {

// The description of one tree item, as callers read and write it. The same record can be
// filled once and reused for many inserts.
struct TreeItem {
    QString label;
    QVariant data;                 // any value the owner attaches to the item
    int pictureIndex = 0;          // index into the view's picture list, from 1; 0 = none
    int selectedPictureIndex = 0;  // picture shown while the item is selected; 0 = pictureIndex
    int statePictureIndex = 0;     // index into the view's state-picture list, from 1; 0 = none
    int overlayPictureIndex = 0;   // kept for the owner; not drawn
    bool bold = false;
    bool expanded = false;         // reported by getItem; setItem ignores it (use expandItem)
    bool hasChildren = false;      // reported by getItem; setItem ignores it
    long handle = 0;               // reported by getItem; insert and setItem ignore it
};

// How findItem moves from an item.
enum class TreeNavigation {
    Root,      // the first top-level item (the handle is not used)
    Child,     // the first child of the item; handle 0 = the first top-level item
    Next,      // the next sibling
    Previous,  // the previous sibling
    Parent,    // the parent; -1 for a top-level item
    Current,   // the selected item (the handle is not used)
};

// A tree of items addressed by handles. A handle is a number > 0 that names one item until
// that item (or one of its ancestors) is deleted; handles are never reused, so a stale handle
// simply fails. Parent handle 0 means the top level. Operations return 1 or a handle on
// success and -1 on failure.
//
// Items live in one vector indexed by handle, so resolving a handle costs O(1) and inserting
// the last child of an item is amortised O(1). Bulk updates (begin/endBulkUpdate) run inside
// one model reset, so that views do no work per insert while a big tree is built.
class TreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Role {
        HandleRole = Qt::UserRole + 1,
        ItemDataRole,
        PictureIndexRole,
        SelectedPictureIndexRole,
        StatePictureIndexRole,
        OverlayPictureIndexRole,
        MarkRole, // true for a marked item (see setMarkedData)
    };

    explicit TreeModel(QObject *parent = nullptr);
    ~TreeModel() override;

    // Inserting. Each returns the new item's handle, or -1 when the parent (or the sibling
    // named by `after`) does not exist.
    long insertItemFirst(long parentHandle, const TreeItem &item);
    long insertItemLast(long parentHandle, const TreeItem &item);
    long insertItemSort(long parentHandle, const TreeItem &item); // by label, case-insensitive
    long insertItemAfter(long parentHandle, long afterHandle, const TreeItem &item);

    int getItem(long handle, TreeItem &item) const;
    int setItem(long handle, const TreeItem &item);
    // Deletes the item with all its descendants.
    int deleteItem(long handle);
    int deleteAllItems();

    long findItem(TreeNavigation navigation, long handle) const;
    bool isValidHandle(long handle) const;
    int itemCount() const { return m_count; }
    int childCount(long handle) const; // handle 0 = the top level; -1 for a bad handle

    // The model index of a handle (invalid for 0 or a bad handle) and back (0 for invalid).
    QModelIndex index(long handle) const;
    long handle(const QModelIndex &index) const;

    // The row of a data view an item stands for (0 for none), and the version of the rows
    // (DataView::rowsVersion) those numbers belong to; deleting all items forgets both, and
    // giving an item other data forgets its row.
    void setDataRow(long handle, long row);
    long dataRow(long handle) const; // -1 when not known or for a bad handle
    void setDataRowsVersion(quint64 version) { m_dataRowsVersion = version; }
    quint64 dataRowsVersion() const { return m_dataRowsVersion; }

    // Labels made when they are asked for, from what the owner holds, instead of a text kept
    // per item: a big tree's labels repeat its rows. setLabelMade(handle) drops an item's
    // label and has the maker make it from the item's handle and data; giving the item a
    // label (setItem) keeps that label again. Without a maker a made label is empty.
    using LabelMaker = std::function<QString(long handle, const QVariant &data)>;
    void setLabelMaker(LabelMaker maker) { m_labelMaker = std::move(maker); }
    int setLabelMade(long handle);
    int setLabel(long handle, const QString &label); // kept, no longer made
    QString label(long handle) const; // empty for a bad handle
    bool isBold(long handle) const;   // false for a bad handle

    // The selected item, kept here by the view that shows the model.
    void setCurrentHandle(long handle);
    long currentHandle() const;

    // Marks every item whose data is one of the texts: the view draws a small mark after its
    // label, and its accessible description says what the mark means. The labels, pictures and
    // state pictures stay as they are. Items added later are marked by the same texts.
    void setMarkedData(const QSet<QString> &values, const QString &description);
    bool isMarked(long handle) const;

    // Expansion as recorded by the view; survives a bulk update.
    void setExpandedFlag(long handle, bool expanded);
    bool isExpandedFlag(long handle) const;
    QList<long> expandedHandles() const;

    // While at least one bulk update is open, changes emit no per-item signals; closing the
    // last one ends a single model reset. Nesting is allowed.
    void beginBulkUpdate();
    void endBulkUpdate();
    bool inBulkUpdate() const { return m_bulkDepth > 0; }
    // Room for this many items in total, to spare reallocations in a big build.
    void reserve(int itemCount);

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    // An item as kept: a tree holds one per row of its list, so it is kept small; its label,
    // when kept rather than made, lives in m_labels.
    struct Node {
        QVariant data;
        std::unique_ptr<std::vector<long>> children; // none until the first child comes
        long parent = 0;
        int row = 0;
        int dataRow = -1;
        int pictureIndex = 0;
        int selectedPictureIndex = 0;
        int statePictureIndex = 0;
        int overlayPictureIndex = 0;
        bool bold = false;
        bool alive = false;
        bool expanded = false;
        bool labelMade = false;
    };
    void keep(long handle, Node &node, const TreeItem &item);

    Node *node(long handle);
    const Node *node(long handle) const;
    // The children of an item (null for a bad handle), and the same made ready for a change.
    const std::vector<long> *siblingsOf(long parentHandle) const;
    std::vector<long> *siblingsToChange(long parentHandle);
    long insertAt(long parentHandle, int position, const TreeItem &item);
    void renumber(std::vector<long> &siblings, int from);
    void releaseSubtree(long handle);
    QString labelOf(long handle, const Node &node) const;

    std::vector<Node> m_nodes; // m_nodes[i] holds handle m_base + i
    long m_base = 1;
    std::vector<long> m_topLevel;
    int m_count = 0;
    int m_bulkDepth = 0;
    long m_current = 0;
    quint64 m_dataRowsVersion = 0;
    QSet<long> m_expanded;
    QHash<long, QString> m_labels; // the labels kept (not made), by handle; none when empty
    QSet<QString> m_marked;
    QString m_markDescription;
    LabelMaker m_labelMaker;
};

} // namespace runtime
