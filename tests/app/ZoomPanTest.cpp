#include "FormFixture.h"

using namespace tintora;
using namespace tintora::test;

struct ZoomCase {
    int position;
    int width, height, left, top;
};

class ZoomTest : public FormTest, public ::testing::WithParamInterface<ZoomCase> {};

TEST_P(ZoomTest, SizeRoundsHalvesToEvenAndIsCentred)
{
    const ZoomCase c = GetParam();
    form->Zoom->setPosition(c.position);
    EXPECT_EQ(preview().width(), c.width);
    EXPECT_EQ(preview().height(), c.height);
    EXPECT_EQ(form->IMG->size(), QSize(c.width, c.height));
    EXPECT_EQ(form->IMG->pos(), QPoint(c.left, c.top));
    EXPECT_EQ(form->ZV->text(), QString::number(c.position));
}

INSTANTIATE_TEST_SUITE_P(SampleSource, ZoomTest,
                         ::testing::Values(ZoomCase{50, 341, 273, 16, -7}, ZoomCase{-50, 113, 91, 130, 84},
                                           ZoomCase{-100, 0, 0, 187, 129}, ZoomCase{100, 454, 364, -40, -52},
                                           ZoomCase{1, 229, 184, 72, 37}));

TEST_F(FormTest, ZoomedPreviewIsUnfilteredUntilTheGaugeIsReleased)
{
    useImage(solid(4, 4, makeColor(100, 100, 100)));
    form->Bright->setPosition(50);
    form->Zoom->setPosition(100);
    EXPECT_EQ(preview().width(), 8);
    EXPECT_EQ(preview().pixel(7, 7), makeColor(100, 100, 100));
    form->ZoomMouseUp();
    EXPECT_EQ(preview().pixel(7, 7), makeColor(150, 150, 150));
}

TEST_F(FormTest, ZoomRepeatsSourcePixelsWithoutBlending)
{
    Bitmap checker(2, 1, PixelFormat::Bits24);
    checker.setPixel(0, 0, clBlackValue);
    checker.setPixel(1, 0, clWhiteValue);
    useImage(checker);
    form->Zoom->setPosition(50); // 3 x 2
    for (int x = 0; x < preview().width(); ++x) {
        const ColorValue c = preview().pixel(x, 0);
        EXPECT_TRUE(c == clBlackValue || c == clWhiteValue) << x;
    }
}

TEST_F(FormTest, DragMovesTheImageWithThePointer)
{
    const QPoint start = form->IMG->pos();
    form->IMGMouseDown(ShiftState(Shift::Left), 10, 10);
    EXPECT_EQ(screen.cursor(), CursorShape::SizeAll);
    form->IMGMouseMove(ShiftState(Shift::Left), 15, 7);
    EXPECT_EQ(form->IMG->pos(), start + QPoint(5, -3));
    form->IMGMouseUp(ShiftState(), 15, 7);
    EXPECT_EQ(screen.cursor(), CursorShape::Default);
}

TEST_F(FormTest, OtherShiftStatesDoNotDrag)
{
    const QPoint start = form->IMG->pos();
    for (ShiftState s :
         {ShiftState(Shift::Right), Shift::Left | Shift::ShiftKey, Shift::Left | Shift::Right}) {
        form->IMGMouseDown(s, 10, 10);
        form->IMGMouseMove(s, 30, 30);
    }
    EXPECT_EQ(form->IMG->pos(), start);
}

TEST_F(FormTest, DoubleClickCentresAgain)
{
    form->IMG->move(-50, 3);
    form->IMGMouseDown(Shift::Left | Shift::Double, 1, 1);
    EXPECT_EQ(form->IMG->pos(), QPoint(73, 38));
}

TEST_F(FormTest, OnePixelImageIsCentred)
{
    useImage(solid(1, 1, clWhiteValue));
    form->Zoom->setPosition(0);
    form->Zoom->setPosition(1);
    form->Zoom->setPosition(0);
    EXPECT_EQ(form->IMG->pos(), QPoint(186, 129));
}
