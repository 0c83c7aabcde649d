#include "ui/tree/u_tv.h"

#include <QColor>
#include <QFont>
#include <QFrame>

using runtime::TreeItem;
using runtime::TreeNavigation;

namespace {
// The state picture indexes.
constexpr int kBoxOff = 1;
constexpr int kBoxOn = 2;
constexpr int kRadioOff = 3;
constexpr int kRadioOn = 4;

// Mouse buttons and keys as the MK_ bits of a Windows mouse message.
uint mouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    uint flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= 0x0001;
    if (buttons & Qt::RightButton)
        flags |= 0x0002;
    if (modifiers & Qt::ShiftModifier)
        flags |= 0x0004;
    if (modifiers & Qt::ControlModifier)
        flags |= 0x0008;
    if (buttons & Qt::MiddleButton)
        flags |= 0x0010;
    return flags;
}
} // namespace

u_tv::u_tv(QWidget *parent)
    : runtime::TreeView(parent)
{
    applyDefaultLook();
    onConstructor();

    connect(this, &runtime::TreeView::mouseMoved, this,
            [this](const QPoint &position, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
                onMouseMove(mouseKeyFlags(buttons, modifiers), m_units.pixelsToUnitsX(position.x()),
                            m_units.pixelsToUnitsY(position.y()));
            });
    connect(this, &runtime::TreeView::clicked, this, [this](long handle) { onClicked(handle); });
    connect(this, &runtime::TreeView::selectionChanging, this,
            [this](long oldHandle, long newHandle, bool *refuse) {
                if (onSelectionChanging(oldHandle, newHandle) == 1)
                    *refuse = true;
            });
}

void u_tv::applyDefaultLook()
{
    resize(m_units.toPixels(QSize(503, 368)));
    // The lowered three-dimensional border.
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);

    // Tahoma, 8 points, normal weight, a proportional sans-serif face; the font matcher
    // picks the nearest face on systems without Tahoma. Labels are drawn as the tree control
    // drew them: without text shaping where their script needs none (Chinese, Latin; others
    // are still shaped), and fully hinted, on whole pixels. Shaping each label that scrolls
    // into view was a quarter of a jump, and glyphs placed between pixels were drawn anew for
    // each position, another quarter on big trees.
    QFont look(QStringLiteral("Tahoma"));
    look.setPointSize(8);
    look.setWeight(QFont::Normal);
    look.setStyleHint(QFont::SansSerif, QFont::StyleStrategy(QFont::PreferDefault | QFont::PreferNoShaping));
    look.setHintingPreference(QFont::PreferFullHinting);
    look.setFixedPitch(false);
    setFont(look);

    deletePictures();
    setPictureSize(QSize(16, 16));
    setPictureMaskColor(QColor(192, 192, 192));
    addPicture(QStringLiteral("DatabaseProfile!"));

    deleteStatePictures();
    setStatePictureSize(QSize(16, 16));
    setStatePictureMaskColor(QColor(255, 255, 255));
    for (const char *file : {"state0.bmp", "state1.bmp", "radio0.bmp", "radio1.bmp"})
        addStatePicture(QString::fromLatin1(file));
}

long u_tv::onConstructor()
{
    il_handle = static_cast<long>(reinterpret_cast<quintptr>(this));
    return 0;
}

long u_tv::hitmsg(long hwindow, uint msg, long wparam, os_tvhittestinfo &lparam)
{
    Q_UNUSED(wparam);
    if (hwindow != il_handle || msg != tvm_hittest)
        return 0;
    const runtime::TreeHitTest hit = hitTest(QPoint(lparam.str_pt.l_x, lparam.str_pt.l_y));
    lparam.l_flags = hit.flags;
    lparam.l_hitem = static_cast<qint32>(hit.handle);
    return lparam.l_hitem;
}

long u_tv::onMouseMove(uint flags, int xpos, int ypos)
{
    Q_UNUSED(flags);
    os_tvhittestinfo info;
    info.str_pt.l_x = m_units.unitsToPixelsX(xpos);
    info.str_pt.l_y = m_units.unitsToPixelsY(ypos);
    hitmsg(il_handle, tvm_hittest, 0, info);
    // Over no item the last answer stands.
    if (info.l_hitem != 0)
        ib_stateclick = static_cast<uint>(info.l_flags) == tvht_onitemstateicon;
    return 0;
}

long u_tv::onClicked(long handle)
{
    if (!ib_stateclick)
        return 0;
    return of_selectitem(handle, !of_isselected(handle));
}

