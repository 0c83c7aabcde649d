#include "ui/tree/u_tv.h"

#include "TestEnv.h"
#include "support/TestMain.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using runtime::TreeItem;
using runtime::TreeNavigation;

namespace {

enum State { None = 0, BoxOff = 1, BoxOn = 2, RadioOff = 3, RadioOn = 4 };

TreeItem item(const QString &label, int state)
{
    TreeItem record;
    record.label = label;
    record.data = label + QStringLiteral("-data");
    record.pictureIndex = 1;
    record.selectedPictureIndex = 1;
    record.statePictureIndex = state;
    return record;
}

} // namespace

class TestUTv : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void hasTheDefaultLook();
    void hitMessageFillsTheStructure();
    void isSelectedAndSelectItem();
    void radioButtonTurnsItsSiblingsOff();
    void selectAllAndDeselectAllWorkOneLevelDown();
    void getSelectedItemsAppends();
    void emptyTreeAnswersZero();

    void clickOnCheckBoxTogglesWithoutMovingSelection();
    void clickOnRadioButton();
    void clickOnLabelSelectsAndTogglesNothing();
    void restingOnStateIconRefusesEverySelection();
    void emptySpaceKeepsTheLastAnswer();

private:
    long add(long parent, const QString &label, int state)
    {
        return m_tv->insertItemLast(parent, item(label, state));
    }
    int stateOf(long handle)
    {
        TreeItem record;
        return m_tv->getItem(handle, record) == 1 ? record.statePictureIndex : -1;
    }
    void setState(long handle, int state)
    {
        TreeItem record;
        m_tv->getItem(handle, record);
        record.statePictureIndex = state;
        m_tv->setItem(handle, record);
    }
    void show();
    // Moves the pointer to a point of the client area, as the hand does before a click.
    void pointAt(const QPoint &point);
    void clickAt(const QPoint &point);

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<u_tv> m_tv;
};

void TestUTv::init()
{
    m_env = std::make_unique<TestEnv>();
    m_tv = std::make_unique<u_tv>();
}

void TestUTv::cleanup()
{
    m_tv.reset();
    m_env.reset();
}

void TestUTv::show()
{
    m_tv->resize(400, 300);
    m_tv->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_tv.get()));
}

void TestUTv::pointAt(const QPoint &point)
{
    // Start from elsewhere, so that the pointer really moves onto the point.
    QTest::mouseMove(m_tv->viewport(), point + QPoint(1, 1));
    QTest::mouseMove(m_tv->viewport(), point);
}

void TestUTv::clickAt(const QPoint &point)
{
    pointAt(point);
    QTest::mouseClick(m_tv->viewport(), Qt::LeftButton, {}, point);
}

