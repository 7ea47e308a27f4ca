#include "controls/GaugeBarPaint.h"

#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <algorithm>
#include <cassert>
#include <vector>

namespace tintora::barpaint {

namespace {

ColorValue rgb(ColorValue color) { return SystemColors::resolve(color); }

bool isEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

void shrink(Rect& r, int by)
{
    r.left += by;
    r.top += by;
    r.right -= by;
    r.bottom -= by;
}

void offset(Rect& r, int dx, int dy)
{
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
}

// The three sides of a piece that do not face the handle (or the track).
unsigned outerSides(Direction direction)
{
    switch (direction) {
    case Direction::Left:
        return SideTop | SideBottom | SideLeft;
    case Direction::Right:
        return SideTop | SideBottom | SideRight;
    case Direction::Up:
        return SideTop | SideLeft | SideRight;
    case Direction::Down:
        return SideBottom | SideLeft | SideRight;
    }
    return 0;
}

// The inner shade of a track piece, just inside its frame.
void drawShade(Canvas& canvas, Rect& r, Direction direction, ColorValue shade)
{
    switch (direction) {
    case Direction::Left:
    case Direction::Up:
        canvas.fillRect(Rect{r.left, r.top, r.left + 1, r.bottom}, shade);
        canvas.fillRect(Rect{r.left, r.top, r.right, r.top + 1}, shade);
        r.left += 1;
        r.top += 1;
        break;
    case Direction::Right:
        canvas.fillRect(Rect{r.left, r.top, r.right, r.top + 1}, shade);
        r.top += 1;
        break;
    case Direction::Down:
        canvas.fillRect(Rect{r.left, r.top, r.left + 1, r.bottom}, shade);
        r.left += 1;
        break;
    }
}

void drawTriangle(Canvas& canvas, const Rect& r, Direction direction, ColorValue color)
{
    const int cx = (r.left + r.right - 1) / 2;
    const int cy = (r.top + r.bottom - 1) / 2;
    int s = std::min(cx - r.left, cy - r.top) * 3 / 4 - 1;
    if (s == 0)
        s = 1;
    const bool towardStart = direction == Direction::Left || direction == Direction::Up;
    const int o = towardStart ? (s + 1) / 3 : s / 3;
    std::vector<QPoint> points;
    switch (direction) {
    case Direction::Left:
        points = {{cx + o, cy + s}, {cx + o - s, cy}, {cx + o, cy - s}};
        break;
    case Direction::Right:
        points = {{cx - o, cy + s}, {cx - o + s, cy}, {cx - o, cy - s}};
        break;
    case Direction::Up:
        points = {{cx + s, cy + o}, {cx, cy + o - s}, {cx - s, cy + o}};
        break;
    case Direction::Down:
        points = {{cx + s, cy - o}, {cx, cy - o + s}, {cx - s, cy - o}};
        break;
    }
    canvas.setPenColor(color);
    canvas.setBrushColor(color);
    canvas.polygon(points);
}

// The arrow glyph; a disabled one is embossed.
void drawArrowGlyph(Canvas& canvas, const Rect& r, Direction direction, bool enabled)
{
    if (enabled) {
        drawTriangle(canvas, r, direction, clBtnText);
        return;
    }
    Rect shifted = r;
    offset(shifted, 1, 1);
    drawTriangle(canvas, shifted, direction, clBtnHighlight);
    drawTriangle(canvas, r, direction, clBtnShadow);
}

void drawRaisedEdge(Canvas& canvas, Rect& r)
{
    frame3D(canvas, r, cl3DLight, cl3DDkShadow, true);
    frame3D(canvas, r, clBtnHighlight, clBtnShadow, true);
}

void drawGripBars(Canvas& canvas, const Rect& r, bool vertical, ColorValue light, ColorValue dark)
{
    const int length = vertical ? r.bottom - r.top : r.right - r.left;
    const int centre = vertical ? (r.top + r.bottom) / 2 : (r.left + r.right) / 2;
    for (const int offsetFromCentre : {-5, -2, 1, 4}) {
        if ((offsetFromCentre == -5 || offsetFromCentre == 4) && length <= 10)
            continue;
        const int start = centre + offsetFromCentre;
        Rect bar = vertical ? Rect{r.left + 1, start, r.right - 1, start + 2}
                            : Rect{start, r.top + 1, start + 2, r.bottom - 1};
        frame3D(canvas, bar, light, dark, false);
    }
}

void drawMacHandle(Canvas& canvas, Rect r, bool pressed, const BarLook& look)
{
    const ColorValue face = rgb(look.handleColor);
    const ColorValue light = lighten(face, 24);
    const ColorValue dark = lighten(face, -24);
    sideFrame(canvas, r, SideTop | SideBottom | SideLeft | SideRight, clWindowFrame);
    if (pressed)
        frame3D(canvas, r, dark, face, true);
    else
        frame3D(canvas, r, light, blend(rgb(clWindowFrame), face, 96), true);
    canvas.fillRect(r, face);
    if (!look.showHandleGrip)
        return;
    if (pressed)
        offset(r, 1, 1);
    drawGripBars(canvas, r, look.vertical, light, dark);
}

void drawMacArrow(Canvas& canvas, Rect r, Direction direction, bool pressed, const BarLook& look)
{
    sideFrame(canvas, r, outerSides(direction), look.enabled ? clWindowFrame : clBtnShadow);
    if (look.enabled && !pressed) {
        frame3D(canvas, r, clBtnHighlight, clBtnShadow, true);
        canvas.fillRect(r, clBtnFace);
    } else if (look.enabled) {
        canvas.fillRect(r, clBtnFace);
        offset(r, 1, 1);
        shrink(r, 1);
    } else {
        canvas.fillRect(r, clBtnFace);
        shrink(r, 1);
    }
    drawArrowGlyph(canvas, r, direction, look.enabled);
}

// The platform's scroll-bar button without visual styles: raised, or flat and
// pushed while pressed.
void drawPlainArrow(Canvas& canvas, Rect r, Direction direction, bool pressed, const BarLook& look)
{
    if (pressed) {
        sideFrame(canvas, r, SideTop | SideBottom | SideLeft | SideRight, clBtnShadow);
        canvas.fillRect(r, clBtnFace);
        shrink(r, 1);
        offset(r, 1, 1);
    } else {
        drawRaisedEdge(canvas, r);
        canvas.fillRect(r, clBtnFace);
    }
    drawArrowGlyph(canvas, r, direction, look.enabled);
}

} // namespace

ColorValue lighten(ColorValue color, int amount)
{
    const auto channel = [amount](int c) { return std::clamp(c + amount, 0, 255); };
    return makeColor(channel(redOf(color)), channel(greenOf(color)), channel(blueOf(color)));
}

ColorValue blend(ColorValue a, ColorValue b, int weight)
{
    assert(weight >= 0 && weight < 256);
    const auto channel = [weight](int x, int y) { return (x * weight + y * (255 - weight)) / 256; };
    return makeColor(channel(redOf(a), redOf(b)), channel(greenOf(a), greenOf(b)),
                     channel(blueOf(a), blueOf(b)));
}

void sideFrame(Canvas& canvas, Rect& r, unsigned sides, ColorValue color)
{
    if (sides & SideTop) {
        canvas.fillRect(Rect{r.left, r.top, r.right, r.top + 1}, color);
        r.top += 1;
    }
    if (sides & SideBottom) {
        canvas.fillRect(Rect{r.left, r.bottom - 1, r.right, r.bottom}, color);
        r.bottom -= 1;
    }
    if (sides & SideLeft) {
        canvas.fillRect(Rect{r.left, r.top, r.left + 1, r.bottom}, color);
        r.left += 1;
    }
    if (sides & SideRight) {
        canvas.fillRect(Rect{r.right - 1, r.top, r.right, r.bottom}, color);
        r.right -= 1;
    }
}

void frame3D(Canvas& canvas, Rect& r, ColorValue light, ColorValue dark, bool adjust)
{
    canvas.fillRect(Rect{r.left, r.top, r.left + 1, r.bottom}, light);
    canvas.fillRect(Rect{r.left, r.top, r.right - 1, r.top + 1}, light);
    canvas.fillRect(Rect{r.right - 1, r.top, r.right, r.bottom}, dark);
    canvas.fillRect(Rect{r.left + 1, r.bottom - 1, r.right, r.bottom}, dark);
    if (adjust)
        shrink(r, 1);
}

void checkerFill(Canvas& canvas, const Rect& r, ColorValue odd, ColorValue even)
{
    // The pattern has a period of two, so the one-pixel border, which moves the
    // client origin by the same amount on both axes, keeps its parity.
    if (rgb(odd) == rgb(even)) {
        canvas.fillRect(r, odd);
        return;
    }
    canvas.setPatternBrush(odd, even);
    canvas.fillRect(r);
}

void drawSunkenBorder(Canvas& canvas, const Rect& w)
{
    canvas.fillRect(Rect{w.left, w.top, w.right, w.top + 1}, clBtnShadow);
    canvas.fillRect(Rect{w.left, w.top, w.left + 1, w.bottom}, clBtnShadow);
    canvas.fillRect(Rect{w.right - 1, w.top, w.right, w.bottom}, clBtnHighlight);
    canvas.fillRect(Rect{w.left, w.bottom - 1, w.right, w.bottom}, clBtnHighlight);
}

void drawTrack(Canvas& canvas, Rect r, Direction direction, bool pressed, const BarLook& look)
{
    if (isEmpty(r))
        return;
    if (look.style != TRBStyle::rbsMac) {
        // Without visual styles (see TThemeNexus) the track is plain.
        if (pressed)
            canvas.fillRect(r, clWindowFrame);
        else
            checkerFill(canvas, r, clBtnHighlight, look.color);
        return;
    }
    sideFrame(canvas, r, outerSides(direction), look.enabled ? clWindowFrame : clBtnShadow);
    if (pressed) {
        canvas.fillRect(r, clWindowFrame);
        return;
    }
    if (isEmpty(r))
        return;
    if (!look.enabled) {
        canvas.fillRect(r, clBtnFace);
        return;
    }
    const ColorValue shade = blend(rgb(clWindowFrame), blend(rgb(clBtnHighlight), rgb(look.color), 127), 32);
    drawShade(canvas, r, direction, shade);
    if (look.backgnd == TRBBackgnd::bgPattern)
        checkerFill(canvas, r, clBtnHighlight, look.color);
    else
        canvas.fillRect(r, look.color);
}

void drawHandle(Canvas& canvas, Rect r, bool pressed, bool hot, const BarLook& look)
{
    // Neither look reacts to the pointer resting on the handle; only the
    // platform's visual styles would, and they are not used (TThemeNexus).
    (void)hot;
    if (look.style == TRBStyle::rbsMac) {
        drawMacHandle(canvas, r, pressed, look);
        return;
    }
    drawRaisedEdge(canvas, r);
    canvas.fillRect(r, look.handleColor);
}

void drawArrowButton(Canvas& canvas, Rect r, Direction direction, bool pressed, bool hot, const BarLook& look)
{
    (void)hot;
    if (isEmpty(r))
        return;
    if (look.style == TRBStyle::rbsMac)
        drawMacArrow(canvas, r, direction, pressed, look);
    else
        drawPlainArrow(canvas, r, direction, pressed, look);
}

} // namespace tintora::barpaint
