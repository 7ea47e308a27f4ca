#pragma once
// Drawing of the gauge bar's pieces, each on a canvas in client coordinates.
#include "controls/GaugeBar.h"
#include "imaging/Bitmap.h"
#include "imaging/ColorValue.h"

namespace tintora {

class Canvas;

namespace barpaint {

// The direction a piece points to, away from the handle.
enum class Direction { Left, Up, Right, Down };

enum Side : unsigned { SideTop = 1, SideBottom = 2, SideLeft = 4, SideRight = 8 };

// What every piece needs to know of the bar.
struct BarLook {
    TRBStyle style = TRBStyle::rbsDefault;
    TRBBackgnd backgnd = TRBBackgnd::bgPattern;
    ColorValue color = 0;
    ColorValue handleColor = 0;
    bool showHandleGrip = true;
    bool vertical = false;
    bool enabled = true;
};

// Colour arithmetic on resolved RGB values.
ColorValue lighten(ColorValue color, int amount);
// Each channel (a * weight + b * (255 - weight)) div 256; weight in 0..255.
ColorValue blend(ColorValue a, ColorValue b, int weight);

// Draws the chosen sides (top, bottom, left, right in that order), each
// shrinking `r` by one pixel on its side.
void sideFrame(Canvas& canvas, Rect& r, unsigned sides, ColorValue color);
// Light left column and top row, dark right column and bottom row; with
// `adjust` the rectangle then shrinks by one pixel on every side.
void frame3D(Canvas& canvas, Rect& r, ColorValue light, ColorValue dark, bool adjust);
// A checkerboard anchored at the client origin: `even` where x + y is even.
void checkerFill(Canvas& canvas, const Rect& r, ColorValue odd, ColorValue even);

void drawSunkenBorder(Canvas& canvas, const Rect& window);
void drawTrack(Canvas& canvas, Rect r, Direction direction, bool pressed, const BarLook& look);
void drawHandle(Canvas& canvas, Rect r, bool pressed, bool hot, const BarLook& look);
void drawArrowButton(Canvas& canvas, Rect r, Direction direction, bool pressed, bool hot,
                     const BarLook& look);

} // namespace barpaint
} // namespace tintora
