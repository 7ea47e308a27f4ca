#pragma once
#include "color/ImageProcessingPrimitives.h"
#include "color/RealColorLibrary.h"
#include "imaging/Bitmap.h"

#include <cmath>
#include <cstdint>
#include <ostream>
#include <vector>

namespace tintora::test {

struct Rgb {
    int r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c)
{
    return os << '(' << c.r << ", " << c.g << ", " << c.b << ')';
}

inline Bitmap workingBitmap(int width, int height) { return Bitmap(width, height, PixelFormat::Bits24); }

// A working bitmap of one row holding the given pixels.
inline Bitmap rowOf(const std::vector<Rgb>& pixels)
{
    Bitmap bmp = workingBitmap(int(pixels.size()), 1);
    for (std::size_t x = 0; x < pixels.size(); ++x)
        bmp.setPixel(int(x), 0, makeColor(pixels[x].r, pixels[x].g, pixels[x].b));
    return bmp;
}

inline Rgb pixelAt(const Bitmap& bmp, int x, int y)
{
    const ColorValue c = bmp.pixel(x, y);
    return {redOf(c), greenOf(c), blueOf(c)};
}

// Nearest integer with halves going to the even neighbour, written out rather
// than through the rounding mode so that it checks the filter independently.
inline int roundHalfEven(float x)
{
    const double lower = std::floor(double(x));
    const double rest = double(x) - lower;
    int n = int(lower);
    if (rest > 0.5 || (rest == 0.5 && (n % 2) != 0))
        ++n;
    return n;
}

// One pixel through the colourise rule, conversion by conversion.
inline Rgb colorizeDirect(Rgb in, float hue, float saturation)
{
    if (!(saturation > 0) || saturation > 255)
        saturation = 1;
    if (hue < 0 || hue > 360)
        hue = 0;
    float H, S, V;
    RGBtoHSV(float(in.r), float(in.g), float(in.b), H, S, V);
    S = float((long double)saturation / 255);
    float R = -1, G = -1, B = -1;
    try {
        HSVtoRGB(hue, S, V, R, G, B);
    } catch (const EColorError&) {
        R = 255, G = 0, B = 255;
    }
    return {roundHalfEven(R), roundHalfEven(G), roundHalfEven(B)};
}

} // namespace tintora::test
