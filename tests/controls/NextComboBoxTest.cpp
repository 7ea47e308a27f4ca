#include "controls/NextComboBox.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <QImage>
#include <QMenu>
#include <QTest>
#include <QWidgetAction>
#include <gtest/gtest.h>

#include "support/Render.h"
#include <stdexcept>

using namespace tintora;
using namespace tintora::test;

namespace {

SystemColors::Table testColors()
{
    return colorsWith({{clWindow, makeColor(255, 255, 250)},
                       {clBtnFace, makeColor(212, 208, 200)},
                       {clBtnShadow, makeColor(150, 150, 150)},
                       {clBtnHighlight, makeColor(250, 250, 250)},
                       {clWindowText, makeColor(0, 0, 0)}});
}

const ColorValue Window = makeColor(255, 255, 250);
const ColorValue Shadow = makeColor(150, 150, 150);
const ColorValue Light = makeColor(250, 250, 250);
const ColorValue Grey = makeColor(128, 128, 128);

class ComboBox : public ::testing::Test {
protected:
    ScopedSystemColors colors{testColors()};
    QWidget host;
    TNextComboBox* box = new TNextComboBox(&host);
    int changes = 0;

    void SetUp() override
    {
        host.setGeometry(100, 200, 300, 200);
        box->setGeometry(60, 80, 64, 20);
        box->setFont(tahomaFont(11));
        box->setItems({"16x16", "32x32", "48x48", "64x64", "128x128"});
        box->setStyle(TChkStyle::cbNormal);
        box->setFontColor(clBlue);
        box->OnChange = [this](QObject* sender) {
            EXPECT_EQ(sender, box);
            ++changes;
        };
    }
    void showHost()
    {
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }
    QImage render() const { return test::render(*box); }
    QImage renderItem(int tag, bool selected, int width = 59) const
    {
        QImage img(width, TNextComboBox::MenuItemHeight, QImage::Format_RGB32);
        img.fill(qRgb(1, 2, 3));
        Canvas c(&img);
        box->paintMenuItem(c, Rect{0, 0, img.width(), img.height()}, tag, selected);
        return img;
    }
    QWidget* menuEntry(int tag) const
    {
        auto* action = qobject_cast<QWidgetAction*>(box->menu()->actions().at(tag));
        return action ? action->defaultWidget() : nullptr;
    }
    void pickThroughTheMenu(int tag)
    {
        QTest::mousePress(box, Qt::LeftButton, {}, QPoint(10, 10));
        ASSERT_TRUE(box->menu() && box->menu()->isVisible());
        QWidget* entry = menuEntry(tag);
        ASSERT_TRUE(entry);
        QTest::mouseClick(entry, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_FALSE(box->menu()->isVisible());
    }
};

} // namespace

TEST_F(ComboBox, PickingAnotherItemFiresOnChangeOnce)
{
    showHost();
    pickThroughTheMenu(2);
    EXPECT_EQ(box->ItemIndex(), 2);
    EXPECT_EQ(box->Text(), QStringLiteral("48x48"));
    EXPECT_EQ(changes, 1);
    pickThroughTheMenu(2);
    EXPECT_EQ(changes, 1);
    pickThroughTheMenu(0);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(box->Text(), QStringLiteral("16x16"));
}

TEST_F(ComboBox, MenuIsBuiltAfreshWithOneEntryPerItem)
{
    showHost();
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(box->menu());
    ASSERT_EQ(box->menu()->actions().size(), 5);
    EXPECT_EQ(box->menu()->actions().at(4)->text(), QStringLiteral("128x128"));
    EXPECT_EQ(box->menu()->actions().at(4)->data().toInt(), 4);
    EXPECT_EQ(menuEntry(0)->height(), TNextComboBox::MenuItemHeight);
    box->menu()->close();

    box->setItems({"a", "b"});
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(box->menu()->actions().size(), 2);
    // The release of the opening press lands on an entry without picking it.
    QTest::mouseRelease(menuEntry(0), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(box->menu()->isVisible());
    box->menu()->close();
    EXPECT_EQ(changes, 0);
}

TEST_F(ComboBox, OnlyAPlainLeftPressOpensTheMenu)
{
    showHost();
    std::vector<ShiftState> downs;
    box->OnMouseDown = [&](QObject*, ShiftState s, int, int) {
        // The box has done its own press handling first.
        EXPECT_EQ(box->menu() && box->menu()->isVisible(), s == ShiftState(Shift::Left));
        downs.push_back(s);
    };
    QTest::mousePress(box, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseRelease(box, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mousePress(box, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 10));
    QTest::mouseRelease(box, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 10));
    EXPECT_TRUE(!box->menu() || !box->menu()->isVisible());
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(box->menu()->isVisible());
    box->menu()->close();
    EXPECT_EQ(downs.size(), 3u);
}

TEST_F(ComboBox, MenuOpensBelowOrOverTheBoxByStyle)
{
    showHost();
    const QPoint topLeft = box->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(box->menuPosition(), topLeft + QPoint(0, 20));
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(box->menu()->pos(), topLeft + QPoint(0, 20));
    box->menu()->close();

    box->setStyle(TChkStyle::cbNext);
    box->setItemIndex(2);
    EXPECT_EQ(box->menuPosition(), topLeft - QPoint(0, 2 * 20 + 5));
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(box->menu()->pos(), topLeft - QPoint(0, 45));
    box->menu()->close();
}

TEST_F(ComboBox, IndexAndItemsAssignmentRules)
{
    box->setItemIndex(3);
    EXPECT_EQ(box->Text(), QStringLiteral("64x64"));
    EXPECT_THROW(box->setItemIndex(5), std::out_of_range);
    EXPECT_THROW(box->setItemIndex(-1), std::out_of_range);
    EXPECT_EQ(box->ItemIndex(), 3);
    EXPECT_EQ(box->Text(), QStringLiteral("64x64"));

    box->setItems({"x", "y", "z", "w"});
    EXPECT_EQ(box->ItemIndex(), 3);
    EXPECT_EQ(box->Text(), QStringLiteral("x"));
    box->setItemIndex(3);
    EXPECT_EQ(box->Text(), QStringLiteral("w"));

    box->setItems({});
    EXPECT_EQ(box->Text(), QString());
    box->setItemIndex(7);
    EXPECT_EQ(box->ItemIndex(), 7);
    EXPECT_EQ(changes, 0);
}

TEST_F(ComboBox, HeightIsHeldAtTwenty)
{
    box->resize(64, 50);
    EXPECT_EQ(box->height(), 20);
    box->setGeometry(0, 0, 80, 5);
    EXPECT_EQ(box->height(), 20);
    EXPECT_EQ(box->width(), 80);
}

TEST_F(ComboBox, NormalLookHasBorderSeparatorArrowAndText)
{
    const QImage img = render();
    for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {63, 19}, {62, 18}, {0, 10}, {30, 18}})
        EXPECT_EQ(at(img, x, y), clBlack) << x << "," << y;
    EXPECT_EQ(at(img, 2, 2), Window);
    // Separator at x = 49 and 50, rows 4 to 15.
    for (int x : {49, 50}) {
        EXPECT_EQ(at(img, x, 4), Shadow);
        EXPECT_EQ(at(img, x, 5), Light);
        EXPECT_EQ(at(img, x, 14), Shadow);
        EXPECT_EQ(at(img, x, 15), Light);
        EXPECT_EQ(at(img, x, 3), Window);
        EXPECT_EQ(at(img, x, 16), Window);
    }
    // Arrow: stem at 56 and 57, wings on rows 9 to 11, light mark at 58.
    for (auto [x, y] : {std::pair{56, 6}, {57, 12}, {54, 9}, {59, 10}, {55, 11}, {58, 11}, {57, 7}})
        EXPECT_EQ(at(img, x, y), clBlack) << x << "," << y;
    for (auto [x, y] : {std::pair{53, 9}, {60, 10}, {54, 11}, {59, 11}, {56, 13}})
        EXPECT_EQ(at(img, x, y), Window) << x << "," << y;
    EXPECT_EQ(at(img, 58, 6), makeColor(220, 220, 220));
    EXPECT_EQ(at(img, 58, 7), makeColor(220, 220, 220));

