#pragma once
#include "imaging/Bitmap.h"
#include "imaging/ColorValue.h"
#include "platform/ShiftState.h"

#include <QTimer>
#include <QWidget>
#include <functional>

namespace tintora {

class Canvas;

enum class TRBStyle { rbsDefault, rbsMac };
enum class TRBBackgnd { bgPattern, bgSolid };
enum class TBarBorderStyle { bsNone, bsSingle };
enum class TScrollBarKind { sbHorizontal, sbVertical };
// The parts of a bar, from its start (left or top) to its end.
enum class TBarZone { bzNone, bzPrevButton, bzPrevTrack, bzHandle, bzNextTrack, bzNextButton };
enum class TBarTimerMode { btmIdle, btmFirstDelay, btmRepeat, btmHotWatch };

using TBarMouseEvent =
    std::function<void(QObject* sender, Qt::MouseButton button, ShiftState shift, int x, int y)>;
using TBarMouseMoveEvent = std::function<void(QObject* sender, ShiftState shift, int x, int y)>;

// The frame, the optional arrow buttons, the track, the hit zones, the repeat
// timer, hot tracking and all painting. Coordinates are client coordinates:
// inside the one-pixel border that `bsSingle` reserves.
class TArrowBar : public QWidget {
public:
    explicit TArrowBar(QWidget* parent = nullptr);
    ~TArrowBar() override;

    // Layout, derived from the properties and the window's size.
    int borderWidth() const;
    Rect clientRect() const;
    int buttonLength() const;
    Rect trackBounds() const;
    // The handle as drawn; empty when there is none.
    Rect handleBounds() const { return handleRect(trackBounds()); }
    Rect zoneRect(TBarZone zone) const;
    TBarZone hitTest(int x, int y) const;

    TBarZone dragZone() const { return m_dragZone; }
    TBarZone hotZone() const { return m_hotZone; }
    TBarTimerMode timerMode() const { return m_timerMode; }
    const QTimer& repeatTimer() const { return m_timer; }

    // Draws the whole window (border and client) with the canvas origin at the
    // window's top-left corner.
    void paintTo(Canvas& canvas) const;

    TBarMouseEvent OnMouseDown, OnMouseUp;
    TBarMouseMoveEvent OnMouseMove;

protected:
    TRBBackgnd Backgnd() const { return m_backgnd; }
    void setBackgnd(TRBBackgnd value);
    TBarBorderStyle BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBarBorderStyle value);
    int ButtonSize() const { return m_buttonSize; }
    void setButtonSize(int value);
    ColorValue Color() const { return m_color; }
    void setColor(ColorValue value);
    ColorValue HandleColor() const { return m_handleColor; }
    void setHandleColor(ColorValue value);
    TScrollBarKind Kind() const { return m_kind; }
    void setKind(TScrollBarKind value);
    bool ShowArrows() const { return m_showArrows; }
    void setShowArrows(bool value);
    bool ShowHandleGrip() const { return m_showHandleGrip; }
    void setShowHandleGrip(bool value);
    TRBStyle Style() const { return m_style; }
    void setStyle(TRBStyle value);

    bool vertical() const { return m_kind == TScrollBarKind::sbVertical; }
    QPoint pressPoint() const { return m_pressPoint; }
    // The pointer's current place in client coordinates.
    QPoint pointerClientPos() const;
    void startHotWatch();

    // Hooks for the descendant that owns the range and the handle.
    virtual Rect handleRect(const Rect& track) const;
    virtual void handleGrabbed() {}
    virtual void handleDragged(int distance) { (void)distance; }
    // The step that a press on a button or on the track repeats.
    virtual void repeatStep() {}

    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    QPoint clientPoint(const QMouseEvent* e) const;
    void press(QMouseEvent* e);
    void timerStep();
    void stopHotWatch();
    // The window is rebuilt: on a host window this resets the non-client area.
    void recreateWindow();

