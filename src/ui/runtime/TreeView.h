#pragma once

#include "core/runtime/TreeModel.h"

#include <QColor>
#include <QIcon>
#include <QList>
#include <QSize>
#include <QTreeView>

namespace runtime {

class TreeColumnWidth;

// Where a point lies relative to the tree's items. The values are those of the Win32
// tree view's hit test, so that code written against it reads the same.
enum TreeHitFlag : int {
    HitNowhere = 0x0001,          // in the client area, below the last item
    HitOnItemIcon = 0x0002,
    HitOnItemLabel = 0x0004,
    HitOnItemIndent = 0x0008,
    HitOnItemButton = 0x0010,     // the expand/collapse button
    HitOnItemRight = 0x0020,      // right of the label
    HitOnItemStateIcon = 0x0040,
    HitAbove = 0x0100,
    HitBelow = 0x0200,
    HitToRight = 0x0400,
    HitToLeft = 0x0800,
};

struct TreeHitTest {
    long handle = 0; // the item in the row of the point; 0 = none
    int flags = 0;   // TreeHitFlag values
};

// One picture list of a tree view: pictures by stock name or file, numbered from 1.
struct TreePictureList {
    QList<QIcon> pictures;
    QSize size{16, 16};
    QColor maskColor;  // on pictures without transparency, this colour becomes transparent
};

// A tree view over a TreeModel: its own, or one it is given. Items are addressed by handle; each item shows
// its state picture, then its picture (the selected picture while it is selected), then its
// label. Selection is single and follows the current item, as in the original tree control:
// every change of it is announced first (selectionChanging, which a handler can refuse) and
// then reported (selectionChanged), whether the user or the program made it.
class TreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit TreeView(QWidget *parent = nullptr);
    ~TreeView() override;

    TreeModel *treeModel() const { return m_model; }
    // Shows a model owned elsewhere instead of the view's own (which goes). The model must
    // outlive the view or be given to no other view.
    void setTreeModel(TreeModel *model);

    // Items; the same contracts as TreeModel's.
    long insertItemFirst(long parentHandle, const TreeItem &item);
    long insertItemLast(long parentHandle, const TreeItem &item);
    long insertItemSort(long parentHandle, const TreeItem &item);
    long insertItemAfter(long parentHandle, long afterHandle, const TreeItem &item);
    int getItem(long handle, TreeItem &item) const;
    int setItem(long handle, const TreeItem &item);
    int deleteItem(long handle);
    int deleteAllItems();
    long findItem(TreeNavigation navigation, long handle) const;
    int itemCount() const;

    // Selects the item and makes it current, expanding its ancestors and scrolling it into
    // view. 1, or -1 for a bad handle or when a selectionChanging handler refused.
    int selectItem(long handle);
    long selectedHandle() const { return m_selectedHandle; }
    int expandItem(long handle);
    int collapseItem(long handle);
    bool isItemExpanded(long handle) const;

    // Redraw off suspends painting and per-item model signals (one model reset at the end),
    // for bulk builds. Expansions and the selection made meanwhile are applied when redraw
    // comes back on.
    void setRedraw(bool redraw);
    bool redraw() const { return m_redraw; }

    // Picture lists. A name ending in "!" is a stock picture, anything else a file (a
    // relative path is read from the working directory; a picture bundled under that file
    // name is the fallback). Each add returns the new index (from 1), or -1 when the picture
    // cannot be found; a blank entry then keeps later indexes where the caller expects them.
    int addPicture(const QString &name);
    void deletePictures();
    int pictureCount() const { return static_cast<int>(m_pictures.pictures.size()); }
    QIcon picture(int index) const;
    void setPictureSize(const QSize &size);
    QSize pictureSize() const { return m_pictures.size; }
    void setPictureMaskColor(const QColor &color) { m_pictures.maskColor = color; }
    QColor pictureMaskColor() const { return m_pictures.maskColor; }

    int addStatePicture(const QString &name);
    void deleteStatePictures();
    int statePictureCount() const { return static_cast<int>(m_statePictures.pictures.size()); }
    QIcon statePicture(int index) const;
    void setStatePictureSize(const QSize &size);
    QSize statePictureSize() const { return m_statePictures.size; }
    void setStatePictureMaskColor(const QColor &color) { m_statePictures.maskColor = color; }
    QColor statePictureMaskColor() const { return m_statePictures.maskColor; }

    // Hit test of a point in viewport coordinates (the tree's client area).
    TreeHitTest hitTest(const QPoint &point) const;
    // Where an item's parts are drawn, in viewport coordinates; empty when the item is not
    // laid out or has no such part.
    QRect statePictureRect(long handle) const;
    QRect pictureRect(long handle) const;
    QRect labelRect(long handle) const;

    // Loads one picture as a picture list does (stock name or file, with a mask colour).
    static QIcon loadPicture(const QString &name, const QColor &maskColor = QColor());

signals:
    // Note: these hide QAbstractItemView's index-based signals of the same names, which stay
    // reachable as &QAbstractItemView::clicked and so on.
    void clicked(long handle);
    void doubleClicked(long handle);
    void rightClicked(long handle);
    // A handler sets *refuse to true to keep the selection where it is; none clears it.
    void selectionChanging(long oldHandle, long newHandle, bool *refuse);
    void selectionChanged(long oldHandle, long newHandle);
    // Every pointer movement over the client area, in viewport coordinates.
    void mouseMoved(const QPoint &position, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

protected:
    void changeEvent(QEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    friend class TreeSelectionModel;
    friend class TreeColumnWidth; // lays items out with the view's own style option

    struct ItemGeometry {
        QRect item;    // the whole item cell
        QRect state;   // state picture with its margins; empty when the item has none
        QRect picture; // empty when the tree has no picture list
        QRect label;   // the text as wide as it is drawn
    };
    bool itemGeometry(const QModelIndex &index, ItemGeometry &geometry) const;
    bool refuseSelectionChange(long oldHandle, long newHandle);
    void restoreAfterReset();
    long handleAt(const QPoint &point) const;
    static int addTo(TreePictureList &list, const QString &name);
    // Follows the shown model's resets and item changes (again after setTreeModel).
    void connectModel();

    TreeModel *m_model = nullptr;
    TreeColumnWidth *m_columnWidth = nullptr;
    TreePictureList m_pictures;
    TreePictureList m_statePictures;
    long m_selectedHandle = 0;
    long m_rightPressHandle = 0;
    bool m_redraw = true;
    bool m_restoring = false;
    QList<QMetaObject::Connection> m_modelConnections;
};

} // namespace runtime