    EXPECT_GT(countOf(img, clBlue, QRect(5, 2, 40, 16)), 10);
    EXPECT_EQ(countOf(img, clBlue, QRect(0, 0, 5, 20)), 0);

    box->setItems({});
    EXPECT_EQ(countOf(render(), clBlue, QRect(0, 0, 64, 20)), 0);
}

TEST_F(ComboBox, NextLookIsARaisedFace)
{
    box->setStyle(TChkStyle::cbNext);
    box->setColor(makeColor(0, 160, 0));
    const QImage img = render();
    EXPECT_EQ(at(img, 0, 0), clWhite);
    EXPECT_EQ(at(img, 0, 18), clWhite);
    EXPECT_EQ(at(img, 0, 19), clBlack);
    EXPECT_EQ(at(img, 63, 0), clBlack);
    EXPECT_EQ(at(img, 63, 19), clBlack);
    EXPECT_EQ(at(img, 1, 18), Grey);
    EXPECT_EQ(at(img, 62, 0), Grey);
    EXPECT_EQ(at(img, 62, 18), Grey);
    EXPECT_EQ(at(img, 3, 2), makeColor(0, 160, 0));
    // The small button: white top-left, black bottom-right, face inside.
    EXPECT_EQ(at(img, 49, 8), clWhite);
    EXPECT_EQ(at(img, 53, 6), clWhite);
    EXPECT_EQ(at(img, 52, 11), clBlack);
    EXPECT_EQ(at(img, 57, 8), clBlack);
    EXPECT_EQ(at(img, 52, 8), makeColor(212, 208, 200));
    EXPECT_EQ(at(img, 58, 12), Grey);
    EXPECT_EQ(at(img, 50, 10), Grey);
}

