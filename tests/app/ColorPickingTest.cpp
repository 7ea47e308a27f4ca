#include "FormFixture.h"

#include <QApplication>
#include <QMouseEvent>

using namespace tintora;
using namespace tintora::test;

TEST_F(FormTest, ColourEditsKeepTheirLowestEightBits)
{
    form->RV->setText("300");
    EXPECT_EQ(form->ExCol->Color(), makeColor(44, 0, 255));
    EXPECT_EQ(form->RV->text(), QStringLiteral("300"));
    form->GV->setText("-1");
    EXPECT_EQ(form->ExCol->Color(), makeColor(44, 255, 255));
    form->TB->setText("");
    EXPECT_EQ(form->TGCol->Color(), makeColor(160, 180, 0));
}

TEST_F(FormTest, ExcludedColourIsPickedFromThePreview)
{
    Bitmap img = solid(10, 10, makeColor(1, 2, 3));
    img.setPixel(4, 5, makeColor(10, 20, 30));
    useImage(img);
    form->ExColMouseDown(ShiftState(Shift::Left), 0, 0);
    ASSERT_TRUE(form->PickingExcluded);
    EXPECT_EQ(form->IMG->Hint(), QStringLiteral("Left click to end color selection"));
    EXPECT_EQ(form->ExCol->cursor().shape(), Qt::CrossCursor);
    form->IMGMouseMove(ShiftState(), 4, 5);
    EXPECT_EQ(form->RV->text(), QStringLiteral("10"));
    EXPECT_EQ(form->GV->text(), QStringLiteral("20"));
    EXPECT_EQ(form->BV->text(), QStringLiteral("30"));
    EXPECT_EQ(form->ExCol->Color(), makeColor(10, 20, 30));
    form->IMGClick();
    EXPECT_FALSE(form->PickingExcluded);
    EXPECT_EQ(form->ExCol->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(form->IMG->Hint(), QStringLiteral("Left click to move / double-click to center"));
    form->IMGMouseMove(ShiftState(), 0, 0);
    EXPECT_EQ(form->ExCol->Color(), makeColor(10, 20, 30));
}

TEST_F(FormTest, ShiftClickStartsNoPicking)
{
    form->ExColMouseDown(Shift::Left | Shift::ShiftKey, 0, 0);
    form->TGColMouseDown(Shift::Left | Shift::ShiftKey, 0, 0);
    form->TGColMouseDown(ShiftState(Shift::Right), 0, 0);
    EXPECT_FALSE(form->PickingExcluded);
    EXPECT_FALSE(form->PickingTarget);
}

TEST_F(FormTest, TargetColourFollowsThePointerOutsideTheWindow)
{
    form->show();
    form->TGColMouseDown(ShiftState(Shift::Left), 0, 0);
    ASSERT_TRUE(form->PickingTarget);
    EXPECT_EQ(screen.cursor(), CursorShape::Cross);

    const QPoint corner = form->mapToGlobal(QPoint(0, 0));
    const QSize outer = form->frameGeometry().size();
    // Over the window, and over the strip beyond its right edge: nothing is read.
    for (QPoint p : {corner, corner + QPoint(outer.width() - 1, outer.height() - 1)}) {
        screen.pos = p;
        screen.pixels[{p.x(), p.y()}] = 0x00030201;
        form->FormMouseMove(ShiftState(Shift::Left), 0, 0);
        EXPECT_EQ(form->TR->text(), QStringLiteral("160"));
    }
    const QPoint outside = corner + QPoint(outer.width(), 0);
    screen.pos = outside;
    screen.pixels[{outside.x(), outside.y()}] = 0x001E140A;
    form->FormMouseMove(ShiftState(Shift::Left), 0, 0);
    EXPECT_EQ(form->TR->text(), QStringLiteral("10"));
    EXPECT_EQ(form->TG->text(), QStringLiteral("20"));
    EXPECT_EQ(form->TB->text(), QStringLiteral("30"));
    EXPECT_EQ(form->TGCol->Color(), makeColor(10, 20, 30));

    // An unreadable pixel reads as white.
    screen.pos = outside + QPoint(0, 1);
    form->FormMouseMove(ShiftState(Shift::Left), 0, 0);
    EXPECT_EQ(form->TGCol->Color(), makeColor(255, 255, 255));

    form->FormMouseUp(ShiftState(), 0, 0); // any button ends it
    EXPECT_FALSE(form->PickingTarget);
    EXPECT_EQ(screen.cursor(), CursorShape::Default);
    form->FormMouseMove(ShiftState(), 0, 0);
    EXPECT_EQ(form->TGCol->Color(), makeColor(255, 255, 255));
}

// A button held on the picture captures the mouse, so moves arrive from
// outside it too: those have no colour to pick.
TEST_F(FormTest, PickingIgnoresMovesOffThePicture)
{
    useImage(solid(10, 10, makeColor(1, 2, 3)));
    form->ExColMouseDown(ShiftState(Shift::Left), 0, 0);
    const auto moveTo = [&](QPointF at) {
        QMouseEvent move(QEvent::MouseMove, at, form->IMG->mapToGlobal(at), Qt::NoButton, Qt::RightButton,
                         Qt::NoModifier);
        QApplication::sendEvent(form->IMG, &move);
    };
    for (const QPointF outside : {QPointF(-3, 4), QPointF(4, -1), QPointF(10, 4), QPointF(4, 25)}) {
        moveTo(outside);
        EXPECT_EQ(form->ExCol->Color(), clMagenta) << outside.x() << "," << outside.y();
    }
    moveTo(QPointF(9, 9));
    EXPECT_EQ(form->ExCol->Color(), makeColor(1, 2, 3));
}
