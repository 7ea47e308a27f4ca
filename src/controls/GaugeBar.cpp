#include "controls/GaugeBar.h"

#include "platform/Guard.h"

#include <QWheelEvent>
#include <climits>
#include <cmath>
#include <cstdint>

namespace tintora {

namespace {

// Nearest integer, halves to the even one, kept inside the int range.
int roundToInt(long double value)
{
    const long double r = std::nearbyintl(value);
    if (r <= static_cast<long double>(INT_MIN))
        return INT_MIN;
    if (r >= static_cast<long double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(r);
}

int clampToInt(std::int64_t value)
{
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// Sets a flag for a scope, and clears it even when an event handler throws.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

TCustomGaugeBar::TCustomGaugeBar(QWidget* parent) : TArrowBar(parent) {}

void TCustomGaugeBar::setPosition(int value)
{
    if (value < m_min)
        value = m_min;
    else if (value > m_max)
        value = m_max;
    if (value == m_position)
        return;
    m_position = value;
    update();
    fire(OnChange, this);
    if (m_userChange)
        fire(OnUserChange, this);
}

void TCustomGaugeBar::bringPositionIntoRange()
{
    if (m_position < m_min)
        setPosition(m_min);
    else if (m_position > m_max)
        setPosition(m_max);
}

void TCustomGaugeBar::setMax(int value)
{
    if (!m_loading && value <= m_min)
        value = m_min == INT_MAX ? INT_MAX : m_min + 1;
    if (value == m_max)
        return;
    m_max = value;
    bringPositionIntoRange();
    update();
}

void TCustomGaugeBar::setMin(int value)
{
    if (!m_loading && value >= m_max)
        value = m_max == INT_MIN ? INT_MIN : m_max - 1;
    if (value == m_min)
        return;
    m_min = value;
    bringPositionIntoRange();
    update();
}

void TCustomGaugeBar::setHandleSize(int value)
{
    if (value < 0)
        value = 0;
    if (value == m_handleSize)
        return;
    m_handleSize = value;
    update();
}

int TCustomGaugeBar::handleLength(const Rect& track) const
{
    const int length = vertical() ? track.height() : track.width();
    const int thickness = vertical() ? clientRect().width() : clientRect().height();
    int h = m_handleSize != 0 ? m_handleSize : thickness;
    if (h > length - 1)
        h = length - 1;
    return h < 0 ? 0 : h;
}

Rect TCustomGaugeBar::handleRect(const Rect& track) const
{
    const int length = vertical() ? track.height() : track.width();
    const int h = handleLength(track);
    // The product is taken in 64 bits, so that wide ranges cannot overflow; a
    // range still empty while loading puts the handle at the start.
    const std::int64_t span = std::int64_t(m_max) - m_min;
    int offset = 0;
    if (span > 0) {
        const std::int64_t product = std::int64_t(length - h) * (std::int64_t(m_position) - m_min);
        offset =
            roundToInt(static_cast<long double>(static_cast<double>(product) / static_cast<double>(span)));
    }
    if (vertical())
        return Rect{track.left, track.top + offset, track.right, track.top + offset + h};
    return Rect{track.left + offset, track.top, track.left + offset + h, track.bottom};
}

void TCustomGaugeBar::handleGrabbed() { m_positionAtPress = static_cast<float>(m_position); }

void TCustomGaugeBar::handleDragged(int distance)
{
    const Rect track = trackBounds();
    const int travel = (vertical() ? track.height() : track.width()) - handleLength(track);
    // A bar whose track is all taken by its buttons has no travel: the handle stays.
    if (travel <= 0)
        return;
    const long double span = static_cast<long double>(std::int64_t(m_max) - m_min);
    const float delta = static_cast<float>(span * distance / travel);
    FlagScope user(m_userChange);
    setPosition(roundToInt(static_cast<long double>(m_positionAtPress) + delta));
}

bool TCustomGaugeBar::stepBy(int delta)
{
    const int before = m_position;
    setPosition(clampToInt(std::int64_t(m_position) + delta));
    return m_position != before;
}

void TCustomGaugeBar::repeatStep()
{
    FlagScope user(m_userChange);
    const auto pointerZone = [this] {
        const Rect client = clientRect();
        const QPoint p = pointerClientPos();
        const int x = std::clamp(p.x(), 0, std::max(0, client.width() - 1));
        const int y = std::clamp(p.y(), 0, std::max(0, client.height() - 1));
        return hitTest(x, y);
    };
    switch (dragZone()) {
    case TBarZone::bzPrevButton:
        if (!stepBy(-m_smallChange))
            startHotWatch();
        break;
    case TBarZone::bzNextButton:
        if (!stepBy(m_smallChange))
            startHotWatch();
        break;
    case TBarZone::bzPrevTrack: {
        const TBarZone zone = pointerZone();
        if (zone == TBarZone::bzPrevButton || zone == TBarZone::bzPrevTrack)
            stepBy(-m_largeChange);
        break;
    }
    case TBarZone::bzNextTrack: {
        const TBarZone zone = pointerZone();
        if (zone == TBarZone::bzNextTrack || zone == TBarZone::bzNextButton)
            stepBy(m_largeChange);
        break;
    }
    case TBarZone::bzNone:
    case TBarZone::bzHandle:
        break;
    }
}

void TCustomGaugeBar::wheelEvent(QWheelEvent* e)
{
    guarded([&] {
        const QPoint angle = e->angleDelta();
        const int delta = angle.y() != 0 ? angle.y() : angle.x();
        // Truncates toward zero: a part of a notch moves nothing.
        stepBy(clampToInt(std::int64_t(delta) * m_smallChange / 120));
    });
    e->accept();
}

} // namespace tintora
