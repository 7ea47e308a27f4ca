// Pixel checks of a main-window gauge rendered into an image, with a black
// window frame: outline 0, 3-D frame light 152 and dark 79, face 128, grip
// 152/104, shade 196 (black blended with 226, the mix of 255 and 200).
#include "GaugeBarFixture.h"

using namespace tintora;
using namespace tintora::test;

namespace {

constexpr ColorValue Frame = grey(0);
constexpr ColorValue Light = grey(152);
constexpr ColorValue DarkFrame = grey(79);
constexpr ColorValue GripDark = grey(104);
constexpr ColorValue Face = grey(128);
constexpr ColorValue Shade = grey(196);
constexpr ColorValue TrackColor = grey(200); // clScrollBar
constexpr ColorValue Highlight = grey(255);
constexpr ColorValue BtnShadow = grey(160);
constexpr ColorValue BtnFace = grey(240);

// The handle, 16 x 10, at (dx, dy) from its top-left corner.
ColorValue expectedHandle(int dx, int dy, bool pressed)
{
    if (dx == 0 || dx == 15 || dy == 0 || dy == 9)
        return Frame;
    const int shift = pressed ? 1 : 0;
    if (dy >= 3 + shift && dy <= 6 + shift) {
        for (int bar : {3, 6, 9, 12}) {
            if (dx == bar + shift)
                return Light;
            if (dx == bar + shift + 1)
                return GripDark;
        }
    }
    if (dx == 1 || (dy == 1 && dx <= 13))
        return pressed ? GripDark : Light;
    if (dx == 14 || dy == 8)
        return pressed ? Face : DarkFrame;
    return Face;
}

ColorValue checker(int x, int y) { return (x + y) % 2 == 0 ? TrackColor : Highlight; }

// The track pieces of a 140 x 10 client area with the handle at p.
ColorValue expectedTrack(int x, int y, int p)
{
    if (y == 0 || y == 9)
        return Frame;
    if (x < p) {
        if (x == 0)
            return Frame;
        if (x == 1 || y == 1)
            return Shade;
        return checker(x, y);
    }
    if (x == 139)
        return Frame;
    if (y == 1)
        return Shade;
    return checker(x, y);
}

// Compares every client pixel; reports the first few differences.
void expectClient(const QImage& img, int p, bool pressedHandle)
{
    int failures = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 140; ++x) {
            const ColorValue want =
                (x >= p && x < p + 16) ? expectedHandle(x - p, y, pressedHandle) : expectedTrack(x, y, p);
            const ColorValue got = at(img, x + 1, y + 1);
            if (got != want && failures++ < 5)
                ADD_FAILURE() << "client pixel " << x << "," << y << " is " << std::hex << got << " not "
                              << want;
        }
}

struct HandleCase {
    int position;
    int offset;
};

class HueGaugePaint : public ::testing::TestWithParam<HandleCase> {
protected:
    ScopedSystemColors colors{blackFrameTable()};
};

TEST_P(HueGaugePaint, HandleTrackAndCheckerboardToThePixel)
{
    auto hue = mainWindowGauge(0, 360);
    hue->setPosition(GetParam().position);
    EXPECT_EQ(hue->handleBounds().left, GetParam().offset);
    expectClient(render(*hue), GetParam().offset, false);
}

INSTANTIATE_TEST_SUITE_P(Offsets, HueGaugePaint,
                         ::testing::Values(HandleCase{0, 0}, HandleCase{180, 62}, HandleCase{360, 124},
                                           HandleCase{3, 1}));

TEST(GaugePaint, SunkenBorderAroundTheClientArea)
{
    auto hue = mainWindowGauge(0, 360);
    const QImage img = render(*hue);
    for (int x = 0; x < 141; ++x) {
        EXPECT_EQ(at(img, x, 0), BtnShadow) << x;
        EXPECT_EQ(at(img, x + 1, 11), Highlight) << x;
    }
    for (int y = 0; y < 11; ++y) {
        EXPECT_EQ(at(img, 0, y), BtnShadow) << y;
        EXPECT_EQ(at(img, 141, y + 1), Highlight) << y;
    }
}

TEST(GaugePaint, PressedHandleSinksAndMovesItsGrip)
{
    ScopedSystemColors colors(blackFrameTable());
    auto hue = mainWindowGauge(0, 360);
    hue->setPosition(180);
    hue->show();
    pressAt(*hue, 70, 5);
    ASSERT_EQ(hue->dragZone(), TBarZone::bzHandle);
    expectClient(render(*hue), 62, true);
    releaseAt(*hue, 70, 5);
    expectClient(render(*hue), 62, false);
}

TEST(GaugePaint, PressedTrackPieceIsFilledWithTheFrameColour)
{
    ScopedSystemColors colors(blackFrameTable());
    FakeScreen screen;
    auto hue = mainWindowGauge(0, 360);
    hue->setPosition(180);
    hue->show();
    screen.pos = hue->mapToGlobal(widgetPoint(*hue, 120, 5));
    pressAt(*hue, 120, 5);
    ASSERT_EQ(hue->dragZone(), TBarZone::bzNextTrack);
    ASSERT_EQ(hue->Position(), 181); // one step at once; the handle stays at 62
    const QImage img = render(*hue);
    for (int x = 78; x < 140; ++x)
        for (int y = 0; y < 10; ++y)
            ASSERT_EQ(at(img, x + 1, y + 1), Frame) << x << "," << y;
    EXPECT_EQ(at(img, 1 + 30, 1 + 5), checker(30, 5));
    releaseAt(*hue, 120, 5);
}

