// Property rules, range, position events and geometry of the gauge bar.
#include "GaugeBarFixture.h"

using namespace tintora;
using namespace tintora::test;

namespace {

TEST(GaugeBar, NewBarDefaults)
{
    TGaugeBar bar;
    EXPECT_EQ(bar.size(), QSize(100, 16));
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.Style(), TRBStyle::rbsDefault);
    EXPECT_EQ(bar.Backgnd(), TRBBackgnd::bgPattern);
    EXPECT_EQ(bar.BorderStyle(), TBarBorderStyle::bsSingle);
    EXPECT_EQ(bar.Kind(), TScrollBarKind::sbHorizontal);
    EXPECT_EQ(bar.Color(), clScrollBar);
    EXPECT_EQ(bar.HandleColor(), clBtnShadow);
    EXPECT_TRUE(bar.ShowArrows());
    EXPECT_TRUE(bar.ShowHandleGrip());
    EXPECT_EQ(bar.LargeChange(), 1);
    EXPECT_EQ(bar.SmallChange(), 1);
    EXPECT_EQ(bar.HandleSize(), 0);
    EXPECT_EQ(bar.focusPolicy(), Qt::NoFocus);
}

TEST(GaugeBar, AssigningPositionClampsAndFiresOnlyOnRealChanges)
{
    auto hue = mainWindowGauge(0, 360);
    EventLog log;
    log.attach(*hue);
    hue->setPosition(0);
    EXPECT_EQ(log.order, "");
    hue->setPosition(500);
    EXPECT_EQ(hue->Position(), 360);
    hue->setPosition(500);
    hue->setPosition(360);
    EXPECT_EQ(log.order, "C");
    hue->setPosition(-7);
    EXPECT_EQ(hue->Position(), 0);
    hue->setPosition(INT_MIN);
    EXPECT_EQ(log.order, "CC");
    EXPECT_EQ(log.positions, (std::vector<int>{360, 0}));
}

TEST(GaugeBar, OnChangeMayReenterTheBar)
{
    auto bright = mainWindowGauge(-255, 255);
    int calls = 0;
    bright->OnChange = [&](QObject*) {
        ++calls;
        // The new value is already stored: assigning it again does nothing,
        // assigning another runs one nested change.
        bright->setPosition(bright->Position());
        if (bright->Position() == 255)
            bright->setPosition(10);
    };
    bright->setPosition(40);
    EXPECT_EQ(calls, 1);
    bright->setPosition(255);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(bright->Position(), 10);
}

TEST(GaugeBar, MaxBelowPositionMovesItAndFiresOnce)
{
    auto hue = mainWindowGauge(0, 360);
    hue->setPosition(300);
    EventLog log;
    log.attach(*hue);
    hue->setMax(200);
    EXPECT_EQ(hue->Position(), 200);
    EXPECT_EQ(log.order, "C");
    hue->setMin(250);
    EXPECT_EQ(hue->Min(), 199); // not below Max: Max - 1
    EXPECT_EQ(hue->Position(), 200);
    hue->setMin(100);
    hue->setPosition(100);
    hue->setMin(150);
    EXPECT_EQ(hue->Position(), 150);
    EXPECT_EQ(log.order, "CCC");
    EXPECT_EQ(log.userChanges(), 0);
}

struct RangeCase {
    bool loading;
    int max, min;
    int storedMin, storedMax;
};

class RangeRules : public ::testing::TestWithParam<RangeCase> {};

