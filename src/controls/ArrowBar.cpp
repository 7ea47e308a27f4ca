#include "controls/GaugeBar.h"
#include "controls/GaugeBarPaint.h"
#include "platform/Canvas.h"
#include "platform/Guard.h"
#include "platform/Screen.h"
#include "platform/SystemColors.h"

#include <QMouseEvent>
#include <algorithm>

namespace tintora {

namespace {

constexpr int FirstDelayMs = 600;
constexpr int RepeatMs = 100;
constexpr int HotWatchMs = 150;

// A rectangle from positions along the bar's axis (a) and across it (c).
Rect axisRect(bool vertical, int a0, int c0, int a1, int c1)
{
    return vertical ? Rect{c0, a0, c1, a1} : Rect{a0, c0, a1, c1};
}
int startOf(const Rect& r, bool vertical) { return vertical ? r.top : r.left; }
int endOf(const Rect& r, bool vertical) { return vertical ? r.bottom : r.right; }
int crossStart(const Rect& r, bool vertical) { return vertical ? r.left : r.top; }
int crossEnd(const Rect& r, bool vertical) { return vertical ? r.right : r.bottom; }
bool contains(const Rect& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace

TArrowBar::TArrowBar(QWidget* parent) : QWidget(parent), m_color(clScrollBar), m_handleColor(clBtnShadow)
{
    resize(100, 16);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { guarded([this] { timerStep(); }); });
}

TArrowBar::~TArrowBar() = default;

void TArrowBar::setBackgnd(TRBBackgnd value)
{
    if (value == m_backgnd)
        return;
    m_backgnd = value;
    update();
}

void TArrowBar::setBorderStyle(TBarBorderStyle value)
{
    if (value == m_borderStyle)
        return;
    m_borderStyle = value;
    recreateWindow();
}

void TArrowBar::setButtonSize(int value)
{
    if (value == m_buttonSize)
        return;
    m_buttonSize = value;
    update();
}

void TArrowBar::setColor(ColorValue value)
{
    if (value == m_color)
        return;
    m_color = value;
    update();
}

void TArrowBar::setHandleColor(ColorValue value)
{
    if (value == m_handleColor)
        return;
    m_handleColor = value;
    update();
}

void TArrowBar::setKind(TScrollBarKind value)
{
    if (value == m_kind)
        return;
    m_kind = value;
    update();
}

void TArrowBar::setShowArrows(bool value)
{
    if (value == m_showArrows)
        return;
    m_showArrows = value;
    update();
}

void TArrowBar::setShowHandleGrip(bool value)
{
    if (value == m_showHandleGrip)
        return;
    m_showHandleGrip = value;
    update();
}

void TArrowBar::setStyle(TRBStyle value)
{
    // The window is rebuilt even for the same style.
    m_style = value;
    recreateWindow();
}

void TArrowBar::recreateWindow() { update(); }

int TArrowBar::borderWidth() const { return m_borderStyle == TBarBorderStyle::bsSingle ? 1 : 0; }

Rect TArrowBar::clientRect() const
{
    const int b = borderWidth();
    return Rect{0, 0, std::max(0, width() - 2 * b), std::max(0, height() - 2 * b)};
}

int TArrowBar::buttonLength() const
{
    if (!m_showArrows)
        return 0;
    const Rect client = clientRect();
    const bool v = vertical();
    const int length = v ? client.height() : client.width();
    const int thickness = v ? client.width() : client.height();
    int b = m_buttonSize != 0 ? m_buttonSize : std::min(thickness, 32);
    if (2 * b >= length)
        b = length / 2;
    if (m_style == TRBStyle::rbsMac)
        b -= 1;
    return b <= 1 ? 0 : b;
}

Rect TArrowBar::trackBounds() const
{
    const Rect client = clientRect();
    const bool v = vertical();
    const int b = buttonLength();
    return axisRect(v, startOf(client, v) + b, crossStart(client, v), endOf(client, v) - b,
                    crossEnd(client, v));
}

Rect TArrowBar::handleRect(const Rect&) const { return Rect{}; }

Rect TArrowBar::zoneRect(TBarZone zone) const
{
    const bool v = vertical();
    const Rect client = clientRect();
    const Rect track = trackBounds();
    Rect handle = handleRect(track);
    if (!isEnabled() || handle.right <= handle.left || handle.bottom <= handle.top) {
        // Without a handle the two track pieces meet at the track's centre.
        const int cx = (track.left + track.right) / 2, cy = (track.top + track.bottom) / 2;
        handle = Rect{cx, cy, cx, cy};
    }
    const int b = buttonLength();
    const int c0 = crossStart(track, v), c1 = crossEnd(track, v);
    switch (zone) {
    case TBarZone::bzPrevButton:
        return axisRect(v, startOf(client, v), c0, startOf(client, v) + b, c1);
    case TBarZone::bzNextButton:
        return axisRect(v, endOf(client, v) - b, c0, endOf(client, v), c1);
    case TBarZone::bzPrevTrack:
        return axisRect(v, startOf(track, v), c0, startOf(handle, v), c1);
    case TBarZone::bzNextTrack:
        return axisRect(v, endOf(handle, v), c0, endOf(track, v), c1);
    case TBarZone::bzHandle:
        return handle;
    case TBarZone::bzNone:
        break;
    }
    return Rect{};
}

TBarZone TArrowBar::hitTest(int x, int y) const
{
    const Rect client = clientRect();
    if (!contains(client, x, y))
        return TBarZone::bzNone;
    const bool v = vertical();
    const int along = v ? y : x;
    const int length = v ? client.height() : client.width();
    const int b = buttonLength();
    if (along < b)
        return TBarZone::bzPrevButton;
    if (along >= length - b)
        return TBarZone::bzNextButton;
    const Rect handle = zoneRect(TBarZone::bzHandle);
    if (contains(handle, x, y))
        return TBarZone::bzHandle;
    // The outermost pixel at either end belongs to no track piece.
    if (along > 0 && along < startOf(handle, v))
        return TBarZone::bzPrevTrack;
    if (along >= endOf(handle, v) && along < length - 1)
        return TBarZone::bzNextTrack;
    return TBarZone::bzNone;
}

QPoint TArrowBar::pointerClientPos() const
{
    const int b = borderWidth();
    return mapFromGlobal(tintora::screen().cursorPos()) - QPoint(b, b);
}

void TArrowBar::startHotWatch()
{
    m_timer.setInterval(HotWatchMs);
    m_timerMode = TBarTimerMode::btmHotWatch;
    m_timer.start();
}

void TArrowBar::stopHotWatch()
{
    m_timer.stop();
    m_hotZone = TBarZone::bzNone;
    update();
}

void TArrowBar::timerStep()
{
    if (m_timerMode == TBarTimerMode::btmFirstDelay) {
        m_timer.setInterval(RepeatMs);
        m_timerMode = TBarTimerMode::btmRepeat;
    } else if (m_timerMode == TBarTimerMode::btmHotWatch) {
        const QPoint p = pointerClientPos();
        if (!contains(clientRect(), p.x(), p.y()))
            stopHotWatch();
    }
    repeatStep();
}

QPoint TArrowBar::clientPoint(const QMouseEvent* e) const
{
    const int b = borderWidth();
    return e->position().toPoint() - QPoint(b, b);
}

void TArrowBar::press(QMouseEvent* e)
{
    const QPoint p = clientPoint(e);
    fire(OnMouseDown, this, e->button(), shiftState(e), p.x(), p.y());
    if (e->button() != Qt::LeftButton)
        return;
    m_dragZone = hitTest(p.x(), p.y());
    update();
    m_pressPoint = p;
    m_timer.setInterval(FirstDelayMs);
    m_timerMode = TBarTimerMode::btmRepeat;
    timerStep();
    m_timerMode = TBarTimerMode::btmFirstDelay;
    m_timer.start();
    if (m_dragZone == TBarZone::bzHandle) {
        startHotWatch();
        handleGrabbed();
    }
}

void TArrowBar::mousePressEvent(QMouseEvent* e)
{
    guarded([&] { press(e); });
}

// A double click reaches the bar as a second single press.
void TArrowBar::mouseDoubleClickEvent(QMouseEvent* e)
{
    guarded([&] { press(e); });
}

void TArrowBar::mouseMoveEvent(QMouseEvent* e)
{
    guarded([&] {
        const QPoint p = clientPoint(e);
        fire(OnMouseMove, this, shiftState(e), p.x(), p.y());
        if (m_dragZone == TBarZone::bzNone && isEnabled()) {
            const TBarZone zone = hitTest(p.x(), p.y());
            if (zone != m_hotZone) {
                m_hotZone = zone;
                if (zone != TBarZone::bzNone)
                    startHotWatch();
                update();
            }
        }
        if (m_dragZone == TBarZone::bzHandle)
            handleDragged(vertical() ? p.y() - m_pressPoint.y() : p.x() - m_pressPoint.x());
    });
}

void TArrowBar::mouseReleaseEvent(QMouseEvent* e)
{
    guarded([&] {
        const QPoint p = clientPoint(e);
        fire(OnMouseUp, this, e->button(), shiftState(e), p.x(), p.y());
        m_dragZone = TBarZone::bzNone;
        update();
        startHotWatch();
    });
}

void TArrowBar::leaveEvent(QEvent*)
{
    guarded([&] { stopHotWatch(); });
}

void TArrowBar::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(e);
}

void TArrowBar::paintEvent(QPaintEvent*)
{
    guarded([&] {
        Canvas canvas(this);
        paintTo(canvas);
    });
}

void TArrowBar::paintTo(Canvas& canvas) const
{
    using namespace barpaint;
    if (m_borderStyle == TBarBorderStyle::bsSingle)
        drawSunkenBorder(canvas, Rect{0, 0, width(), height()});
    const Rect client = clientRect();
    QPainter& painter = canvas.painter();
    painter.save();
    const int b = borderWidth();
    painter.translate(b, b);
    painter.setClipRect(QRect(0, 0, client.width(), client.height()), Qt::IntersectClip);

    const bool v = vertical();
    const BarLook look{m_style, m_backgnd, m_color, m_handleColor, m_showHandleGrip, v, isEnabled()};
    const Direction toStart = v ? Direction::Up : Direction::Left;
    const Direction toEnd = v ? Direction::Down : Direction::Right;
    const auto pressed = [this](TBarZone z) { return m_dragZone == z; };
    const auto hot = [this](TBarZone z) { return m_hotZone == z; };
    if (buttonLength() > 0) {
        drawArrowButton(canvas, zoneRect(TBarZone::bzPrevButton), toStart, pressed(TBarZone::bzPrevButton),
                        hot(TBarZone::bzPrevButton), look);
        drawArrowButton(canvas, zoneRect(TBarZone::bzNextButton), toEnd, pressed(TBarZone::bzNextButton),
                        hot(TBarZone::bzNextButton), look);
    }
    drawTrack(canvas, zoneRect(TBarZone::bzPrevTrack), toStart, pressed(TBarZone::bzPrevTrack), look);
    drawTrack(canvas, zoneRect(TBarZone::bzNextTrack), toEnd, pressed(TBarZone::bzNextTrack), look);
    const Rect handle = handleBounds();
    if (isEnabled() && handle.right > handle.left && handle.bottom > handle.top)
        drawHandle(canvas, handle, pressed(TBarZone::bzHandle), hot(TBarZone::bzHandle), look);
    painter.restore();
}

} // namespace tintora