long u_tv::onSelectionChanging(long oldhandle, long newhandle)
{
    Q_UNUSED(oldhandle);
    if (newhandle > 0 && ib_stateclick)
        return 1;
    return 0;
}

bool u_tv::of_isselected(long al_handle)
{
    TreeItem item;
    if (getItem(al_handle, item) < 1)
        return false;
    return item.statePictureIndex == kBoxOn || item.statePictureIndex == kRadioOn;
}

int u_tv::of_selectitem(long al_handle, bool ab_switch)
{
    if (al_handle < 1)
        return 0;
    TreeItem item;
    getItem(al_handle, item);
    if (ab_switch) {
        if (item.statePictureIndex == kBoxOff) {
            item.statePictureIndex = kBoxOn;
            setItem(al_handle, item);
            return 1;
        }
        if (item.statePictureIndex == kRadioOff) {
            item.statePictureIndex = kRadioOn;
            setItem(al_handle, item);
            // Turn off the radio buttons among the siblings, before and after this one.
            for (TreeNavigation direction : {TreeNavigation::Previous, TreeNavigation::Next}) {
                for (long sibling = findItem(direction, al_handle); sibling != -1;
                     sibling = findItem(direction, sibling)) {
                    TreeItem other;
                    getItem(sibling, other);
                    if (other.statePictureIndex == kRadioOn) {
                        other.statePictureIndex = kRadioOff;
                        setItem(sibling, other);
                    }
                }
            }
            return 1;
        }
        return 0;
    }
    // A radio button that is on stays on: only check boxes are turned off here.
    if (item.statePictureIndex == kBoxOn) {
        item.statePictureIndex = kBoxOff;
        setItem(al_handle, item);
        return 1;
    }
    return 0;
}

template<typename Process>
void u_tv::forEachChild(long al_root, Process process)
{
    if (al_root <= 0)
        return;
    long h = findItem(TreeNavigation::Child, al_root);
    do {
        process(h);
        h = findItem(TreeNavigation::Next, h);
    } while (h > 0);
}

template<typename Variant>
int u_tv::forEachTopLevel(Variant variant)
{
    long root = findItem(TreeNavigation::Root, 0);
    if (root < 1)
        return 0;
    do {
        variant(root);
        root = findItem(TreeNavigation::Next, root);
    } while (root > 0);
    return 1;
}

int u_tv::of_selectall(long al_root)
{
    forEachChild(al_root, [this](long h) { of_selectitem(h, true); });
    return 0;
}

int u_tv::of_selectall()
{
    return forEachTopLevel([this](long root) { of_selectall(root); });
}

int u_tv::of_deselectall(long al_root)
{
    forEachChild(al_root, [this](long h) {
        TreeItem item;
        if (getItem(h, item) == 1 && item.statePictureIndex == kBoxOn) {
            item.statePictureIndex = kBoxOff;
            setItem(h, item);
        }
    });
    return 0;
}

int u_tv::of_deselectall()
{
    return forEachTopLevel([this](long root) { of_deselectall(root); });
}

int u_tv::of_getselecteditems(long al_root, QVariantList &aa_data)
{
    forEachChild(al_root, [this, &aa_data](long h) {
        TreeItem item;
        if (getItem(h, item) == 1 && (item.statePictureIndex == kBoxOn || item.statePictureIndex == kRadioOn))
            aa_data.append(item.data);
    });
    return 0;
}

int u_tv::of_getselecteditems(QVariantList &aa_data)
{
    return forEachTopLevel([this, &aa_data](long root) { of_getselecteditems(root, aa_data); });
}

int u_tv::of_getselecteditems(long al_root, QList<long> &al_handles)
{
    forEachChild(al_root, [this, &al_handles](long h) {
        if (of_isselected(h))
            al_handles.append(h);
    });
    return 0;
}

int u_tv::of_getselecteditems(QList<long> &al_handles)
{
    return forEachTopLevel([this, &al_handles](long root) { of_getselecteditems(root, al_handles); });
}

int u_tv::of_getselecteditems(long al_root, QStringList &as_strings)
{
    forEachChild(al_root, [this, &as_strings](long h) {
        TreeItem item;
        if (getItem(h, item) == 1 && (item.statePictureIndex == kBoxOn || item.statePictureIndex == kRadioOn))
            as_strings.append(item.label);
    });
    return 0;
}

int u_tv::of_getselecteditems(QStringList &as_strings)
{
    return forEachTopLevel([this, &as_strings](long root) { of_getselecteditems(root, as_strings); });
}