TEST(GaugePaint, DisabledBarHasNoHandleAndGreyPiecesMeetingInTheMiddle)
{
    auto hue = mainWindowGauge(0, 360);
    hue->setPosition(360);
    hue->setEnabled(false);
    EXPECT_EQ(hue->zoneRect(TBarZone::bzPrevTrack).right, 70);
    EXPECT_EQ(hue->zoneRect(TBarZone::bzNextTrack).left, 70);
    const QImage img = render(*hue);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 140; ++x) {
            const bool frame = y == 0 || y == 9 || x == 0 || x == 139;
            ASSERT_EQ(at(img, x + 1, y + 1), frame ? BtnShadow : BtnFace) << x << "," << y;
        }
}

TEST(GaugePaint, SolidBackgroundUsesTheTrackColour)
{
    auto hue = mainWindowGauge(0, 360);
    hue->setBackgnd(TRBBackgnd::bgSolid);
    hue->setColor(makeColor(10, 200, 30));
    const QImage img = render(*hue);
    for (int x = 16; x < 139; ++x)
        for (int y = 2; y < 9; ++y)
            ASSERT_EQ(at(img, x + 1, y + 1), makeColor(10, 200, 30)) << x << "," << y;
}

TEST(GaugePaint, WindowFrameColourIsResolvedWhenDrawing)
{
    // With the default grey window frame (100) the handle's dark edge is a blend of it.
    auto hue = mainWindowGauge(0, 360);
    const QImage img = render(*hue);
    EXPECT_EQ(at(img, 1, 1), grey(100));
    // (100 * 96 + 128 * 159) div 256 = 117
    EXPECT_EQ(at(img, 1 + 14, 1 + 4), grey(117));
}

TEST(GaugePaint, VerticalBarTurnsGripAndShade)
{
    ScopedSystemColors colors(blackFrameTable());
    auto bar = mainWindowGauge(0, 360);
    bar->setKind(TScrollBarKind::sbVertical);
    bar->resize(12, 142);
    bar->setPosition(0);
    const QImage img = render(*bar);
    // Handle 10 x 16 at the top: grip rows 3, 6, 9, 12 light, the rows below dark.
    for (int row : {3, 6, 9, 12}) {
        EXPECT_EQ(at(img, 1 + 4, 1 + row), Light) << row;
        EXPECT_EQ(at(img, 1 + 4, 1 + row + 1), GripDark) << row;
    }
    // The piece below the handle: frame at the bottom and both sides, shade in column 1.
    EXPECT_EQ(at(img, 1 + 0, 1 + 80), Frame);
    EXPECT_EQ(at(img, 1 + 9, 1 + 80), Frame);
    EXPECT_EQ(at(img, 1 + 5, 1 + 139), Frame);
    EXPECT_EQ(at(img, 1 + 1, 1 + 80), Shade);
    EXPECT_EQ(at(img, 1 + 2, 1 + 16), checker(2, 16));
    EXPECT_EQ(at(img, 1 + 3, 1 + 16), checker(3, 16));
}

TEST(GaugePaint, MacArrowButtonsFramedRaisedWithATriangle)
{
    TGaugeBar bar;
    bar.setStyle(TRBStyle::rbsMac);
    ASSERT_EQ(bar.buttonLength(), 13);
    const QImage img = render(bar);
    // Start button at client 0..12 x 0..13: frame, 3-D frame, face and a black triangle.
    EXPECT_EQ(at(img, 1 + 0, 1 + 5), grey(100));
    EXPECT_EQ(at(img, 1 + 1, 1 + 5), Highlight);
    EXPECT_EQ(at(img, 1 + 12, 1 + 5), BtnShadow);
    EXPECT_EQ(at(img, 1 + 3, 1 + 3), BtnFace);
    EXPECT_EQ(at(img, 1 + 6, 1 + 6), grey(0));
    // End button mirrored: frame on the right.
    EXPECT_EQ(at(img, 1 + 97, 1 + 5), grey(100));
    EXPECT_EQ(at(img, 1 + 91, 1 + 6), grey(0));
}

TEST(GaugePaint, DefaultStyleDrawsThePlainLook)
{
    TGaugeBar bar;
    bar.setShowArrows(false);
    const QImage img = render(bar);
    // Handle 14 x 14 at the start with a raised edge and a face in the handle colour.
    EXPECT_EQ(at(img, 1 + 0, 1 + 0), grey(227));
    EXPECT_EQ(at(img, 1 + 13, 1 + 5), grey(105));
    EXPECT_EQ(at(img, 1 + 1, 1 + 5), Highlight);
    EXPECT_EQ(at(img, 1 + 6, 1 + 6), BtnShadow);
    // The track is a bare checkerboard.
    for (int x : {50, 51})
        EXPECT_EQ(at(img, 1 + x, 1 + 0), checker(x, 0));
}

} // namespace

namespace {

TEST(GaugePaint, CheckerboardFollowsTheClientOriginInsideAParent)
{
    // An odd offset within the parent must not flip the pattern.
    QWidget parent;
    parent.resize(200, 60);
    auto hue = mainWindowGauge(0, 360, &parent);
    hue->move(27, 32);
    const QImage img = parent.grab().toImage();
    for (int x : {30, 31, 100, 101})
        for (int y : {3, 4})
            EXPECT_EQ(at(img, 27 + 1 + x, 32 + 1 + y), checker(x, y)) << x << "," << y;
    hue.release(); // owned by the parent
}

} // namespace
