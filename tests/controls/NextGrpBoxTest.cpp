#include "controls/NextGrpBox.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include "support/Render.h"

using namespace tintora;
using namespace tintora::test;

namespace {

SystemColors::Table testColors()
{
    return colorsWith({{clBtnFace, makeColor(212, 208, 200)},
                       {clBtnShadow, makeColor(150, 150, 150)},
                       {clBtnHighlight, makeColor(250, 250, 250)},
                       {clWindow, makeColor(255, 255, 255)},
                       {clWindowText, makeColor(0, 0, 0)}});
}

// Horizontal extent of the pixels of one colour within a band of rows.
std::pair<int, int> columnsOf(const QImage& img, ColorValue color, int top, int bottom)
{
    int first = img.width(), last = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < img.width(); ++x)
            if (at(img, x, y) == color) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

class GroupBox : public ::testing::Test {
protected:
    ScopedSystemColors colors{testColors()};
    TNextGrpBox box;

    void SetUp() override { box.setFont(tahomaFont(11)); }
};

} // namespace

TEST_F(GroupBox, FlatDrawsBorderWhiteBandAndCentredTitle)
{
    box.resize(268, 120);
    box.setStyle(TGrpStyle::cbFlat);
    box.setColor(makeColor(0, 0, 200));
    box.setFontColor(makeColor(200, 0, 0));
    box.setCaption(QStringLiteral("Image Browser :"));
    const QImage img = render(box);

    for (auto [x, y] : {std::pair{0, 0}, {267, 0}, {0, 119}, {267, 119}, {0, 60}, {100, 119}})
        EXPECT_EQ(at(img, x, y), clBlack) << x << "," << y;
    EXPECT_EQ(at(img, 1, 1), clWhite);
    EXPECT_EQ(at(img, 266, 18), clWhite);
    EXPECT_EQ(at(img, 1, 19), makeColor(0, 0, 200));
    EXPECT_EQ(at(img, 130, 60), makeColor(0, 0, 200));

    // The title sits in the band, centred on the box, with no background box.
    const auto [first, last] = columnsOf(img, makeColor(200, 0, 0), 3, 17);
    ASSERT_LT(first, last);
    const int textWidth = QFontMetrics(tahomaFont(11)).horizontalAdvance(box.Caption());
    EXPECT_NEAR(first, (268 - textWidth) / 2, 2);
    // The last glyph's advance may end in a few blank columns.
    EXPECT_LE(last, (268 - textWidth) / 2 + textWidth);
    EXPECT_GE(last, (268 - textWidth) / 2 + textWidth - 6);
    EXPECT_EQ(columnsOf(img, makeColor(200, 0, 0), 19, 120).second, -1);
}

TEST_F(GroupBox, SquareTitleIsBoldAndFollowedByTwoLines)
{
    box.resize(442, 16);
    box.setStyle(TGrpStyle::cbSquare);
    box.setColor(clBtnFace);
    box.setFontColor(makeColor(0, 0, 200));
    box.setCaption(QStringLiteral("Filter"));
    const QImage img = render(box);

    // The lines start 8 pixels after the bold title, on rows 9 and 10 for a 13-pixel font.
    const int bold = QFontMetrics(tahomaFont(11, true)).horizontalAdvance(QStringLiteral("Filter"));
    ASSERT_GT(bold, QFontMetrics(tahomaFont(11)).horizontalAdvance(QStringLiteral("Filter")));
    for (int y : {9, 10}) {
        EXPECT_EQ(at(img, bold + 8, y), clBlack);
        EXPECT_EQ(at(img, 441, y), clBlack);
        EXPECT_NE(at(img, bold + 7, y), clBlack);
    }
    for (int y : {8, 11})
        EXPECT_EQ(at(img, 300, y), makeColor(212, 208, 200));
    EXPECT_EQ(at(img, 0, 0), makeColor(212, 208, 200));
    EXPECT_EQ(at(img, 441, 15), makeColor(212, 208, 200));
    EXPECT_GE(columnsOf(img, makeColor(0, 0, 200), 3, 16).first, 5);
}

TEST_F(GroupBox, SquareWithoutCaptionIsAPlainFill)
{
    box.resize(60, 30);
    box.setStyle(TGrpStyle::cbSquare);
    box.setColor(makeColor(10, 120, 30));
    const QImage img = render(box);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(at(img, x, y), makeColor(10, 120, 30)) << x << "," << y;
}

TEST_F(GroupBox, SquareCaptionWiderThanTheBoxLeavesNoLines)
{
    box.resize(40, 16);
    box.setStyle(TGrpStyle::cbSquare);
    box.setFontColor(makeColor(0, 0, 200));
    box.setCaption(QStringLiteral("A title far wider than its box"));
    const QImage img = render(box);
    EXPECT_EQ(columnsOf(img, clBlack, 0, 16).second, -1);
}