TEST_F(ComboBox, MenuItemsDrawTheirSelection)
{
    QImage img = renderItem(1, true);
    EXPECT_EQ(at(img, 0, 0), Window);
    EXPECT_EQ(at(img, 2, 1), clBlack);
    EXPECT_EQ(at(img, 3, 2), clBlack);
    EXPECT_EQ(at(img, 56, 20), clBlack);
    EXPECT_EQ(at(img, 4, 3), makeColor(240, 240, 240));
    EXPECT_GT(countOf(img, clBlue, QRect(5, 3, 40, 15)), 10);

    img = renderItem(1, false);
    EXPECT_EQ(countOf(img, clBlack, QRect(0, 0, 59, 21)), 0);
    EXPECT_EQ(at(img, 2, 1), Window);

    box->setStyle(TChkStyle::cbNext);
    box->setColor(makeColor(0, 160, 0));
    img = renderItem(0, false);
    EXPECT_EQ(at(img, 0, 0), clBlack);
    EXPECT_EQ(at(img, 1, 1), clWhite);
    EXPECT_EQ(at(img, 57, 19), Grey);
    EXPECT_EQ(at(img, 20, 2), makeColor(0, 160, 0));
    // The current item carries the small button; the others do not.
    EXPECT_EQ(at(img, 59 - 13, 12), Grey);
    EXPECT_EQ(at(renderItem(3, false), 59 - 13, 12), makeColor(0, 160, 0));
    EXPECT_EQ(at(renderItem(3, true), 20, 2), clWhite);
}

TEST_F(ComboBox, ShowIconsShowsFileNamesAfterTheIcon)
{
    box->setShowIcons(true);
    box->setItems({QStringLiteral("/no/such/folder/pic.bmp"), QStringLiteral("/no/such/folder/other.ico")});
    const QImage img = render();
    EXPECT_EQ(countOf(img, clBlue, QRect(2, 2, 18, 16)), 0);
    EXPECT_GT(countOf(img, clBlue, QRect(20, 2, 28, 16)), 10);

    showHost();
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(box->menu()->actions().size(), 2);
    EXPECT_EQ(box->menu()->actions().at(1)->text(), QStringLiteral("other.ico"));
    box->menu()->close();
}

TEST_F(ComboBox, PointerAndArrowKeysSelectTheSameEntry)
{
    showHost();
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(10, 10));
    QMenu* menu = box->menu();
    QWidget* entry = menuEntry(1);
    hoverEnter(entry);
    EXPECT_EQ(menu->activeAction(), menu->actions().at(1));
    const QImage shown = entry->grab().toImage();
    EXPECT_EQ(at(shown, 2, 1), clBlack);
    EXPECT_EQ(at(menuEntry(0)->grab().toImage(), 2, 1), Window);

    QTest::keyClick(menu, Qt::Key_Down);
    EXPECT_EQ(menu->activeAction(), menu->actions().at(2));
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(box->ItemIndex(), 2);
    EXPECT_EQ(changes, 1);
}