TEST_P(RangeRules, MinAndMaxStayApartOutsideLoading)
{
    const RangeCase c = GetParam();
    TGaugeBar bar;
    if (c.loading)
        bar.beginLoad();
    bar.setMax(c.max);
    bar.setMin(c.min);
    bar.endLoad();
    EXPECT_EQ(bar.Min(), c.storedMin);
    EXPECT_EQ(bar.Max(), c.storedMax);
    EXPECT_GE(bar.Position(), std::min(bar.Min(), bar.Max()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RangeRules,
    ::testing::Values(RangeCase{true, 255, -255, -255, 255}, RangeCase{false, 255, -255, -255, 255},
                      RangeCase{true, -300, -500, -500, -300}, RangeCase{false, -300, -500, -500, 1},
                      RangeCase{false, 50, 50, 49, 50}, RangeCase{false, 50, 80, 49, 50},
                      RangeCase{false, 0, -10, -10, 1}, RangeCase{true, 20, 20, 20, 20}));

TEST(GaugeBar, StepsAndHandleSizeAreRaisedToTheirFloor)
{
    TGaugeBar bar;
    bar.setLargeChange(0);
    bar.setSmallChange(-5);
    EXPECT_EQ(bar.LargeChange(), 1);
    EXPECT_EQ(bar.SmallChange(), 1);
    bar.setLargeChange(7);
    EXPECT_EQ(bar.LargeChange(), 7);
    bar.setHandleSize(-3);
    EXPECT_EQ(bar.HandleSize(), 0);
    bar.setHandleSize(20);
    EXPECT_EQ(bar.HandleSize(), 20);
}

struct OffsetCase {
    int min, max, position, offset;
};

class HandlePlace : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(HandlePlace, RoundsHalvesToEven)
{
    const OffsetCase c = GetParam();
    auto bar = mainWindowGauge(c.min, c.max);
    bar->setPosition(c.position);
    const Rect h = bar->handleBounds();
    EXPECT_EQ(h.left, c.offset);
    EXPECT_EQ(h.right, c.offset + 16);
    EXPECT_EQ(h.top, 0);
    EXPECT_EQ(h.bottom, 10);
}

INSTANTIATE_TEST_SUITE_P(Cases, HandlePlace,
                         ::testing::Values(OffsetCase{0, 360, 0, 0}, OffsetCase{0, 360, 180, 62},
                                           OffsetCase{0, 360, 360, 124}, OffsetCase{-255, 255, 0, 62},
                                           OffsetCase{-100, 100, -100, 0}, OffsetCase{-100, 100, 100, 124},
                                           OffsetCase{0, 248, 1, 0}, OffsetCase{0, 248, 3, 2},
                                           OffsetCase{0, 248, 5, 2}, OffsetCase{0, 248, 7, 4},
                                           OffsetCase{INT_MIN + 1, INT_MAX, INT_MAX, 124}));

struct ButtonCase {
    int width, height;
    TScrollBarKind kind;
    TRBStyle style;
    TBarBorderStyle border;
    bool arrows;
    int buttonSize;
    int expected;
};

class ButtonLength : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(ButtonLength, FollowsSizeStyleAndBorder)
{
    const ButtonCase c = GetParam();
    TGaugeBar bar;
    bar.resize(c.width, c.height);
    bar.setKind(c.kind);
    bar.setStyle(c.style);
    bar.setBorderStyle(c.border);
    bar.setShowArrows(c.arrows);
    bar.setButtonSize(c.buttonSize);
    EXPECT_EQ(bar.buttonLength(), c.expected);
    const Rect t = bar.trackBounds();
    const Rect client = bar.clientRect();
    if (c.kind == TScrollBarKind::sbHorizontal)
        EXPECT_EQ(t.width(), client.width() - 2 * c.expected);
    else
        EXPECT_EQ(t.height(), client.height() - 2 * c.expected);
}

constexpr auto H = TScrollBarKind::sbHorizontal;
constexpr auto V = TScrollBarKind::sbVertical;
constexpr auto Def = TRBStyle::rbsDefault;
constexpr auto Mac = TRBStyle::rbsMac;
constexpr auto Single = TBarBorderStyle::bsSingle;
constexpr auto NoBorder = TBarBorderStyle::bsNone;

INSTANTIATE_TEST_SUITE_P(Cases, ButtonLength,
                         ::testing::Values(ButtonCase{100, 16, H, Def, Single, true, 0, 14},
                                           ButtonCase{100, 16, H, Mac, Single, true, 0, 13},
                                           ButtonCase{100, 16, H, Def, NoBorder, true, 0, 16},
                                           ButtonCase{100, 16, H, Def, Single, false, 0, 0},
                                           ButtonCase{100, 50, H, Def, Single, true, 0, 32},
                                           ButtonCase{100, 16, H, Def, Single, true, 60, 49},
                                           ButtonCase{100, 16, H, Mac, Single, true, 60, 48},
                                           ButtonCase{100, 16, H, Def, Single, true, 1, 0},
                                           ButtonCase{100, 16, H, Mac, Single, true, 2, 0},
                                           ButtonCase{16, 100, V, Def, Single, true, 0, 14},
                                           ButtonCase{20, 16, H, Def, Single, true, 0, 9}));

struct HitCase {
    int x, y;
    TBarZone zone;
};

class HueHitTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(HueHitTest, ZonesOfTheMainWindowGauge)
{
    auto hue = mainWindowGauge(0, 360);
    hue->setPosition(180); // handle over 62..77
    EXPECT_EQ(hue->hitTest(GetParam().x, GetParam().y), GetParam().zone);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HueHitTest,
    ::testing::Values(HitCase{0, 5, TBarZone::bzNone}, HitCase{1, 5, TBarZone::bzPrevTrack},
                      HitCase{61, 0, TBarZone::bzPrevTrack}, HitCase{62, 5, TBarZone::bzHandle},
                      HitCase{77, 9, TBarZone::bzHandle}, HitCase{78, 5, TBarZone::bzNextTrack},
                      HitCase{138, 5, TBarZone::bzNextTrack}, HitCase{139, 5, TBarZone::bzNone},
                      HitCase{140, 5, TBarZone::bzNone}, HitCase{-1, 5, TBarZone::bzNone},
                      HitCase{70, -1, TBarZone::bzNone}, HitCase{70, 10, TBarZone::bzNone}));

TEST(GaugeBar, DisabledBarHasNoHandleZone)
{
    auto hue = mainWindowGauge(0, 360);
    hue->setPosition(180);
    hue->setEnabled(false);
    EXPECT_EQ(hue->hitTest(65, 5), TBarZone::bzPrevTrack);
    EXPECT_EQ(hue->hitTest(70, 5), TBarZone::bzNextTrack);
}

TEST(GaugeBar, ArrowButtonZonesAtBothEnds)
{
    TGaugeBar bar; // 98 x 14 client, buttons of 14
    EXPECT_EQ(bar.hitTest(0, 3), TBarZone::bzPrevButton);
    EXPECT_EQ(bar.hitTest(13, 3), TBarZone::bzPrevButton);
    EXPECT_EQ(bar.hitTest(14, 3), TBarZone::bzHandle);
    EXPECT_EQ(bar.hitTest(84, 3), TBarZone::bzNextButton);
    EXPECT_EQ(bar.hitTest(83, 3), TBarZone::bzNextTrack);
    bar.setKind(TScrollBarKind::sbVertical);
    bar.resize(16, 100);
    EXPECT_EQ(bar.hitTest(3, 0), TBarZone::bzPrevButton);
    EXPECT_EQ(bar.hitTest(3, 14), TBarZone::bzHandle);
    EXPECT_EQ(bar.hitTest(3, 50), TBarZone::bzNextTrack);
    EXPECT_EQ(bar.hitTest(3, 97), TBarZone::bzNextButton);
}

} // namespace