TEST_F(GroupBox, NextDrawsEtchedFrameInterruptedByTheTitle)
{
    box.resize(120, 60);
    box.setColor(makeColor(0, 200, 0));
    box.setCaption(QStringLiteral("Group"));
    const QImage img = render(box);
    const int half = gdiTextMetrics(tahomaFont(11)).height() / 2;
    const ColorValue shadow = makeColor(150, 150, 150), light = makeColor(250, 250, 250);

    EXPECT_EQ(at(img, 0, half), shadow);
    EXPECT_EQ(at(img, 0, 40), shadow);
    EXPECT_EQ(at(img, 118, 40), shadow);
    EXPECT_EQ(at(img, 60, 58), shadow);
    EXPECT_EQ(at(img, 1, 40), light);
    EXPECT_EQ(at(img, 119, 40), light);
    EXPECT_EQ(at(img, 60, 59), light);
    EXPECT_EQ(at(img, 5, half + 1), light);
    EXPECT_EQ(at(img, 5, 0), makeColor(212, 208, 200));
    EXPECT_EQ(at(img, 30, 30), makeColor(212, 208, 200));
    // The title's leading blank is painted in the box colour over the frame.
    EXPECT_EQ(at(img, 10, half), makeColor(0, 200, 0));
    EXPECT_EQ(at(img, 100, half), shadow);
}

TEST_F(GroupBox, ButtonLookShowsPressedAndDisabledStates)
{
    box.resize(80, 24);
    box.setStyle(TGrpStyle::cbBtn);
    box.setCaption(QStringLiteral("Go"));
    box.setFontColor(makeColor(0, 0, 200));
    QImage img = render(box);
    EXPECT_EQ(at(img, 0, 0), clBlack);
    EXPECT_EQ(at(img, 1, 1), clBlack);
    EXPECT_EQ(at(img, 78, 22), clBlack);
    EXPECT_EQ(at(img, 2, 2), makeColor(255, 255, 255));
    EXPECT_NE(columnsOf(img, makeColor(0, 0, 200), 2, 22).second, -1);

    box.show();
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_TRUE(box.pressed());
    EXPECT_EQ(at(render(box), 2, 2), makeColor(240, 240, 240));
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_FALSE(box.pressed());

    box.setEnabled(false);
    img = render(box);
    EXPECT_EQ(columnsOf(img, makeColor(0, 0, 200), 2, 22).second, -1);
    EXPECT_NE(columnsOf(img, makeColor(128, 128, 128), 2, 22).second, -1);

    box.setEnabled(true);
    box.setColor(clBlack);
    EXPECT_NE(columnsOf(render(box), clWhite, 2, 22).second, -1);
}

TEST_F(GroupBox, OtherLooksIgnorePresses)
{
    box.resize(80, 24);
    box.setStyle(TGrpStyle::cbFlat);
    box.show();
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_FALSE(box.pressed());
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(40, 12));
}

TEST_F(GroupBox, TopCardShowsTheProgramIcon)
{
    QImage icon(48, 48, QImage::Format_ARGB32);
    icon.fill(QColor(255, 0, 0));
    TNextGrpBox::setProgramIcon(icon);
    box.setStyle(TGrpStyle::cbTop);
    box.setCaption(QStringLiteral("Card"));
    box.setComment(QStringLiteral("A comment"));

    box.resize(120, 160); // portrait
    QImage img = render(box);
    EXPECT_EQ(at(img, 0, 0), clBlack);
    EXPECT_EQ(at(img, 1, 1), clBlack);
    EXPECT_EQ(at(img, 2, 2), clWhite);
    EXPECT_EQ(at(img, 4, 4), clRed);
    EXPECT_EQ(at(img, 51, 51), clRed);
    EXPECT_EQ(at(img, 52, 52), clWhite);
    EXPECT_EQ(at(img, 5, 90), clBlack);
    EXPECT_EQ(at(img, 114, 90), clBlack);
    EXPECT_EQ(at(img, 5, 100), makeColor(211, 211, 211));
    EXPECT_EQ(at(img, 6, 101), makeColor(255, 255, 225));

    box.resize(200, 56); // landscape: white card, icon at the right
    img = render(box);
    EXPECT_EQ(at(img, 0, 0), clWhite);
    EXPECT_EQ(at(img, 149, 20), clRed);
    EXPECT_EQ(at(img, 196, 20), clRed);
    EXPECT_EQ(at(img, 148, 20), clWhite);

    box.setShowIcon(false);
    EXPECT_EQ(at(render(box), 160, 20), clWhite);
    TNextGrpBox::setProgramIcon(QImage());
}

TEST_F(GroupBox, StyleChangeRepaintsAtOnce)
{
    box.resize(50, 30);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    PaintCounter counter;
    box.installEventFilter(&counter);
    box.setStyle(TGrpStyle::cbSquare);
    EXPECT_EQ(counter.paints, 1);
    box.setStyle(TGrpStyle::cbSquare);
    EXPECT_EQ(counter.paints, 1);
}

TEST_F(GroupBox, ClickOnTheBoxButNotOnAChild)
{
    box.resize(100, 60);
    auto* child = new QLabel(QStringLiteral("child"), &box);
    child->setGeometry(50, 30, 40, 20);
    box.show();
    int clicks = 0;
    box.OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, &box);
        ++clicks;
    };
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(child, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
}