    TRBBackgnd m_backgnd = TRBBackgnd::bgPattern;
    TBarBorderStyle m_borderStyle = TBarBorderStyle::bsSingle;
    int m_buttonSize = 0;
    ColorValue m_color;
    ColorValue m_handleColor;
    TScrollBarKind m_kind = TScrollBarKind::sbHorizontal;
    bool m_showArrows = true;
    bool m_showHandleGrip = true;
    TRBStyle m_style = TRBStyle::rbsDefault;

    TBarZone m_dragZone = TBarZone::bzNone;
    TBarZone m_hotZone = TBarZone::bzNone;
    QPoint m_pressPoint;
    QTimer m_timer;
    TBarTimerMode m_timerMode = TBarTimerMode::btmIdle;
};

// The integer range and position, the handle, dragging, stepping and the wheel.
class TCustomGaugeBar : public TArrowBar {
public:
    explicit TCustomGaugeBar(QWidget* parent = nullptr);

    // While loading, Min and Max are stored as given, so that a stored range
    // can be read in any order.
    void beginLoad() { m_loading = true; }
    void endLoad() { m_loading = false; }
    bool loading() const { return m_loading; }

protected:
    int Position() const { return m_position; }
    void setPosition(int value);
    int Min() const { return m_min; }
    void setMin(int value);
    int Max() const { return m_max; }
    void setMax(int value);
    int LargeChange() const { return m_largeChange; }
    void setLargeChange(int value) { m_largeChange = value < 1 ? 1 : value; }
    int SmallChange() const { return m_smallChange; }
    void setSmallChange(int value) { m_smallChange = value < 1 ? 1 : value; }
    int HandleSize() const { return m_handleSize; }
    void setHandleSize(int value);

    std::function<void(QObject*sender)> OnChange, OnUserChange;

    Rect handleRect(const Rect& track) const override;
    void handleGrabbed() override;
    void handleDragged(int distance) override;
    void repeatStep() override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void bringPositionIntoRange();
    // Moves by a step; false when the position stayed where it was.
    bool stepBy(int delta);
    int handleLength(const Rect& track) const;

    int m_position = 0;
    int m_min = 0;
    int m_max = 100;
    int m_largeChange = 1;
    int m_smallChange = 1;
    int m_handleSize = 0;
    bool m_loading = false;
    bool m_userChange = false;
    float m_positionAtPress = 0;
};

// The gauge bar the window places: publishes the properties and events.
class TGaugeBar : public TCustomGaugeBar {
public:
    explicit TGaugeBar(QWidget* parent = nullptr) : TCustomGaugeBar(parent) {}

    using TArrowBar::Backgnd;
    using TArrowBar::BorderStyle;
    using TArrowBar::ButtonSize;
    using TArrowBar::Color;
    using TArrowBar::HandleColor;
    using TArrowBar::Kind;
    using TArrowBar::setBackgnd;
    using TArrowBar::setBorderStyle;
    using TArrowBar::setButtonSize;
    using TArrowBar::setColor;
    using TArrowBar::setHandleColor;
    using TArrowBar::setKind;
    using TArrowBar::setShowArrows;
    using TArrowBar::setShowHandleGrip;
    using TArrowBar::setStyle;
    using TArrowBar::ShowArrows;
    using TArrowBar::ShowHandleGrip;
    using TArrowBar::Style;
    using TCustomGaugeBar::HandleSize;
    using TCustomGaugeBar::LargeChange;
    using TCustomGaugeBar::Max;
    using TCustomGaugeBar::Min;
    using TCustomGaugeBar::Position;
    using TCustomGaugeBar::setHandleSize;
    using TCustomGaugeBar::setLargeChange;
    using TCustomGaugeBar::setMax;
    using TCustomGaugeBar::setMin;
    using TCustomGaugeBar::setPosition;
    using TCustomGaugeBar::setSmallChange;
    using TCustomGaugeBar::SmallChange;

    using TCustomGaugeBar::OnChange;
    using TCustomGaugeBar::OnUserChange;
};

} // namespace tintora