void TestUTv::hasTheDefaultLook()
{
    QCOMPARE(m_tv->pictureCount(), 1);
    QVERIFY(!m_tv->picture(1).isNull());
    QCOMPARE(m_tv->pictureSize(), QSize(16, 16));
    QCOMPARE(m_tv->pictureMaskColor(), QColor(192, 192, 192));
    QCOMPARE(m_tv->statePictureCount(), 4);
    QCOMPARE(m_tv->statePictureSize(), QSize(16, 16));
    QCOMPARE(m_tv->statePictureMaskColor(), QColor(255, 255, 255));
    for (int i = 1; i <= 4; ++i) {
        const QImage picture = m_tv->statePicture(i).pixmap(16, 16).toImage();
        QVERIFY(!picture.isNull());
        QCOMPARE(qAlpha(picture.pixel(0, 0)), 0); // the white around the box is masked
        QCOMPARE(qAlpha(picture.pixel(7, 7)), 255);
    }
    // The checked pictures differ from the unchecked ones.
    QVERIFY(m_tv->statePicture(1).pixmap(16, 16).toImage() != m_tv->statePicture(2).pixmap(16, 16).toImage());
    QVERIFY(m_tv->statePicture(3).pixmap(16, 16).toImage() != m_tv->statePicture(4).pixmap(16, 16).toImage());

    QCOMPARE(m_tv->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(m_tv->font().pointSize(), 8);
    QCOMPARE(m_tv->font().weight(), QFont::Normal);
    QCOMPARE(m_tv->frameShadow(), QFrame::Sunken);
    const runtime::LayoutUnits units;
    QCOMPARE(m_tv->size(), units.toPixels(QSize(503, 368)));
    QVERIFY(m_tv->controlHandle() != 0);
    QVERIFY(!m_tv->stateClick());
}

void TestUTv::hitMessageFillsTheStructure()
{
    const long root = add(0, QStringLiteral("root"), None);
    const long box = add(root, QStringLiteral("box"), BoxOff);
    m_tv->expandItem(root);
    show();

    os_tvhittestinfo info;
    const QPoint onState = m_tv->statePictureRect(box).center();
    info.str_pt.l_x = onState.x();
    info.str_pt.l_y = onState.y();
    QCOMPARE(m_tv->hitmsg(m_tv->controlHandle(), u_tv::tvm_hittest, 0, info), box);
    QCOMPARE(info.l_hitem, qint32(box));
    QCOMPARE(uint(info.l_flags), u_tv::tvht_onitemstateicon);

    const QPoint onLabel = m_tv->labelRect(box).center();
    info.str_pt = {onLabel.x(), onLabel.y()};
    m_tv->hitmsg(m_tv->controlHandle(), u_tv::tvm_hittest, 0, info);
    QCOMPARE(info.l_hitem, qint32(box));
    QCOMPARE(info.l_flags, qint32(runtime::HitOnItemLabel));

    // Another message or another window's handle answers nothing and fills nothing.
    os_tvhittestinfo untouched;
    untouched.str_pt = {onState.x(), onState.y()};
    QCOMPARE(m_tv->hitmsg(m_tv->controlHandle(), 4370, 0, untouched), 0L);
    QCOMPARE(m_tv->hitmsg(m_tv->controlHandle() + 1, u_tv::tvm_hittest, 0, untouched), 0L);
    QCOMPARE(untouched.l_hitem, 0);
    QCOMPARE(untouched.l_flags, 0);
}

void TestUTv::isSelectedAndSelectItem()
{
    const long root = add(0, QStringLiteral("root"), None);
    QList<long> h;
    for (int state = None; state <= RadioOn; ++state)
        h << add(root, QStringLiteral("item%1").arg(state), state);

    QCOMPARE(QList<bool>({m_tv->of_isselected(h[0]), m_tv->of_isselected(h[1]), m_tv->of_isselected(h[2]),
                          m_tv->of_isselected(h[3]), m_tv->of_isselected(h[4])}),
             QList<bool>({false, false, true, false, true}));
    QVERIFY(!m_tv->of_isselected(-1));
    QVERIFY(!m_tv->of_isselected(h[4] + 1000));

    // Checking: only an unchecked box or a radio button that is off changes.
    QCOMPARE(m_tv->of_selectitem(h[0], true), 0);
    QCOMPARE(m_tv->of_selectitem(h[2], true), 0);
    QCOMPARE(m_tv->of_selectitem(h[4], true), 0);
    QCOMPARE(m_tv->of_selectitem(h[1], true), 1);
    QCOMPARE(stateOf(h[1]), int(BoxOn));
    // Unchecking: only a checked box; a radio button that is on stays on.
    QCOMPARE(m_tv->of_selectitem(h[4], false), 0);
    QCOMPARE(stateOf(h[4]), int(RadioOn));
    QCOMPARE(m_tv->of_selectitem(h[3], false), 0);
    QCOMPARE(m_tv->of_selectitem(h[1], false), 1);
    QCOMPARE(stateOf(h[1]), int(BoxOff));
    QCOMPARE(stateOf(h[0]), int(None));

    QCOMPARE(m_tv->of_selectitem(0, true), 0);
    QCOMPARE(m_tv->of_selectitem(-5, true), 0);
    QCOMPARE(m_tv->of_selectitem(h[4] + 1000, true), 0);

    // The write keeps the rest of the item.
    TreeItem record;
    m_tv->of_selectitem(h[1], true);
    m_tv->getItem(h[1], record);
    QCOMPARE(record.label, QStringLiteral("item1"));
    QCOMPARE(record.data, QVariant(QStringLiteral("item1-data")));
}

void TestUTv::radioButtonTurnsItsSiblingsOff()
{
    const long parent = add(0, QStringLiteral("parent"), RadioOn);
    const long r1 = add(parent, QStringLiteral("r1"), RadioOn);
    const long box = add(parent, QStringLiteral("box"), BoxOn);
    const long r2 = add(parent, QStringLiteral("r2"), RadioOff);
    const long r3 = add(parent, QStringLiteral("r3"), RadioOn);
    const long plain = add(parent, QStringLiteral("plain"), None);
    const long nephew = add(r3, QStringLiteral("nephew"), RadioOn);
    const long otherGroup = add(0, QStringLiteral("other"), RadioOn);

    QCOMPARE(m_tv->of_selectitem(r2, true), 1);
    QCOMPARE(stateOf(r2), int(RadioOn));
    QCOMPARE(stateOf(r1), int(RadioOff));
    QCOMPARE(stateOf(r3), int(RadioOff));
    QCOMPARE(stateOf(box), int(BoxOn));
    QCOMPARE(stateOf(plain), int(None));
    QCOMPARE(stateOf(parent), int(RadioOn));
    QCOMPARE(stateOf(nephew), int(RadioOn));
    QCOMPARE(stateOf(otherGroup), int(RadioOn));
}

void TestUTv::selectAllAndDeselectAllWorkOneLevelDown()
{
    // Three levels: a checked top-level box, second-level boxes and radios, checked deeper boxes.
    const long top = add(0, QStringLiteral("top"), BoxOn);
    const long b1 = add(top, QStringLiteral("b1"), BoxOff);
    const long b2 = add(top, QStringLiteral("b2"), BoxOn);
    const long deep = add(b1, QStringLiteral("deep"), BoxOn);
    const long top2 = add(0, QStringLiteral("top2"), None);
    const long ra = add(top2, QStringLiteral("ra"), RadioOff);
    const long rb = add(top2, QStringLiteral("rb"), RadioOff);
    const long rc = add(top2, QStringLiteral("rc"), RadioOff);

    QCOMPARE(m_tv->of_selectall(top2), 0);
    QCOMPARE(QList<int>({stateOf(ra), stateOf(rb), stateOf(rc)}), QList<int>({RadioOff, RadioOff, RadioOn}));

    QCOMPARE(m_tv->of_selectall(), 1);
    QCOMPARE(stateOf(b1), int(BoxOn));
    QCOMPARE(stateOf(b2), int(BoxOn));

    QCOMPARE(m_tv->of_deselectall(), 1);
    QCOMPARE(stateOf(b1), int(BoxOff));
    QCOMPARE(stateOf(b2), int(BoxOff));
    QCOMPARE(stateOf(top), int(BoxOn));
    QCOMPARE(stateOf(deep), int(BoxOn));
    QCOMPARE(stateOf(rc), int(RadioOn));

    setState(b2, BoxOn);
    QCOMPARE(m_tv->of_deselectall(top), 0);
    QCOMPARE(stateOf(b2), int(BoxOff));
    // A root that is not an item, or an item without children, changes nothing.
    QCOMPARE(m_tv->of_selectall(0), 0);
    QCOMPARE(m_tv->of_selectall(deep), 0);
    QCOMPARE(m_tv->of_deselectall(-1), 0);
    QCOMPARE(stateOf(deep), int(BoxOn));
}

void TestUTv::getSelectedItemsAppends()
{
    const long top = add(0, QStringLiteral("top"), BoxOn);
    const long none = add(top, QStringLiteral("none"), None);
    const long off = add(top, QStringLiteral("off"), BoxOff);
    const long on = add(top, QStringLiteral("on"), BoxOn);
    const long radioOff = add(top, QStringLiteral("radioOff"), RadioOff);
    const long radioOn = add(top, QStringLiteral("radioOn"), RadioOn);
    add(on, QStringLiteral("deeper"), BoxOn);
    const long top2 = add(0, QStringLiteral("top2"), None);
    const long on2 = add(top2, QStringLiteral("on2"), BoxOn);
    Q_UNUSED(none);
    Q_UNUSED(off);
    Q_UNUSED(radioOff);

    QVariantList data{QStringLiteral("kept")};
    QCOMPARE(m_tv->of_getselecteditems(top, data), 0);
    QCOMPARE(data, QVariantList({QStringLiteral("kept"), QStringLiteral("on-data"), QStringLiteral("radioOn-data")}));

    QList<long> handles{-9};
    QCOMPARE(m_tv->of_getselecteditems(handles), 1);
    QCOMPARE(handles, QList<long>({-9, on, radioOn, on2}));

    QStringList labels{QStringLiteral("first")};
    QCOMPARE(m_tv->of_getselecteditems(labels), 1);
    QCOMPARE(labels, QStringList({"first", "on", "radioOn", "on2"}));
    QCOMPARE(m_tv->of_getselecteditems(top2, labels), 0);
    QCOMPARE(labels.constLast(), QStringLiteral("on2"));
    QCOMPARE(labels.size(), 5);

    QVariantList all;
    QCOMPARE(m_tv->of_getselecteditems(all), 1);
    QCOMPARE(all.size(), 3);
    QVariantList fromNothing;
    QCOMPARE(m_tv->of_getselecteditems(0, fromNothing), 0);
    QVERIFY(fromNothing.isEmpty());
}

void TestUTv::emptyTreeAnswersZero()
{
    QVariantList data{1};
    QList<long> handles{2};
    QStringList labels{QStringLiteral("x")};
    QCOMPARE(m_tv->of_getselecteditems(data), 0);
    QCOMPARE(m_tv->of_getselecteditems(handles), 0);
    QCOMPARE(m_tv->of_getselecteditems(labels), 0);
    QCOMPARE(data, QVariantList({1}));
    QCOMPARE(handles, QList<long>({2}));
    QCOMPARE(labels, QStringList({"x"}));
    QCOMPARE(m_tv->of_selectall(), 0);
    QCOMPARE(m_tv->of_deselectall(), 0);
}

void TestUTv::clickOnCheckBoxTogglesWithoutMovingSelection()
{
    const long root = add(0, QStringLiteral("root"), None);
    const long first = add(root, QStringLiteral("first"), None);
    const long box = add(root, QStringLiteral("box"), BoxOff);
    m_tv->expandItem(root);
    show();
    QCOMPARE(m_tv->selectItem(first), 1);
    QSignalSpy changed(m_tv.get(), &runtime::TreeView::selectionChanged);

    const QPoint onState = m_tv->statePictureRect(box).center();
    clickAt(onState);
    QVERIFY(m_tv->stateClick());
    QCOMPARE(stateOf(box), int(BoxOn));
    QCOMPARE(m_tv->selectedHandle(), first);
    QCOMPARE(m_tv->onClicked(box), 1L); // what the click's handler answers: toggled back
    QCOMPARE(stateOf(box), int(BoxOff));

    clickAt(onState);
    QCOMPARE(stateOf(box), int(BoxOn));
    clickAt(onState);
    QCOMPARE(stateOf(box), int(BoxOff));
    QCOMPARE(m_tv->selectedHandle(), first);
    QCOMPARE(changed.count(), 0);
}

void TestUTv::clickOnRadioButton()
{
    const long root = add(0, QStringLiteral("root"), None);
    const long r1 = add(root, QStringLiteral("r1"), RadioOn);
    const long box = add(root, QStringLiteral("box"), BoxOn);
    const long r2 = add(root, QStringLiteral("r2"), RadioOff);
    const long r3 = add(root, QStringLiteral("r3"), RadioOn);
    const long child = add(r3, QStringLiteral("child"), RadioOn);
    m_tv->expandItem(root);
    m_tv->expandItem(r3);
    show();
    const long selectedBefore = m_tv->selectedHandle();

    clickAt(m_tv->statePictureRect(r2).center());
    QCOMPARE(QList<int>({stateOf(r1), stateOf(box), stateOf(r2), stateOf(r3), stateOf(child), stateOf(root)}),
             QList<int>({RadioOff, BoxOn, RadioOn, RadioOff, RadioOn, None}));
    QCOMPARE(m_tv->selectedHandle(), selectedBefore);

    // A radio button that is on stays on, and the click answers 0.
    clickAt(m_tv->statePictureRect(r2).center());
    QCOMPARE(stateOf(r2), int(RadioOn));
    QVERIFY(m_tv->stateClick());
    QCOMPARE(m_tv->onClicked(r2), 0L);
}

void TestUTv::clickOnLabelSelectsAndTogglesNothing()
{
    const long root = add(0, QStringLiteral("root"), None);
    const long box = add(root, QStringLiteral("box"), BoxOff);
    const long other = add(root, QStringLiteral("other"), BoxOff);
    m_tv->expandItem(root);
    show();
    QSignalSpy changed(m_tv.get(), &runtime::TreeView::selectionChanged);

    clickAt(m_tv->labelRect(box).center());
    QVERIFY(!m_tv->stateClick());
    QCOMPARE(m_tv->selectedHandle(), box);
    QCOMPARE(stateOf(box), int(BoxOff));
    clickAt(m_tv->pictureRect(other).center());
    QCOMPARE(m_tv->selectedHandle(), other);
    QCOMPARE(stateOf(other), int(BoxOff));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(m_tv->onClicked(other), 0L);
}

void TestUTv::restingOnStateIconRefusesEverySelection()
{
    const long root = add(0, QStringLiteral("root"), None);
    const long a = add(root, QStringLiteral("a"), None);
    const long box = add(root, QStringLiteral("box"), BoxOff);
    const long c = add(root, QStringLiteral("c"), None);
    m_tv->expandItem(root);
    show();
    QCOMPARE(m_tv->selectItem(a), 1);

    pointAt(m_tv->statePictureRect(box).center());
    QVERIFY(m_tv->stateClick());
    m_tv->setFocus();
    QTest::keyClick(m_tv.get(), Qt::Key_Down);
    QCOMPARE(m_tv->selectedHandle(), a);
    QCOMPARE(m_tv->selectItem(c), -1); // as the find dialog would select
    QCOMPARE(m_tv->selectedHandle(), a);
    QCOMPARE(m_tv->onSelectionChanging(a, c), 1L);
    QCOMPARE(m_tv->onSelectionChanging(a, 0), 0L);

    // Once the pointer is over a label the keyboard moves the selection again.
    pointAt(m_tv->labelRect(c).center());
    QVERIFY(!m_tv->stateClick());
    QTest::keyClick(m_tv.get(), Qt::Key_Down);
    QCOMPARE(m_tv->selectedHandle(), box);
    QCOMPARE(stateOf(box), int(BoxOff));
}

void TestUTv::emptySpaceKeepsTheLastAnswer()
{
    const long root = add(0, QStringLiteral("root"), None);
    const long box = add(root, QStringLiteral("box"), BoxOff);
    m_tv->expandItem(root);
    show();
    QWidget *viewport = m_tv->viewport();
    const QPoint below(m_tv->labelRect(box).center().x(), viewport->height() - 4);
    QCOMPARE(m_tv->hitTest(below).handle, 0L);

    pointAt(m_tv->statePictureRect(box).center());
    QVERIFY(m_tv->stateClick());
    pointAt(below);
    QVERIFY(m_tv->stateClick());
    pointAt(m_tv->labelRect(root).center());
    QVERIFY(!m_tv->stateClick());
    pointAt(below);
    QVERIFY(!m_tv->stateClick());
}

KIV_TEST_MAIN(TestUTv)
#include "tst_u_tv.moc"
