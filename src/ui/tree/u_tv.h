#pragma once

#include "ui/runtime/LayoutUnits.h"
#include "ui/runtime/TreeView.h"

#include <QList>
#include <QStringList>
#include <QVariantList>
#include <QtGlobal>

// The Win32 POINT: two 32-bit fields, no gaps.
struct os_point {
    qint32 l_x = 0;
    qint32 l_y = 0;
};

// The Win32 TVHITTESTINFO: the point (client pixels, filled by the caller), the hit flags and
// the item hit (0 = none), both filled by the control.
struct os_tvhittestinfo {
    os_point str_pt;
    qint32 l_flags = 0;
    qint32 l_hitem = 0;
};

static_assert(sizeof(os_point) == 8, "os_point is laid out as POINT");
static_assert(sizeof(os_tvhittestinfo) == 16, "os_tvhittestinfo is laid out as TVHITTESTINFO");

// The tree control of both commodity trees: the standard tree view with a default look, and
// state icons (check boxes and radio buttons) that a click toggles without moving the
// selection.
//
// State picture indexes: 0 none, 1 check box off, 2 check box on, 3 radio button off,
// 4 radio button on. Indexes 2 and 4 count as checked. Radio buttons are grouped by parent.
//
// The control's event handlers are the on... functions; the constructor connects them to the
// view's signals, before any owner can connect its own.
class u_tv : public runtime::TreeView
{
    Q_OBJECT
public:
    static constexpr uint tvm_hittest = 4369;         // TVM_HITTEST
    static constexpr uint tvht_onitemstateicon = 64;  // TVHT_ONITEMSTATEICON

    explicit u_tv(QWidget *parent = nullptr);

    // Event handlers.
    long onConstructor();
    // xpos, ypos: the pointer in the client area, in layout units. flags: the mouse buttons
    // and keys as the MK_ bits of Windows (not read).
    long onMouseMove(uint flags, int xpos, int ypos);
    // The result of the toggle, or 0 when the last hit test was not on a state icon.
    long onClicked(long handle);
    // 1 refuses the change of selection, 0 allows it.
    long onSelectionChanging(long oldhandle, long newhandle);

    // The hit-test message sent to the control's own window: fills lparam for msg
    // tvm_hittest and returns the item hit; 0 for any other window or message.
    long hitmsg(long hwindow, uint msg, long wparam, os_tvhittestinfo &lparam);

    bool of_isselected(long al_handle);
    int of_selectitem(long al_handle, bool ab_switch);
    int of_selectall(long al_root);
    int of_selectall();
    int of_deselectall(long al_root);
    int of_deselectall();
    int of_getselecteditems(long al_root, QVariantList &aa_data);
    int of_getselecteditems(QVariantList &aa_data);
    int of_getselecteditems(long al_root, QList<long> &al_handles);
    int of_getselecteditems(QList<long> &al_handles);
    int of_getselecteditems(long al_root, QStringList &as_strings);
    int of_getselecteditems(QStringList &as_strings);

    // The instance variables, for reading.
    bool stateClick() const { return ib_stateclick; }
    long controlHandle() const { return il_handle; }

protected:
    // True while the last hit test over an item found the pointer on that item's state icon.
    bool ib_stateclick = false;
    // The control's own window handle: here the identity of the control.
    long il_handle = 0;

private:
    void applyDefaultLook();
    // Runs process on every child of al_root (one level), as the of_ functions share it.
    template<typename Process>
    void forEachChild(long al_root, Process process);
    // Runs the al_root variant on every top-level item: 1, or 0 when the tree is empty.
    template<typename Variant>
    int forEachTopLevel(Variant variant);

    runtime::LayoutUnits m_units;
};
