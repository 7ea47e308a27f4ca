// The gauge bar under real mouse input: handle drag, track and button
// auto-repeat, hot tracking, the wheel and the order of the mouse events.
#include "GaugeBarFixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QWheelEvent>

using namespace tintora;
using namespace tintora::test;

namespace {

struct DragCase {
    int min, max, start, pixels, expected;
};

class HandleDrag : public ::testing::TestWithParam<DragCase> {};

TEST_P(HandleDrag, MovesByRangeOverTravelAndKeepsTheGrabOffset)
{
    const DragCase c = GetParam();
    auto bar = mainWindowGauge(c.min, c.max);
    bar->setPosition(c.start);
    bar->show();
    EventLog log;
    log.attach(*bar);
    const int grab = bar->handleBounds().left + 8;
    pressAt(*bar, grab, 5);
    ASSERT_EQ(bar->dragZone(), TBarZone::bzHandle);
    EXPECT_EQ(bar->timerMode(), TBarTimerMode::btmHotWatch);
    EXPECT_EQ(log.order, "");
    moveTo(*bar, grab + c.pixels, 5);
    EXPECT_EQ(bar->Position(), c.expected);
    EXPECT_EQ(log.order, c.expected == c.start ? "" : "CU");
    releaseAt(*bar, grab + c.pixels, 5);
    EXPECT_EQ(bar->dragZone(), TBarZone::bzNone);
    moveTo(*bar, grab + c.pixels + 30, 5, Qt::NoButton);
    EXPECT_EQ(bar->Position(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, HandleDrag,
                         ::testing::Values(DragCase{0, 360, 0, 1, 3},           // 2.903
                                           DragCase{0, 360, 0, 2, 6},           // 5.806
                                           DragCase{0, 360, 180, -1, 177},      // 177.097
                                           DragCase{0, 100, 0, 1, 1},           // 0.806
                                           DragCase{-255, 255, 0, 1, 4},        // 4.113
                                           DragCase{0, 360, 0, 500, 360},       // pinned at Max
                                           DragCase{-100, 100, 50, -900, -100}, // pinned at Min
                                           DragCase{0, 62, 0, 1, 0},            // 0.5 goes to 0
                                           DragCase{0, 62, 0, 3, 2},            // 1.5 goes to 2
                                           DragCase{0, 62, 2, 1, 2},            // 2.5 goes to 2
                                           DragCase{0, 62, 1, -1, 0}));         // 0.5 goes to 0

TEST(GaugeMouse, DragGoesOnOutsideTheBarAndReportsEveryStep)
{
    auto hue = mainWindowGauge(0, 360);
    hue->show();
    EventLog log;
    log.attach(*hue);
    pressAt(*hue, 8, 5);
    for (int x = 9; x <= 12; ++x)
        moveTo(*hue, x, 5);
    moveTo(*hue, 8, -40);
    EXPECT_EQ(log.positions, (std::vector<int>{3, 6, 9, 12, 0}));
    EXPECT_EQ(log.order, "CUCUCUCUCU");
    releaseAt(*hue, 8, -40);
}

TEST(GaugeMouse, MouseEventsFireBeforeTheBarReacts)
{
    FakeScreen screen;
    auto hue = mainWindowGauge(0, 360);
    hue->setPosition(180);
    hue->show();
    screen.pos = hue->mapToGlobal(widgetPoint(*hue, 120, 5));
    std::string seq;
    hue->OnMouseDown = [&](QObject* sender, Qt::MouseButton button, ShiftState shift, int x, int y) {
        seq += 'D';
        EXPECT_EQ(sender, hue.get());
        EXPECT_EQ(button, Qt::LeftButton);
        EXPECT_TRUE(shift.testFlag(Shift::Left));
        EXPECT_EQ(x, 120);
        EXPECT_EQ(y, 5);
        EXPECT_EQ(hue->Position(), 180);
    };
    hue->OnMouseUp = [&](QObject*, Qt::MouseButton, ShiftState, int, int) {
        seq += 'U';
        EXPECT_EQ(hue->dragZone(), TBarZone::bzNextTrack);
    };
    pressAt(*hue, 120, 5);
    EXPECT_EQ(hue->Position(), 181);
    releaseAt(*hue, 120, 5);
    EXPECT_EQ(seq, "DU");
    EXPECT_EQ(hue->dragZone(), TBarZone::bzNone);
    EXPECT_EQ(hue->timerMode(), TBarTimerMode::btmHotWatch);
    EXPECT_EQ(hue->repeatTimer().interval(), 150);
}

TEST(GaugeMouse, OtherButtonsAndTheOutermostColumnChangeNothing)
{
    FakeScreen screen;
    auto hue = mainWindowGauge(0, 360);
    hue->setPosition(180);
    hue->show();
    int downs = 0;
    hue->OnMouseDown = [&](auto&&...) { ++downs; };
    screen.pos = hue->mapToGlobal(widgetPoint(*hue, 120, 5));
    pressAt(*hue, 120, 5, Qt::RightButton);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(hue->dragZone(), TBarZone::bzNone);
    releaseAt(*hue, 120, 5, Qt::RightButton);
    screen.pos = hue->mapToGlobal(widgetPoint(*hue, 0, 5));
    pressAt(*hue, 0, 5);
    EXPECT_EQ(hue->dragZone(), TBarZone::bzNone);
    releaseAt(*hue, 0, 5);
    EXPECT_EQ(hue->Position(), 180);
}

TEST(GaugeMouse, DoubleClickCountsAsTwoPresses)
{
    FakeScreen screen;
    auto hue = mainWindowGauge(0, 360);
    hue->setPosition(180);
    hue->show();
    screen.pos = hue->mapToGlobal(widgetPoint(*hue, 20, 5));
    QTest::mouseClick(hue.get(), Qt::LeftButton, {}, widgetPoint(*hue, 20, 5));
    QTest::mouseDClick(hue.get(), Qt::LeftButton, {}, widgetPoint(*hue, 20, 5));
    QTest::mouseRelease(hue.get(), Qt::LeftButton, {}, widgetPoint(*hue, 20, 5));
    EXPECT_EQ(hue->Position(), 178);
}

TEST(GaugeMouse, TrackPressRepeatsAfter600ThenEvery100UntilTheHandleReachesThePointer)
{
    FakeScreen screen;
    auto zoom = mainWindowGauge(-100, 100); // handle over 62..77
    zoom->show();
    EventLog log;
    log.attach(*zoom);
    screen.pos = zoom->mapToGlobal(widgetPoint(*zoom, 85, 5));
    QElapsedTimer clock;
    clock.start();
    pressAt(*zoom, 85, 5);
    EXPECT_EQ(zoom->Position(), 1);
    EXPECT_EQ(log.order, "CU");
    EXPECT_EQ(zoom->timerMode(), TBarTimerMode::btmFirstDelay);
    EXPECT_EQ(zoom->repeatTimer().interval(), 600);

    QTRY_COMPARE_WITH_TIMEOUT(zoom->Position(), 2, 5000);
    EXPECT_GE(clock.elapsed(), 540);
    EXPECT_EQ(zoom->timerMode(), TBarTimerMode::btmRepeat);
    EXPECT_EQ(zoom->repeatTimer().interval(), 100);
    clock.restart();

    // At 13 the handle covers 70..85 and so reaches the pointer.
    QTRY_COMPARE_WITH_TIMEOUT(zoom->Position(), 13, 10000);
    EXPECT_GE(clock.elapsed(), 1000);
    QSignalSpy ticks(&zoom->repeatTimer(), &QTimer::timeout);
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 3, 5000);
    EXPECT_EQ(zoom->Position(), 13);

    // The pointer moves on: so do the steps, until the handle covers 80..95.
    screen.pos = zoom->mapToGlobal(widgetPoint(*zoom, 95, 5));
    QTRY_COMPARE_WITH_TIMEOUT(zoom->Position(), 29, 10000);
    releaseAt(*zoom, 95, 5);
    EXPECT_EQ(log.changes(), 29);
    EXPECT_EQ(log.userChanges(), 29);
    EXPECT_EQ(zoom->timerMode(), TBarTimerMode::btmHotWatch);
}

TEST(GaugeMouse, PressLeftOfTheHandleStepsDown)
{
    FakeScreen screen;
    auto zoom = mainWindowGauge(-100, 100);
    zoom->show();
    screen.pos = zoom->mapToGlobal(widgetPoint(*zoom, 58, 5));
    pressAt(*zoom, 58, 5);
    EXPECT_EQ(zoom->Position(), -1);
    // At -6 the handle starts at 58, under the pointer.
    QTRY_COMPARE_WITH_TIMEOUT(zoom->Position(), -6, 5000);
    releaseAt(*zoom, 58, 5);
}

TEST(GaugeMouse, ArrowButtonRepeatEndsInHotWatchAtTheEnd)
{
    FakeScreen screen;
    TGaugeBar bar; // arrows of 14 pixels
    bar.setMax(3);
    bar.setSmallChange(2);
    bar.show();
    screen.pos = bar.mapToGlobal(widgetPoint(bar, 90, 5));
    pressAt(bar, 90, 5);
    EXPECT_EQ(bar.dragZone(), TBarZone::bzNextButton);
    EXPECT_EQ(bar.Position(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(bar.Position(), 3, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(bar.timerMode(), TBarTimerMode::btmHotWatch, 5000);
    releaseAt(bar, 90, 5);

    screen.pos = bar.mapToGlobal(widgetPoint(bar, 3, 5));
    pressAt(bar, 3, 5);
    EXPECT_EQ(bar.Position(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(bar.Position(), 0, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(bar.timerMode(), TBarTimerMode::btmHotWatch, 5000);
    releaseAt(bar, 3, 5);
}

TEST(GaugeMouse, HotZoneFollowsThePointerUntilItLeaves)
{
    FakeScreen screen;
    auto hue = mainWindowGauge(0, 360);
    hue->setPosition(180);
    hue->show();
    screen.pos = hue->mapToGlobal(widgetPoint(*hue, 70, 5));
    moveTo(*hue, 70, 5, Qt::NoButton);
    EXPECT_EQ(hue->hotZone(), TBarZone::bzHandle);
    EXPECT_EQ(hue->timerMode(), TBarTimerMode::btmHotWatch);
    EXPECT_TRUE(hue->repeatTimer().isActive());
    EXPECT_EQ(hue->repeatTimer().interval(), 150);
    moveTo(*hue, 30, 5, Qt::NoButton);
    EXPECT_EQ(hue->hotZone(), TBarZone::bzPrevTrack);

    hoverLeave(hue.get());
    EXPECT_EQ(hue->hotZone(), TBarZone::bzNone);
    EXPECT_FALSE(hue->repeatTimer().isActive());

    // A tick that finds the pointer gone ends hot watch as well.
    moveTo(*hue, 100, 5, Qt::NoButton);
    EXPECT_EQ(hue->hotZone(), TBarZone::bzNextTrack);
    screen.pos = hue->mapToGlobal(widgetPoint(*hue, 100, 40));
    QTRY_COMPARE_WITH_TIMEOUT(hue->hotZone(), TBarZone::bzNone, 5000);
    EXPECT_FALSE(hue->repeatTimer().isActive());
    EXPECT_EQ(hue->Position(), 180);
}

struct WheelCase {
    int smallChange, delta, start, expected;
};

class Wheel : public ::testing::TestWithParam<WheelCase> {};

TEST_P(Wheel, WholeNotchesOfSmallChangeNeverAUserChange)
{
    const WheelCase c = GetParam();
    auto zoom = mainWindowGauge(-100, 100);
    zoom->setSmallChange(c.smallChange);
    zoom->setPosition(c.start);
    EventLog log;
    log.attach(*zoom);
    const QPointF at(widgetPoint(*zoom, 70, 5));
    QWheelEvent e(at, zoom->mapToGlobal(at), QPoint(), QPoint(0, c.delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(zoom.get(), &e);
    EXPECT_TRUE(e.isAccepted());
    EXPECT_EQ(zoom->Position(), c.expected);
    EXPECT_EQ(log.changes(), c.expected == c.start ? 0 : 1);
    EXPECT_EQ(log.userChanges(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, Wheel,
                         ::testing::Values(WheelCase{1, 120, 0, 1}, WheelCase{1, 60, 0, 0},
                                           WheelCase{1, 119, 0, 0}, WheelCase{1, -240, 0, -2},
                                           WheelCase{3, 60, 0, 1}, WheelCase{3, -60, 0, -1},
                                           WheelCase{5, 120, 98, 100}, WheelCase{7, -360, -90, -100}));

} // namespace
